// The sound button and the sound settings the page remembers: the player's mute, the same
// one the game's sound layer keeps for any key or controller that mutes, and the effects
// level (minus and equals). The module tells the page when either changes (the
// crowdfire:sound event, from sound_web.cpp); the page keeps both in the browser's storage
// and gives them to each new game as it starts (page.js asks soundAtStart), so a muted game
// stays muted next time and the level is the one the player left.
'use strict';

(function () {
  const button = document.getElementById('sound');
  const mutedKey = 'crowdfire.muted';
  const effectsKey = 'crowdfire.effects';

  // What the storage holds, or null where it refuses (private mode, a blocked site) or
  // holds something that is no setting: the game's own default then holds.
  function recall(key, valid) {
    try {
      const value = window.localStorage.getItem(key);
      return valid.includes(value) ? value : null;
    } catch (e) {
      return null;
    }
  }

  function remember(key, value) {
    try {
      window.localStorage.setItem(key, value);
    } catch (e) {
      // Storage refused: the setting holds for this visit only.
    }
  }

  // A browser that never lets the page's audio start (no sound device, its own policy)
  // leaves the game silent: the button says so in words instead of "Sound on".
  let blocked = false;
  function show(muted) {
    button.textContent = muted ? 'Sound off' : blocked ? 'Sound blocked by the browser' : 'Sound on';
    button.setAttribute('aria-pressed', muted ? 'true' : 'false');
  }
  function lookAtAudio() {
    const audio = window.Module && Module.audioStatus ? Module.audioStatus() : null;
    blocked = !!audio && audio.state === 'suspended';
    if (window.crowdfire && window.crowdfire.ready) show(Module._webSoundMuted() !== 0);
  }
  // Audio starts on the player's first click, key or touch; two seconds on it has, or not.
  for (const gesture of ['pointerdown', 'keydown']) {
    window.addEventListener(gesture, () => setTimeout(lookAtAudio, 2000), { capture: true });
  }

  // What a new game starts with: the mute (0 or 1) and the effects level (-1: the game's own).
  window.crowdfire.soundAtStart = function () {
    const level = recall(effectsKey, ['0', '1', '2', '3', '4']);
    return { muted: recall(mutedKey, ['1']) ? 1 : 0, effectsLevel: level === null ? -1 : Number(level) };
  };
  window.addEventListener('crowdfire:started', function () {
    show(Module._webSoundMuted() !== 0);
  });

  window.addEventListener('crowdfire:sound', function (event) {
    show(event.detail.muted);
    remember(mutedKey, event.detail.muted ? '1' : '0');
    remember(effectsKey, String(event.detail.effectsLevel));
  });

  button.addEventListener('click', function () {
    if (!window.crowdfire || !window.crowdfire.ready) return;
    const muted = Module._webSoundMuted() === 0;
    Module._webSetMuted(muted ? 1 : 0);
    show(muted);
    remember(mutedKey, muted ? '1' : '0');
  });
})();
