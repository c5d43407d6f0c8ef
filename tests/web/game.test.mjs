// The browser build played through real mouse and key events, in the browser that
// CROWDFIRE_BROWSER names (chromium, firefox or webkit; browser.mjs): the
// page loads cleanly, shows the scene, shots draw blood, bombs blast and scorch, the
// arrows scroll, the samples decode and play, the pace holds and Escape ends the game.
// A scenario script played by the wasm scenario runner gives the native runner's hashes.
//
// Paths (defaults for scripts/test.sh): CROWDFIRE_SITE (build-web/site), CROWDFIRE_TOOLS_SITE
// (the wasm scenario runner's page, build-web/tools-site), CROWDFIRE_RUN_DIR (a native run
// directory with the same artwork, build-web/host/run), CROWDFIRE_SCENARIO (the native
// scenario runner, build-web/host/scenario).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchBrowser } from './browser.mjs';
import { after, before, test } from './limits.mjs';
import { assertBlastSeen, assertScorched, blastArea, canvasPixels, framesRun, recordProblems, screenPoint, sleep, waitFrames, watchFieryPixels } from './page_helpers.mjs';
import { serveDirectory } from './serve.mjs';
import * as scene from './scene.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const toolsSiteDir = process.env.CROWDFIRE_TOOLS_SITE || join(root, 'build-web/tools-site');
const runDir = process.env.CROWDFIRE_RUN_DIR || join(root, 'build-web/host/run');
const nativeScenario = process.env.CROWDFIRE_SCENARIO || join(root, 'build-web/host/scenario');

let site;
let toolsSite;
let browser;
let page;
let world;
const problems = [];  // console errors, page errors and failed requests, all along

async function moveTo(x, y) {
  const p = await screenPoint(page, x, y);
  await page.mouse.move(p.x, p.y);
}

// Where the pointer rests between actions, in the sky, away from the crowd.
const pointer = { x: 300, y: 15 };

// Clicks page pixel (x, y) and keeps the pointer there until the game has run two frames:
// it reads the pointer once a frame, so a pointer moved away at once could take the shot or
// the bomb with it.
async function clickAt(x, y, options = {}) {
  const p = await screenPoint(page, x, y);
  await page.mouse.click(p.x, p.y, options);
  await waitFrames(page, 2);
}

before(async () => {
  site = await serveDirectory(siteDir);
  toolsSite = await serveDirectory(toolsSiteDir);
  world = scene.loadWorld(runDir);
  browser = await launchBrowser();
  page = await browser.browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  recordProblems(page, problems, { httpErrors: true });
});

after(async () => {
  if (browser) await browser.close();
  if (site) await site.close();
  if (toolsSite) await toolsSite.close();
});

test('the page loads cleanly and shows the scene within 2 s', async () => {
  await page.goto(site.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire && window.crowdfire.firstFrameAt > 0, { timeout: 10000 });
  // Counted from the page's load event: the module, its data and the first frames come
  // after it. (bench/web_bench.mjs reports the time from the start of loading.)
  const { firstFrameAt, loaded } = await page.evaluate(() => ({
    firstFrameAt: window.crowdfire.firstFrameAt,
    loaded: performance.getEntriesByType('navigation')[0].loadEventEnd,
  }));
  const wait = firstFrameAt - loaded;
  assert.ok(wait < 2000, `first frame shown ${wait.toFixed(0)} ms after the page loaded`);
  const shown = scene.bestScroll(await canvasPixels(page), world);
  assert.equal(shown.scroll, 160, 'the game opens in the middle of the world');
  assert.ok(shown.share > 0.8, `only ${(shown.share * 100).toFixed(0)}% of the canvas shows the scene`);
  assert.deepEqual(problems, []);
});

test('holding Left scrolls the scene to the left edge', async () => {
  const before = scene.bestScroll(await canvasPixels(page), world).scroll;
  await page.keyboard.down('ArrowLeft');
  await waitFrames(page, 90);  // 80 frames take the scroll from 160 to 0
  await page.keyboard.up('ArrowLeft');
  await waitFrames(page, 2);
  const after = scene.bestScroll(await canvasPixels(page), world);
  assert.equal(before, 160);
  assert.equal(after.scroll, 0, `scroll went from ${before} to ${after.scroll}`);
  assert.ok(after.share > 0.8);
});

test('a click on a person draws blood where the shot landed', async () => {
  // The first click also lets the page start its audio, as browsers require.
  // The crowd starts off the world's left edge and walks in over the first seconds.
  let hit = null;
  const deadline = Date.now() + 20000;
  while (!hit && Date.now() < deadline) {
    const before = await canvasPixels(page);
    const person = scene.findLonePerson(before, world, 0, pointer);
    if (!person) {
      await sleep(300);
      continue;
    }
    // People walk right at up to 0.4 pixels a frame: aim a little ahead, at the chest.
    const aim = { x: person.left + 7, y: person.top + 6 };
    const around = { left: aim.x - 14, right: aim.x + 14, top: aim.y - 8, bottom: aim.y + 14 };
    const bloodBefore = scene.bloodIn(before, around);
    await clickAt(aim.x, aim.y);
    await moveTo(pointer.x, pointer.y);  // the crosshair out of the way
    await waitFrames(page, 40);
    const bloodAfter = scene.bloodIn(await canvasPixels(page), around);
    if (bloodAfter >= bloodBefore + 6) hit = { aim, bloodBefore, bloodAfter };
  }
  assert.ok(hit, 'no shot drew blood on a person');
});

test('every sample decodes and a shot starts a sound', async () => {
  await page.waitForFunction(() => Module.audioStatus().decoded + Module.audioStatus().failed >= 17, { timeout: 5000 });
  const before = await page.evaluate(() => Module.audioStatus());
  assert.equal(before.decoded, 17, `decoded ${before.decoded}, failed ${before.failed}`);
  await page.waitForFunction(() => Module.audioStatus().state === 'running', { timeout: 2000 });
  const p = await screenPoint(page, pointer.x, pointer.y);
  await page.mouse.click(p.x, p.y);
  await page.waitForFunction((started) => Module.audioStatus().started > started, { timeout: 2000 }, before.started);
});

test('a right click drops a bomb: a blast, then a scorch mark', async () => {
  await waitFrames(page, 25);  // past the cooldown of the shot before
  const target = { x: 30, y: 180 };
  // Watch every page the game shows for fiery pixels around the target.
  const fieryCounts = await watchFieryPixels(page, blastArea(target));
  await clickAt(target.x, target.y, { button: 'right' });
  await moveTo(pointer.x, pointer.y);
  await waitFrames(page, 175);  // the bomb falls, blows up and leaves its mark
  assertBlastSeen(await fieryCounts(), 'the target');
  await assertScorched(page, world, target);
});

test('the game keeps its pace: at least 60 frames a second over 5 s', async () => {
  const start = await page.evaluate(() => [Module._webFramesRun(), performance.now()]);
  await sleep(5000);
  const end = await page.evaluate(() => [Module._webFramesRun(), performance.now()]);
  const rate = ((end[0] - start[0]) * 1000) / (end[1] - start[1]);
  assert.ok(rate >= 60, `${rate.toFixed(1)} frames per second`);
  assert.ok(rate <= 71.5, `${rate.toFixed(1)} frames per second: faster than the game's 70`);
});

test('Escape ends the game and the page offers another', async () => {
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => window.crowdfire.ended, { timeout: 2000 });
  const frames = await framesRun(page);
  await sleep(300);
  assert.equal(await framesRun(page), frames, 'frames still run after Escape');
  assert.equal(await page.$eval('#ended', (e) => e.hidden), false);
  await page.click('#play-again');
  await page.waitForFunction(() => Module._webFramesRun() > 10 && !window.crowdfire.ended, { timeout: 3000 });
  assert.deepEqual(problems, []);
});

function nativeHashes(script) {
  const out = mkdtempSync(join(tmpdir(), 'crowdfire-scenario-'));
  try {
    const text = execFileSync(nativeScenario, [script, runDir, join(out, 'page.bmp')], { encoding: 'utf8' });
    return text.split('\n').slice(0, 3).join('\n') + '\n';
  } finally {
    rmSync(out, { recursive: true, force: true });
  }
}

for (const name of ['shooting_spree', 'bombing_run']) {
  test(`the ${name} scenario gives the native runner's hashes in the browser`, async () => {
    const script = join(root, 'tests/scenarios', `${name}.txt`);
    const tools = await browser.browser.newPage();
    try {
      await tools.goto(toolsSite.url + 'tools.html', { waitUntil: 'load' });
      await tools.waitForFunction(() => window.toolsReady, { timeout: 10000 });
      const inBrowser = await tools.evaluate(
        (text) => Module.ccall('webRunScenario', 'string', ['string', 'number', 'number'], [text, -1, -1]),
        readFileSync(script, 'utf8'));
      assert.equal(inBrowser, nativeHashes(script));
    } finally {
      await tools.close();
    }
  });
}
