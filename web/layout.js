// The picture's size and the page's arrangement. The 320 x 240 picture keeps its 4:3 shape
// with black around it and is scaled by a whole factor in device pixels, so every page
// pixel is as wide as every other, unless that would leave more than 15% of the room it
// could fill unused: then it takes the largest factor that fits, whole or not (nearest-
// neighbour sampling keeps the pixels sharp, if a few a device pixel wider than others).
// A touch screen (a coarse pointer, or the first touch on any screen) gets the touch
// controls and help instead of the mouse-and-keyboard line: beside the picture when the
// screen is held sideways, below it when held upright, whichever lets the picture be larger.
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const body = document.body;
  const pageWidth = 320;
  const pageHeight = 240;
  const mostUnused = 0.15;
  // Room the touch controls need: a column on each side of the picture (a thumb's button
  // and the menu), or a band below it (the pad's row, the menu's row and the help).
  const sideColumn = 96;
  const bandBelow = 190;

  // CSS pixels per page pixel for a picture fitting width x height CSS pixels.
  function pictureScale(width, height) {
    const ratio = window.devicePixelRatio || 1;
    const fitting = Math.min((width * ratio) / pageWidth, (height * ratio) / pageHeight);
    const whole = Math.floor(fitting);
    const factor = whole >= 1 && (fitting - whole) / fitting <= mostUnused ? whole : fitting;
    return factor / ratio;
  }

  function touchArrangement(width, height) {
    const beside = pictureScale(width - 2 * sideColumn, height);
    const below = pictureScale(width, height - bandBelow);
    return beside >= below ? { name: 'beside', scale: beside } : { name: 'below', scale: below };
  }

  function fit() {
    const touch = body.classList.contains('touch');
    let scale;
    if (touch) {
      // The room inside the safe area (page.css): the screen less a notch or a home bar.
      const style = getComputedStyle(body);
      const inset = (side) => parseFloat(style['padding' + side]) || 0;
      const arrangement = touchArrangement(document.documentElement.clientWidth - inset('Left') - inset('Right'),
        document.documentElement.clientHeight - inset('Top') - inset('Bottom'));
      body.classList.toggle('beside', arrangement.name === 'beside');
      body.classList.toggle('below', arrangement.name === 'below');
      scale = arrangement.scale;
    } else {
      scale = pictureScale(stage.clientWidth, stage.clientHeight);
    }
    // Whole device pixels, so the browser draws the picture on the device's own grid.
    const ratio = window.devicePixelRatio || 1;
    const width = Math.floor(pageWidth * scale * ratio) / ratio;
    const height = Math.floor(pageHeight * scale * ratio) / ratio;
    canvas.style.width = width + 'px';
    canvas.style.height = height + 'px';
    body.style.setProperty('--picture-width', width + 'px');
    body.style.setProperty('--picture-height', height + 'px');
  }

  function useTouchLayout() {
    if (body.classList.contains('touch')) return;
    body.classList.add('touch');
    fit();
  }

  if (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) body.classList.add('touch');
  // A touch on a screen that also has a mouse: the player holds the screen, not the mouse.
  // The page changes when the finger lifts, so that touch lands where it was aimed.
  window.addEventListener('pointerup', function (event) {
    if (event.pointerType === 'touch') useTouchLayout();
  }, true);
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();
})();
