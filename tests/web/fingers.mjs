// A finger on the page's screen, in each engine as far as its driver allows: Chromium's
// real touch events (the DevTools protocol) and Firefox's (WebDriver BiDi pointer actions
// of type touch), both through puppeteer's touchscreen; WebKitGTK has no touch input at
// all (its driver turns touch actions into mouse events), so there the same pointer events
// a finger makes (pointerType touch, the pointer id 1 WebKit lets a page capture) are
// dispatched in the page, at the element under the point, as the browser would.
// Points are in CSS pixels of the viewport.
export function fingerOn(page) {
  if (page.engine !== 'webkit') {
    return {
      down: (x, y) => page.touchscreen.touchStart(x, y),
      up: () => page.touchscreen.touchEnd(),
    };
  }
  let at = null;
  const dispatch = (type, point) => page.evaluate((t, p) => {
    const target = document.elementFromPoint(p.x, p.y) || document.body;
    target.dispatchEvent(new PointerEvent(t, {
      pointerId: 1, pointerType: 'touch', isPrimary: true, clientX: p.x, clientY: p.y, screenX: p.x, screenY: p.y,
      button: t === 'pointermove' ? -1 : 0, buttons: t === 'pointerup' ? 0 : 1, bubbles: true, cancelable: true, composed: true,
    }));
  }, type, point);
  return {
    down: (x, y) => dispatch('pointerdown', (at = { x, y })),
    up: () => dispatch('pointerup', at),
  };
}

// A tap: down, held a moment, lifted.
export async function tap(page, x, y, holdMs = 40) {
  const finger = fingerOn(page);
  await finger.down(x, y);
  await new Promise((done) => setTimeout(done, holdMs));
  await finger.up();
}
