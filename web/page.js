// The page around the game: sets up the module, starts a game once it is ready (or the
// replay its link holds) and offers a new one after Escape or a replay's end. Beside it:
// layout.js sizes the picture, loading.js says what failed to load, offline.js keeps the
// game for playing offline, and the browser platform's own scripts (from src/web/:
// page_input.js the keys, mouse, focus and full screen, touch.js the touch screen,
// sound_button.js the mute and the effects level, replays.js, replay_watch.js and
// replay_list.js the replays) hand the player to the module. They hear from this file
// through the window events crowdfire:ready (the module can be called),
// crowdfire:started (a game or a replay has started; detail.watching) and crowdfire:ended.
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const message = document.getElementById('message');
  const ended = document.getElementById('ended');
  const endedText = document.getElementById('ended-text');
  const playAgain = document.getElementById('play-again');

  // What the browser test and the benchmark read.
  const status = { ready: false, firstFrameAt: 0, gamesStarted: 0, ended: false, watching: false };
  window.crowdfire = status;

  // What a new game starts with: the mute and the effects level (sound_button.js).
  status.soundSettings = () => (status.soundAtStart ? status.soundAtStart() : { muted: 0, effectsLevel: -1 });

  // A game or a replay has started in the module.
  status.begun = function (watching) {
    ended.hidden = true;
    status.ended = false;
    status.watching = watching;
    message.hidden = true;
    status.gamesStarted++;
    window.dispatchEvent(new CustomEvent('crowdfire:started', { detail: { watching: watching } }));
    canvas.focus();
  };

  // The box over the picture when nothing plays: `text`, and a button for a new game.
  status.showEnded = function (text, button) {
    status.ended = true;
    status.watching = false;
    endedText.textContent = text;
    playAgain.textContent = button;
    ended.hidden = false;
  };

  function start() {
    const sound = status.soundSettings();
    if (!Module._webStartGame(sound.muted, sound.effectsLevel)) {
      message.hidden = false;
      message.textContent = 'The game could not start.';
      return;
    }
    status.begun(false);
  }

  function gameOver(text, button) {
    status.showEnded(text, button);
    window.dispatchEvent(new Event('crowdfire:ended'));
  }

  window.Module = {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    onRuntimeInitialized: function () {
      performance.mark('crowdfire-runtime-ready');
      status.ready = true;
      window.dispatchEvent(new Event('crowdfire:ready'));
      // A link to a replay plays it (or says why it cannot) instead of a game.
      if (!(status.watchLinkedReplay && status.watchLinkedReplay())) start();
      performance.mark('crowdfire-started');
    },
    onPageShown: function () {
      if (!status.firstFrameAt && Module._webFramesRun() > 0) status.firstFrameAt = performance.now();
    },
    onGameEnded: function () { gameOver('The game has ended.', 'Play again'); },
    onReplayEnded: function (verdictStatus, line) {
      status.replayVerdict = { status: verdictStatus, line: line };
      gameOver(line, 'Play');
    },
  };

  playAgain.addEventListener('click', start);
})();
