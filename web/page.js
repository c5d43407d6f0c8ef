// The page around the game: sets up the module, starts a game once it is ready and offers a
// new one after Escape. Beside it: layout.js sizes the picture, loading.js says what failed
// to load, offline.js keeps the game for playing offline, and the browser platform's own
// scripts (from src/web/: page_input.js the keys, mouse, focus and full screen, touch.js the
// touch screen, sound_button.js the mute and the effects level) hand the player to the
// module. They hear from this file through the window events crowdfire:ready (the module
// can be called), crowdfire:started (a game has started) and crowdfire:ended.
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const message = document.getElementById('message');
  const ended = document.getElementById('ended');

  // What the browser test and the benchmark read.
  const status = { ready: false, firstFrameAt: 0, gamesStarted: 0, ended: false };
  window.crowdfire = status;

  function start() {
    ended.hidden = true;
    status.ended = false;
    const sound = status.soundAtStart ? status.soundAtStart() : { muted: 0, effectsLevel: -1 };
    if (!Module._webStartGame(sound.muted, sound.effectsLevel)) {
      message.textContent = 'The game could not start.';
      return;
    }
    message.hidden = true;
    status.gamesStarted++;
    window.dispatchEvent(new Event('crowdfire:started'));
    canvas.focus();
  }

  window.Module = {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    onRuntimeInitialized: function () {
      performance.mark('crowdfire-runtime-ready');
      status.ready = true;
      window.dispatchEvent(new Event('crowdfire:ready'));
      start();
      performance.mark('crowdfire-started');
    },
    onPageShown: function () {
      if (!status.firstFrameAt && Module._webFramesRun() > 0) status.firstFrameAt = performance.now();
    },
    onGameEnded: function () {
      status.ended = true;
      ended.hidden = false;
      window.dispatchEvent(new Event('crowdfire:ended'));
    },
  };

  document.getElementById('play-again').addEventListener('click', start);
})();
