// The browser version on a phone, measured as a player would try it: headless Chromium with
// a phone's screen (844 x 390 landscape, 390 x 844 portrait, 3 device pixels to the CSS
// pixel), touch and a mobile user agent, driven by real touch events. Prints, for each way
// of holding the phone, the share of the screen the picture covers and any text cut off;
// then, held sideways, what each gesture hands the game (presses of the fire and bomb
// buttons, scroll keys), how far it scrolls the scene and whether it leaves the page.
//   node bench/web_phone_layout.mjs      (after scripts/build-web.sh and npm ci in tests/web;
//   CROWDFIRE_SITE overrides build-web/site, CROWDFIRE_RUN_DIR build-web/host/run)
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from '../tests/web/browser.mjs';
import { canvasPixels, pictureBox, screenPoint, sleep, waitFrames } from '../tests/web/page_helpers.mjs';
import * as phone from '../tests/web/phone.mjs';
import * as scene from '../tests/web/scene.mjs';
import { serveDirectory } from '../tests/web/serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const world = scene.loadWorld(process.env.CROWDFIRE_RUN_DIR || join(root, 'build-web/host/run'));

async function layout(page, size) {
  const box = await pictureBox(page);
  const visible = Math.max(0, Math.min(box.right, size.width) - Math.max(box.left, 0)) *
    Math.max(0, Math.min(box.bottom, size.height) - Math.max(box.top, 0));
  const clipped = await page.evaluate(phone.clippedText);
  return { box, share: visible / (size.width * size.height), clipped };
}

function summary(log) {
  const count = (test) => log.filter(test).length;
  return {
    fire: count((e) => e[0] === 'Button' && e[1] === 0 && e[2] === 1),
    bomb: count((e) => e[0] === 'Button' && e[1] === 2 && e[2] === 1),
    keys: [...new Set(log.filter((e) => e[0] === 'Key' && e[2] === 1).map((e) => e[1]))].join(' ') || '-',
  };
}

async function scrollShown(page) {
  return scene.bestScroll(await canvasPixels(page), world).scroll;
}

// Runs a gesture and prints what came of it; false when it took the browser off the game.
async function tryGesture(page, session, name, gesture) {
  await waitFrames(page, 25);  // past the cooldown of the gesture before
  const url = page.url();
  const before = await scrollShown(page);
  await phone.takeInputLog(page);
  await gesture();
  await sleep(300);
  if (page.url() !== url) {
    console.log(`  ${name.padEnd(36)} left the game for ${page.url()}`);
    return false;
  }
  await waitFrames(page, 10);
  const got = summary(await phone.takeInputLog(page));
  const after = await scrollShown(page);
  console.log(`  ${name.padEnd(36)} fire ${got.fire}  bomb ${got.bomb}  keys ${got.keys.padEnd(22)} scroll ${before} -> ${after}`);
  return true;
}

async function openGame(browser, size) {
  const { page, session } = await phone.openPhonePage(browser, size);
  await page.goto('about:blank');  // a page to go back to
  await page.goto(site.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0, { timeout: 30000 });
  await phone.recordInput(page);
  return { page, session };
}

const site = await serveDirectory(siteDir);
const chromium = await launchChromium();
try {
  for (const [name, size] of [['landscape', phone.landscape], ['portrait', phone.portrait]]) {
    const { page } = await openGame(chromium.browser, size);
    const got = await layout(page, size);
    console.log(`${name} ${size.width} x ${size.height}: picture ${got.box.width.toFixed(0)} x ${got.box.height.toFixed(0)} ` +
      `CSS px, ${(got.share * 100).toFixed(1)}% of the screen; text cut off: ${got.clipped.join(', ') || 'none'}`);
    await page.close();
  }

  console.log('gestures, held sideways (fire and bomb: presses handed to the game):');
  let { page, session } = await openGame(chromium.browser, phone.landscape);
  const at = async (x, y) => {
    const p = await screenPoint(page, x, y);
    return [p.x, p.y];
  };
  const sky = await at(200, 12);
  const gestures = [
    ['tap', () => phone.tap(session, ...sky)],
    ['long press (800 ms)', () => phone.tap(session, ...sky, 800)],
    ['two-finger tap', async () => phone.touch(session, [[await at(180, 12)], [await at(220, 12)]], 60)],
  ];
  for (const [name, from, to] of [['drag right to left', 260, 60], ['drag left to right', 60, 260]]) {
    gestures.push([`${name} over the picture`, async () => {
      const path = [];
      for (let step = 0; step <= 12; ++step) path.push(await at(from + ((to - from) * step) / 12, 120));
      await phone.touch(session, [path], 25);
    }]);
  }
  for (const [name, selector] of [['Bomb, then a tap', '#bomb'], ['hold the left scroll zone 1 s', '#scroll-left'],
    ['hold the right scroll zone 1 s', '#scroll-right']]) {
    gestures.push([name, async () => {
      const control = await page.$(selector);
      const box = control && (await control.boundingBox());
      if (!box) return console.log(`  (no ${selector} on the page)`);
      const middle = [box.x + box.width / 2, box.y + box.height / 2];
      if (selector === '#bomb') {
        await phone.tap(session, ...middle);
        await phone.tap(session, ...sky);
      } else {
        await phone.tap(session, ...middle, 1000);
      }
    }]);
  }
  for (const [name, gesture] of gestures) {
    if (!(await tryGesture(page, session, name, gesture))) {
      await page.close();
      ({ page, session } = await openGame(chromium.browser, phone.landscape));
    }
  }
  await page.close();
} finally {
  await chromium.close();
  await site.close();
}
