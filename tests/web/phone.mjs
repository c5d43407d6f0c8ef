// A phone in headless Chromium: the screen sizes, touch and user agent of a phone held
// either way, fingers driven as real touch events through the DevTools protocol, and the
// readers the phone test and bench/web_phone_layout.mjs share (text cut off, the input the
// page hands to the game). What any page of the game offers (its canvas, where a page pixel
// lies on the screen, its frames) is in page_helpers.mjs.
import { sleep } from './page_helpers.mjs';

export const landscape = { width: 844, height: 390 };
export const portrait = { width: 390, height: 844 };
const userAgent = 'Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) ' +
  'Chrome/120.0.0.0 Mobile Safari/537.36';

export async function openPhonePage(browser, size) {
  const page = await browser.newPage();
  await page.setUserAgent(userAgent);
  await page.setViewport({ ...size, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  const session = await page.createCDPSession();
  return { page, session };
}

export async function turnPhone(page, size) {
  await page.setViewport({ ...size, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
}

// Fingers: each a list of points [x, y] in CSS pixels, one per step; every finger touches
// down at its first point, follows its points one step at a time, and lifts after its last.
// holdMs is the time between steps.
export async function touch(session, fingers, holdMs = 30) {
  const steps = Math.max(...fingers.map((f) => f.length));
  const at = (step) => fingers.map((f, id) => ({ x: f[Math.min(step, f.length - 1)][0], y: f[Math.min(step, f.length - 1)][1], id }));
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: at(0) });
  for (let step = 1; step < steps; ++step) {
    await sleep(holdMs);
    await session.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: at(step) });
  }
  await sleep(holdMs);
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

export const tap = (session, x, y, holdMs = 40) => touch(session, [[[x, y]]], holdMs);

// Text a player cannot read whole: outside the screen, or overflowing its own box.
// Run in the page (page.evaluate(clippedText)); the texts, shortened.
export function clippedText() {
  const clipped = [];
  for (const element of document.querySelectorAll('body *')) {
    if (!element.checkVisibility()) continue;
    const text = [...element.childNodes].filter((n) => n.nodeType === Node.TEXT_NODE).map((n) => n.textContent).join('').trim();
    if (!text) continue;
    const r = element.getBoundingClientRect();
    const outside = r.left < -0.5 || r.top < -0.5 || r.right > innerWidth + 0.5 || r.bottom > innerHeight + 0.5;
    const overflowing = element.scrollWidth > element.clientWidth + 1 || element.scrollHeight > element.clientHeight + 1;
    if (outside || overflowing) clipped.push(`"${text.slice(0, 40)}"`);
  }
  return clipped;
}

// Records every call the page makes into the game's input (pointer, buttons, keys), so a
// gesture can be told by what the game was handed. The wrappers call the module's exports
// themselves: emscripten's Module._webX stubs replace themselves with the export on their
// first call, which would drop a wrapper around the stub.
export function recordInput(page) {
  return page.evaluate(() => {
    window.inputLog = [];
    for (const name of ['webPointer', 'webButton', 'webKey', 'webPointerGone']) {
      const real = Module.asm[name];
      Module['_' + name] = function (...args) {
        // webKey is handed its code as a pointer to the string in the module's memory.
        const shown = name === 'webKey' ? [Module.UTF8ToString(args[0]), ...args.slice(1)] : args;
        window.inputLog.push([name.slice(3), ...shown]);
        return real(...args);
      };
    }
  });
}

export function takeInputLog(page) {
  return page.evaluate(() => {
    const log = window.inputLog;
    window.inputLog = [];
    return log;
  });
}

// Asks the page until the answer is true; a page that loads itself again in between
// (offline.js does, to take up a new build) is asked again.
export async function eventually(page, question, arg, timeoutMs = 15000) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    try {
      if (await page.evaluate(question, arg)) return;
    } catch {
      // the page was loading again
    }
    if (Date.now() > deadline) throw new Error(`not true within ${timeoutMs} ms: ${question}`);
    await sleep(200);
  }
}
