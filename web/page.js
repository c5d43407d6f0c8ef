// The page around the game: hands the player's keys, mouse buttons and pointer to the
// module (src/web/display_web.cpp), switches full screen, stops the game while the tab is
// hidden and offers a new game after Escape. Beside it: layout.js sizes the picture,
// touch.js is the touch screen, sound_button.js the mute, loading.js says what failed to
// load, offline.js keeps the game for playing offline. They hear from this file through
// the window events crowdfire:ready (the module can be called) and crowdfire:ended.
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const message = document.getElementById('message');
  const ended = document.getElementById('ended');
  let ready = false;

  // What the browser test and the benchmark read.
  const status = { ready: false, firstFrameAt: 0, gamesStarted: 0, ended: false };
  window.crowdfire = status;

  // With a mouse the picture alone fills the screen; on a touch screen the controls
  // beside it must come along.
  function toggleFullScreen() {
    const target = document.body.classList.contains('touch') ? document.documentElement : stage;
    if (document.fullscreenElement) document.exitFullscreen();
    else if (target.requestFullscreen) target.requestFullscreen().catch(function () {});
  }

  function start() {
    ended.hidden = true;
    status.ended = false;
    if (!Module._webStartGame()) {
      message.textContent = 'The game could not start.';
      return;
    }
    message.hidden = true;
    status.gamesStarted++;
    canvas.focus();
  }

  window.Module = {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    onRuntimeInitialized: function () {
      performance.mark('crowdfire-runtime-ready');
      ready = true;
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
      if (document.fullscreenElement) document.exitFullscreen();
      window.dispatchEvent(new Event('crowdfire:ended'));
    },
  };

  function key(event, down) {
    if (!ready) return;
    if (down && event.code === 'Enter' && event.altKey) {
      toggleFullScreen();
      event.preventDefault();
      return;
    }
    const known = Module.ccall('webKey', 'number', ['string', 'number', 'number'],
      [event.code, down ? 1 : 0, event.repeat ? 1 : 0]);
    // The game hears every key, but the browser keeps its own: reload, zoom, find, full
    // screen, its tools, and every key once the game has ended (Tab and Enter reach Play again).
    const browsers = event.ctrlKey || event.metaKey || ['F5', 'F11', 'F12'].includes(event.code);
    if (known && !browsers && Module._webRunning()) event.preventDefault();
  }
  window.addEventListener('keydown', function (event) { key(event, true); });
  window.addEventListener('keyup', function (event) { key(event, false); });

  function pointer(event) {
    if (!ready) return;
    const box = canvas.getBoundingClientRect();
    Module._webPointer(event.clientX - box.left, event.clientY - box.top, box.width, box.height);
  }
  document.addEventListener('mousemove', pointer);
  document.documentElement.addEventListener('mouseleave', function () {
    if (ready) Module._webPointerGone();
  });
  stage.addEventListener('mousedown', function (event) {
    if (!ready) return;
    pointer(event);
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
  document.getElementById('play-again').addEventListener('click', start);
})();
