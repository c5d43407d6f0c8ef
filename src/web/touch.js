// The touch screen, a device of the browser platform like the mouse and the keyboard
// (page_input.js): it sets the same pointer, through the same mapping, and the same buttons
// and keys (the module's webPointer, webButton and webKey), and the game never learns which
// the player holds.
//   - a finger on the picture moves the crosshair there and presses the fire button
//     until it lifts: a tap fires where it touched, under the same cooldown as a click,
//     and a finger held down fires again each time the cooldown ends, as a held button does;
//   - Bomb arms the next touch on the picture to press the bomb button instead (Bomb
//     again disarms): a bomb then falls where that finger touched;
//   - ◀ and ▶ are the arrow keys, held as long as a finger is on them;
//   - End game is Escape, asked twice so a stray touch does not end the game;
//   - while a replay plays, a tap on the picture pauses and resumes it instead.
// Pointer events of type touch only; each touch's pointerdown is cancelled, so the browser
// neither scrolls, zooms nor selects, nor makes mouse events of it that page.js would
// hand the game a second time.
'use strict';

(function () {
  const stage = document.getElementById('stage');
  const bomb = document.getElementById('bomb');
  const endGame = document.getElementById('end-game');
  const domLeftButton = 0;
  const domRightButton = 2;
  const endAskMs = 3000;

  const ready = () => window.crowdfire && window.crowdfire.ready;
  const aiming = new Map();  // fingers on the picture: pointerId -> the button it holds
  let bombArmed = false;

  const pointAt = (event) => window.crowdfireInput.pointAt(event);
  const webKey = (code, down) => window.crowdfireInput.webKey(code, down, false);

  function armBomb(armed) {
    bombArmed = armed;
    bomb.setAttribute('aria-pressed', armed ? 'true' : 'false');
  }

  // The crosshair goes to the finger before the button goes down: the press is kept until
  // the game's next frame reads it together with the pointer, so even a tap shorter than
  // a frame fires where it touched.
  stage.addEventListener('pointerdown', function (event) {
    if (event.pointerType !== 'touch' || !ready() || event.target.closest('button')) return;
    event.preventDefault();
    // A replay takes no shots: a tap pauses and resumes it.
    if (Module._webWatching()) return Module._webToggleReplayPause();
    stage.setPointerCapture(event.pointerId);
    const button = bombArmed ? domRightButton : domLeftButton;
    armBomb(false);
    aiming.set(event.pointerId, button);
    pointAt(event);
    Module._webButton(button, 1);
  });

  // The crosshair follows the finger that touched last, as the mouse's pointer would.
  stage.addEventListener('pointermove', function (event) {
    if (!ready() || !aiming.has(event.pointerId)) return;
    if ([...aiming.keys()].pop() === event.pointerId) pointAt(event);
  });

  // A button is let go when no finger holds it any more; the crosshair stays where the last
  // finger was.
  function lift(event) {
    if (!aiming.has(event.pointerId)) return;
    const button = aiming.get(event.pointerId);
    aiming.delete(event.pointerId);
    if (ready() && ![...aiming.values()].includes(button)) Module._webButton(button, 0);
  }
  stage.addEventListener('pointerup', lift);
  stage.addEventListener('pointercancel', lift);

  // A control held by any number of fingers (or a mouse): down with the first, up with the last.
  function holdControl(control, onDown, onUp) {
    const holding = new Set();
    control.addEventListener('pointerdown', function (event) {
      event.preventDefault();
      if (!ready()) return;
      control.setPointerCapture(event.pointerId);
      holding.add(event.pointerId);
      control.classList.add('held');
      if (holding.size === 1) onDown();
    });
    const release = function (event) {
      if (!holding.delete(event.pointerId) || holding.size > 0) return;
      control.classList.remove('held');
      if (ready()) onUp();
    };
    control.addEventListener('pointerup', release);
    control.addEventListener('pointercancel', release);
  }
  holdControl(document.getElementById('scroll-left'), () => webKey('ArrowLeft', true), () => webKey('ArrowLeft', false));
  holdControl(document.getElementById('scroll-right'), () => webKey('ArrowRight', true), () => webKey('ArrowRight', false));
  holdControl(bomb, () => armBomb(!bombArmed), () => {});

  // Escape pressed and let go at once: the press is kept until the game reads it.
  let asking = 0;  // the timer that ends the question, 0 when none is asked
  function stopAsking() {
    clearTimeout(asking);
    asking = 0;
    endGame.textContent = 'End game';
    endGame.classList.remove('asking');
  }
  endGame.addEventListener('click', function () {
    if (!ready()) return;
    if (!asking) {
      endGame.textContent = 'Tap again to end';
      endGame.classList.add('asking');
      asking = setTimeout(stopAsking, endAskMs);
      return;
    }
    stopAsking();
    webKey('Escape', true);
    webKey('Escape', false);
  });

  // A long press would open the browser's menu for what it pressed; in the replays' list
  // it copies a link the browser would not.
  document.addEventListener('contextmenu', function (event) {
    if (document.body.classList.contains('touch') && !event.target.closest('#replays')) event.preventDefault();
  });

  window.addEventListener('crowdfire:ended', function () {
    armBomb(false);
    aiming.clear();
  });
})();
