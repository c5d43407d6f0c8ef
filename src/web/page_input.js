// The keyboard, the mouse, focus and full screen of the browser platform: the page's events
// handed to the module (display_web.cpp's web* functions), as the desktop's input_sdl.cpp
// and window_sdl.cpp hand SDL's to the graphics layer. touch.js, the touch screen, aims
// through the same pointer mapping (crowdfireInput.pointAt). Copied into the site beside
// the page's own scripts; it listens from the moment the module is ready
// (the crowdfire:ready event).
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  let ready = false;
  window.addEventListener('crowdfire:ready', function () { ready = true; });

  // The one mapping from a pointer's place on the page to the module: the point under it in
  // CSS pixels from the canvas's corner, and the canvas's size, which the module turns
  // into a page pixel (one that may lie off the page).
  function pointAt(event) {
    const box = canvas.getBoundingClientRect();
    Module._webPointer(event.clientX - box.left, event.clientY - box.top, box.width, box.height);
  }

  function webKey(code, down, repeat) {
    return Module.ccall('webKey', 'number', ['string', 'number', 'number'], [code, down ? 1 : 0, repeat ? 1 : 0]);
  }

  window.crowdfireInput = { pointAt: pointAt, webKey: webKey };

  // With a mouse the picture alone fills the screen; on a touch screen the controls
  // beside it must come along.
  function toggleFullScreen() {
    const target = document.body.classList.contains('touch') ? document.documentElement : stage;
    if (document.fullscreenElement) document.exitFullscreen();
    else if (target.requestFullscreen) target.requestFullscreen().catch(function () {});
  }

  function key(event, down) {
    // The replays' list is the page's: the keys pressed there work its buttons (a key let
    // go there still reaches the game, which may have seen it go down).
    if (!ready || (down && event.target.closest && event.target.closest('#replays'))) return;
    if (down && event.code === 'Enter' && event.altKey) {
      toggleFullScreen();
      event.preventDefault();
      return;
    }
    const known = webKey(event.code, down, event.repeat);
    // The game hears every key, but the browser keeps its own: reload, zoom, find, full
    // screen, its tools, and every key once the game has ended (Tab and Enter reach Play again).
    const browsers = event.ctrlKey || event.metaKey || ['F5', 'F11', 'F12'].includes(event.code);
    if (known && !browsers && Module._webRunning()) event.preventDefault();
  }
  window.addEventListener('keydown', function (event) { key(event, true); });
  window.addEventListener('keyup', function (event) { key(event, false); });

  document.addEventListener('mousemove', function (event) { if (ready) pointAt(event); });
  document.documentElement.addEventListener('mouseleave', function () {
    if (ready) Module._webPointerGone();
  });
  stage.addEventListener('mousedown', function (event) {
    if (!ready) return;
    // A replay takes no shots: a click pauses and resumes it.
    if (Module._webWatching()) {
      if (event.button === 0 && !event.target.closest('button')) Module._webToggleReplayPause();
      return;
    }
    pointAt(event);
    Module._webButton(event.button, 1);
    event.preventDefault();
  });
  window.addEventListener('mouseup', function (event) {
    if (ready) Module._webButton(event.button, 0);
  });
  stage.addEventListener('contextmenu', function (event) { event.preventDefault(); });

  window.addEventListener('focus', function () { if (ready) Module._webActive(1); });
  window.addEventListener('blur', function () { if (ready) Module._webActive(0); });
  document.addEventListener('visibilitychange', function () {
    if (!ready) return;
    Module._webActive(document.hidden ? 0 : 1);
    Module._webHidden(document.hidden ? 1 : 0);
  });

  // An iPhone's browser, for one, allows no page full screen: no button that does nothing.
  const fullScreenButton = document.getElementById('full-screen');
  fullScreenButton.hidden = !document.fullscreenEnabled;
  fullScreenButton.addEventListener('click', toggleFullScreen);
  document.addEventListener('fullscreenchange', function () {
    if (ready) Module._webFullScreen(document.fullscreenElement ? 1 : 0);
  });
  window.addEventListener('crowdfire:ended', function () {
    if (document.fullscreenElement) document.exitFullscreen();
  });
})();
