// The sound button: the player's mute, the same one the game's sound layer keeps for any
// key or controller that mutes (webSetMuted, webSoundMuted in src/web/sound_web.cpp). The
// page remembers it in the browser's storage, so a muted game stays muted next time.
'use strict';

(function () {
  const button = document.getElementById('sound');
  const storageKey = 'crowdfire.muted';
  let shown = null;

  function remembered() {
    try {
      return window.localStorage.getItem(storageKey) === '1';
    } catch (e) {
      return false;  // storage refused (private mode, a blocked site): sound on
    }
  }

  function remember(muted) {
    try {
      window.localStorage.setItem(storageKey, muted ? '1' : '0');
    } catch (e) {
      // Storage refused: the mute holds for this visit only.
    }
  }

  function show(muted) {
    shown = muted;
    button.textContent = muted ? 'Sound off' : 'Sound on';
    button.setAttribute('aria-pressed', muted ? 'true' : 'false');
  }

  window.addEventListener('crowdfire:ready', function () {
    Module._webSetMuted(remembered() ? 1 : 0);
    show(Module._webSoundMuted() !== 0);
    // Anything else that mutes (a key, a controller) shows on the button and is remembered.
    setInterval(function () {
      const muted = Module._webSoundMuted() !== 0;
      if (muted === shown) return;
      show(muted);
      remember(muted);
    }, 250);
  });

  button.addEventListener('click', function () {
    if (!window.crowdfire || !window.crowdfire.ready) return;
    const muted = Module._webSoundMuted() === 0;
    Module._webSetMuted(muted ? 1 : 0);
    show(muted);
    remember(muted);
  });
})();
