// Game controllers in the page: a short hint when one connects. The game reads the pads
// itself, once a frame (src/web/controller_web.cpp), and only those the browser gives the
// standard mapping; a browser shows a pad to the page once a button on it is pressed.
'use strict';

(function () {
  const hint = document.createElement('div');
  hint.id = 'pad-hint';
  hint.hidden = true;
  document.getElementById('stage').appendChild(hint);
  let hideTimer = 0;

  function show(text) {
    hint.textContent = text;
    hint.hidden = false;
    clearTimeout(hideTimer);
    hideTimer = setTimeout(function () { hint.hidden = true; }, 6000);
  }

  window.addEventListener('gamepadconnected', function (event) {
    if (event.gamepad.mapping === 'standard') {
      show('Controller: either stick aims · RT or A fires · LT, X or B drops a bomb · ' +
        'd-pad or LB / RB scroll · hold Back (or Back + Start) to quit');
    } else {
      show('This controller has no standard layout in this browser, so the game cannot read it.');
    }
  });
})();
