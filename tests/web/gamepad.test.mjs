// A game controller in the browser build, in headless Chromium: the page is given a
// stand-in navigator.getGamepads with one standard-mapping pad, which the test holds for an
// exact number of game frames. The stick moves the crosshair by the mapping's pixels, the
// fire button draws blood where it points, the bomb trigger gives a blast, a connecting
// pad gets its hint, the d-pad scrolls, and the sound keys set what the effects play at.
//
// Paths as in game.test.mjs: CROWDFIRE_SITE (build-web/site), CROWDFIRE_RUN_DIR (a native
// run directory with the same artwork, build-web/host/run).
import assert from 'node:assert/strict';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from './browser.mjs';
import { after, before, test } from './limits.mjs';
import { assertBlastSeen, blastArea, canvasPixels, recordProblems, waitFrames, watchFieryPixels } from './page_helpers.mjs';
import { serveDirectory } from './serve.mjs';
import * as scene from './scene.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const runDir = process.env.CROWDFIRE_RUN_DIR || join(root, 'build-web/host/run');

// The mapping's full-tilt speed: the page's width in 35 frames.
const fullSpeed = 320 / 35;
let scroll = 160;  // the scene's scroll: the game opens in the middle of the world

let site;
let chromium;
let page;
let world;
let crosshairImage;
const problems = [];

// Before the page's own scripts: one standard-mapping pad, and a way to hold its stick and
// buttons for exactly `frames` game frames. The game reads the pads just before each frame
// and shows the previous frame's page during it, so counting shown pages counts frames read.
function standInPad() {
  const pad = {
    id: 'crowdfire test pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard', timestamp: 0,
    axes: [0, 0, 0, 0],
    buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })),
  };
  Object.defineProperty(Navigator.prototype, 'getGamepads', { configurable: true, value: () => [pad, null, null, null] });
  window.testPad = pad;
  window.padFramesLeft = 0;
  window.releasePad = () => {
    pad.axes = [0, 0, 0, 0];
    for (const button of pad.buttons) Object.assign(button, { pressed: false, touched: false, value: 0 });
  };
  // axes: [x, y] of the left stick; buttons: { index: value }.
  window.holdPad = (axes, buttons, frames) => {
    pad.axes = [axes[0], axes[1], 0, 0];
    for (const [index, value] of Object.entries(buttons)) Object.assign(pad.buttons[index], { pressed: value > 0, value });
    window.padFramesLeft = frames;
  };
}

// Holds the pad for `frames` frames and waits until the game has read it that long.
async function holdPad(axes, buttons, frames) {
  await page.evaluate((a, b, n) => window.holdPad(a, b, n), axes, buttons, frames);
  await page.waitForFunction(() => window.padFramesLeft === 0, { timeout: 1000 + frames * 100 });
}

// The crosshair, tracked as the mapping moves it: a stick held for n frames adds its
// per-frame speed n times, and the crosshair is that sum rounded.
const crosshair = { x: 50, y: 50 };  // where the game puts the pointer at start

// Moves the crosshair by (dx, dy) whole pixels in as few frames as a speed under full tilt
// allows, with the stick tilted to give exactly that speed on the mapping's curve.
const steeringFrames = (dx, dy) => Math.ceil(Math.hypot(dx, dy) / (fullSpeed * 0.9));

async function steer(dx, dy) {
  const distance = Math.hypot(dx, dy);
  if (distance === 0) return;
  const frames = steeringFrames(dx, dy);
  const tilt = 0.2 + 0.75 * Math.sqrt(distance / frames / fullSpeed);
  await holdPad([(dx / distance) * tilt, (dy / distance) * tilt], {}, frames);
  crosshair.x += dx;
  crosshair.y += dy;
}

// The crosshair's picture, cut from the sprite sheet as the game cuts it (17 x 18 from the
// corner); its key colour, magenta, is not drawn.
function loadCrosshair() {
  const sheet = scene.readBitmap(join(runDir, 'sprites124.BMP'));
  const drawn = [];
  for (let y = 0; y < 18; ++y)
    for (let x = 0; x < 17; ++x) {
      const i = (y * sheet.width + x) * 4;
      const [r, g, b] = sheet.subarray(i, i + 3);
      if (!(r === 255 && g === 0 && b === 255)) drawn.push({ x, y, r, g, b });
    }
  return drawn;
}

// The crosshair's centre on the canvas: it is drawn last, over everything, 8 pixels up and
// left of it. Null when it is not on the canvas whole.
function findCrosshair(pixels) {
  for (let top = 0; top + 18 <= 240; ++top)
    for (let left = 0; left + 17 <= 320; ++left) {
      const matches = crosshairImage.every(({ x, y, r, g, b }) => {
        const i = ((top + y) * 320 + left + x) * 4;
        return pixels[i] === r && pixels[i + 1] === g && pixels[i + 2] === b;
      });
      if (matches) return { x: left + 8, y: top + 8 };
    }
  return null;
}

// The lone walking person nearest the crosshair, well inside the screen (40 pixels from
// either side) and not under it.
function findPerson(pixels) {
  const people = scene.lonePeople(pixels, world, scroll, crosshair, 40);
  const away = (r) => Math.hypot(r.left + 6 - crosshair.x, r.top + 6 - crosshair.y);
  people.sort((a, b) => away(a) - away(b));
  return people[0];
}

before(async () => {
  site = await serveDirectory(siteDir);
  world = scene.loadWorld(runDir);
  crosshairImage = loadCrosshair();
  chromium = await launchChromium();
  page = await chromium.browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  recordProblems(page, problems);
  await page.evaluateOnNewDocument(standInPad);
  await page.goto(site.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire && window.crowdfire.firstFrameAt > 0, { timeout: 10000 });
  // Counts the frames the pad is held for: one page is shown in every frame.
  await page.evaluate(() => {
    const shown = Module.onPageShown;
    Module.onPageShown = function () {
      shown();
      if (window.padFramesLeft > 0 && --window.padFramesLeft === 0) window.releasePad();
    };
  });
});

after(async () => {
  if (chromium) await chromium.close();
  if (site) await site.close();
});

test('a connecting pad gets a short hint', async () => {
  await page.evaluate(() => {
    const event = new Event('gamepadconnected');
    event.gamepad = window.testPad;
    window.dispatchEvent(event);
  });
  const hint = await page.$eval('#pad-hint', (e) => ({ hidden: e.hidden, text: e.textContent }));
  assert.equal(hint.hidden, false);
  assert.match(hint.text, /stick aims/);
});

test('the stick moves the crosshair by the mapping\'s pixels', async () => {
  await waitFrames(page, 3);
  assert.deepEqual(findCrosshair(await canvasPixels(page)), { x: 50, y: 50 }, 'the crosshair where the game starts it');
  // Full tilt right for 12 frames: 12 x 320/35 = 109.7, so 110 pixels. Then a small tilt
  // (0.3, a tenth of the way past the dead zone) creeps 0.16 px a frame: 3 pixels down in 20.
  await holdPad([1, 0], {}, 12);
  await holdPad([0, 0.3], {}, 20);
  await waitFrames(page, 2);
  assert.deepEqual(findCrosshair(await canvasPixels(page)), { x: 160, y: 53 });
  crosshair.x = 160;
  crosshair.y = 53;
});

test('the d-pad scrolls the scene to the left edge', async () => {
  assert.equal(scene.bestScroll(await canvasPixels(page), world).scroll, 160);
  await holdPad([0, 0], { 14: 1 }, 85);  // 80 frames take the scroll from 160 to 0
  await waitFrames(page, 2);
  const shown = scene.bestScroll(await canvasPixels(page), world);
  assert.equal(shown.scroll, 0);
  assert.ok(shown.share > 0.8);
  scroll = 0;
});

test('the fire button draws blood where the crosshair points', async () => {
  // People walk in from the world's left edge over the first seconds, and keep walking
  // while the crosshair travels to them: aim, shoot, and try another if the shot missed.
  let hit = null;
  const deadline = Date.now() + 30000;
  while (!hit && Date.now() < deadline) {
    const pixels = await canvasPixels(page);
    Object.assign(crosshair, findCrosshair(pixels) || crosshair);
    const person = findPerson(pixels);
    if (!person) {
      await waitFrames(page, 20);
      continue;
    }
    // Chest high, on the centre line where the person will be when the shot comes: people
    // walk right at 0.3 or 0.4 pixels a frame, and the shot comes a few frames after the
    // crosshair arrives.
    const target = { x: person.left + 6, y: person.top + 6 };
    target.x += Math.round(0.35 * (steeringFrames(target.x - crosshair.x, target.y - crosshair.y) + 5));
    const around = { left: target.x - 14, right: target.x + 14, top: target.y - 8, bottom: target.y + 14 };
    const bloodBefore = scene.bloodIn(pixels, around);
    await steer(target.x - crosshair.x, target.y - crosshair.y);
    await holdPad([0, 0], { 0: 1 }, 2);  // the south button: fire
    await steer(0, target.y > 60 ? -40 : 45);  // the crosshair off the blood it looks for
    await waitFrames(page, 40);
    const bloodAfter = scene.bloodIn(await canvasPixels(page), around);
    if (bloodAfter >= bloodBefore + 6) hit = { target, bloodBefore, bloodAfter };
  }
  assert.ok(hit, 'no shot from the pad drew blood on a person');
});

test('the bomb trigger drops a bomb: a blast where the crosshair points', async () => {
  await waitFrames(page, 25);  // past the shot's cooldown
  await steer(30 - crosshair.x, 180 - crosshair.y);
  const fieryCounts = await watchFieryPixels(page, blastArea({ x: 30, y: 180 }));
  await holdPad([0, 0], { 6: 1 }, 2);  // the left trigger, pulled all the way
  await waitFrames(page, 175);  // the bomb falls and blows up
  assertBlastSeen(await fieryCounts(), 'the crosshair');
});

test('M mutes and the volume keys step what the effects play at', async () => {
  const playsAt = () => page.evaluate(() => Module.audioStatus().effectsVolume);
  const press = async (key) => {
    await page.keyboard.press(key);
    await waitFrames(page, 2);
  };
  assert.equal(await playsAt(), 63 / 255, 'level 1 of 4 at start');
  await press('KeyM');
  assert.equal(await playsAt(), 0, 'muted');
  await press('KeyM');
  assert.equal(await playsAt(), 63 / 255);
  await press('Equal');
  await press('NumpadAdd');
  assert.equal(await playsAt(), 190 / 255);
  await press('Minus');
  await press('NumpadSubtract');
  await press('NumpadSubtract');
  assert.equal(await playsAt(), 0, 'the silent level');
  // The page keeps the level the player left, and the next visit's game starts there.
  await press('Equal');
  await press('Equal');
  assert.equal(await page.evaluate(() => localStorage.getItem('crowdfire.effects')), '2');
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0, { timeout: 15000 });
  // The sound opens once its pack is in, after the first frame; the frame after that hands
  // the device the level the game started with.
  await page.waitForFunction(() => Module.audioStatus().opened, { timeout: 15000 });
  await waitFrames(page, 3);
  assert.equal(await playsAt(), 126 / 255, 'the remembered level');
  assert.deepEqual(problems, []);
});
