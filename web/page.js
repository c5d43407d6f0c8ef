// The page around the game: scales the canvas by the largest whole factor that fits, hands
// the player's keys, buttons and pointer to the module (src/web/display_web.cpp), switches
// full screen, stops the game while the tab is hidden and offers a new game after Escape.
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const message = document.getElementById('message');
  const ended = document.getElementById('ended');
  let ready = false;

  // What the browser test and the benchmark read.
  const status = { firstFrameAt: 0, gamesStarted: 0, ended: false };
  window.crowdfire = status;

  // The largest whole factor in device pixels, so no page pixel is wider than another.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const across = Math.floor((stage.clientWidth * ratio) / 320);
    const down = Math.floor((stage.clientHeight * ratio) / 240);
    const scale = Math.max(1, Math.min(across, down));
    canvas.style.width = (320 * scale) / ratio + 'px';
    canvas.style.height = (240 * scale) / ratio + 'px';
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(function () {});
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
    if (known) event.preventDefault();
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

  document.getElementById('full-screen').addEventListener('click', toggleFullScreen);
  document.addEventListener('fullscreenchange', function () {
    if (ready) Module._webFullScreen(document.fullscreenElement ? 1 : 0);
    fit();
  });
  document.getElementById('play-again').addEventListener('click', start);
  window.addEventListener('resize', fit);
  fit();
})();
