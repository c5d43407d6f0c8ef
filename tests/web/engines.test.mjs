// What every engine a player may hold must do beyond game.test.mjs, in the browser that
// CROWDFIRE_BROWSER names (chromium, firefox or webkit; browser.mjs): a first visit
// downloads each file once, fingers play (a tap fires where it touched, Bomb then a tap
// bombs, a finger held on ◀ scrolls; fingers.mjs says how each engine's are made), a
// reload with the server gone plays from the offline copy, and a missing pack is named in
// words. (phone.test.mjs holds the rest of the phone, in Chromium's phone emulation.)
//
// Paths as in game.test.mjs: CROWDFIRE_SITE (build-web/site), CROWDFIRE_RUN_DIR
// (build-web/host/run, the same artwork natively).
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchBrowser } from './browser.mjs';
import { fingerOn, tap } from './fingers.mjs';
import { after, before, describe, test } from './limits.mjs';
import { canvasPixels, recordProblems, screenPoint, waitFrames } from './page_helpers.mjs';
import { recordInput, takeInputLog } from './phone.mjs';
import * as scene from './scene.mjs';
import { serveDirectory } from './serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const runDir = process.env.CROWDFIRE_RUN_DIR || join(root, 'build-web/host/run');

let browser;
let world;
const scratch = [];  // copies of the site, removed at the end

before(async () => {
  world = scene.loadWorld(runDir);
  browser = await launchBrowser();
});

after(async () => {
  if (browser) await browser.close();
  for (const dir of scratch) rmSync(dir, { recursive: true, force: true });
});

// Each test serves its own copy of the site on a port of its own: a new origin, so no
// service worker or storage of another test's visit is there.
async function serveCopy(leaveOut = '') {
  const dir = mkdtempSync(join(tmpdir(), 'crowdfire-site-'));
  scratch.push(dir);
  cpSync(siteDir, dir, { recursive: true, filter: (path) => !leaveOut || !path.endsWith('/' + leaveOut) });
  return serveDirectory(dir);
}

async function openGame(url) {
  const page = await browser.browser.newPage();
  await page.setViewport({ width: 1000, height: 750 });
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire && window.crowdfire.firstFrameAt > 0, { timeout: 15000 });
  return page;
}

const soundsSettled = () => 'crowdfire-sounds.pack' in Module.packStatus.arrivedAt || 'crowdfire-sounds.pack' in Module.packStatus.failed;

test('a first visit downloads each file once', async () => {
  const site = await serveCopy();
  const page = await openGame(site.url);
  try {
    await page.waitForFunction(soundsSettled, { timeout: 10000 });
    // What the page asked for itself: the offline copy's worker, registered once the page
    // has everything, then fetches the whole build again for its cache, on purpose.
    await page.waitForFunction(() => window.crowdfire.offline !== 'registering', { timeout: 10000 });
    const asked = site.requests();
    const byPage = asked.slice(0, asked.includes('/sw.js') ? asked.indexOf('/sw.js') : asked.length);
    const twice = byPage.filter((path, i) => byPage.indexOf(path) !== i);
    assert.deepEqual(twice, [], `asked for more than once: ${byPage.join(' ')}`);
    for (const pack of ['crowdfire-module.pack', 'crowdfire-pictures.pack', 'crowdfire-sounds.pack']) {
      assert.ok(byPage.includes('/' + pack), `${pack} never asked for: ${byPage.join(' ')}`);
    }
  } finally {
    await page.close();
    await site.close();
  }
});

describe('played by touch', () => {
  let site;
  let page;
  const problems = [];
  const sky = { x: 200, y: 12 };  // where taps hit nobody
  const tapAt = async (x, y) => {
    const p = await screenPoint(page, x, y);
    await tap(page, p.x, p.y);
  };
  const middleOf = async (selector) => {
    const box = await page.$eval(selector, (e) => e.getBoundingClientRect().toJSON());
    return [box.left + box.width / 2, box.top + box.height / 2];
  };
  const pressedButtons = (log) => log.filter((e) => e[0] === 'Button').map((e) => `${e[1]} ${e[2]}`);

  before(async () => {
    site = await serveDirectory(siteDir);
    page = await openGame(site.url);
    recordProblems(page, problems);
    await recordInput(page);
  });

  after(async () => {
    if (page) await page.close();
    if (site) await site.close();
  });

  test('a tap fires where it touched, once, and brings the touch controls', async () => {
    await waitFrames(page, 25);
    await takeInputLog(page);
    await tapAt(sky.x, sky.y);
    await waitFrames(page, 2);
    const log = await takeInputLog(page);
    assert.deepEqual(pressedButtons(log), ['0 1', '0 0'], JSON.stringify(log));
    const pointed = log.find((e) => e[0] === 'Pointer');
    assert.deepEqual([Math.floor((pointed[1] * 320) / pointed[3]), Math.floor((pointed[2] * 240) / pointed[4])], [sky.x, sky.y]);
    await page.waitForFunction(() => document.body.classList.contains('touch'), { timeout: 2000 });
  });

  test('Bomb, then a tap, drops a bomb there', async () => {
    await waitFrames(page, 25);
    const [x, y] = await middleOf('#bomb');
    await tap(page, x, y);
    assert.equal(await page.$eval('#bomb', (b) => b.getAttribute('aria-pressed')), 'true');
    await takeInputLog(page);
    await tapAt(30, 180);
    await waitFrames(page, 2);
    assert.deepEqual(pressedButtons(await takeInputLog(page)), ['2 1', '2 0'], 'the tap did not press the bomb button alone');
    assert.equal(await page.$eval('#bomb', (b) => b.getAttribute('aria-pressed')), 'false', 'Bomb stays armed');
  });

  test('a finger held on ◀ scrolls to the left edge', async () => {
    assert.equal(scene.bestScroll(await canvasPixels(page), world).scroll, 160);
    const finger = fingerOn(page);
    await finger.down(...(await middleOf('#scroll-left')));
    await waitFrames(page, 90);  // 80 frames take the scroll from 160 to 0
    await finger.up();
    await waitFrames(page, 2);
    const shown = scene.bestScroll(await canvasPixels(page), world);
    assert.equal(shown.scroll, 0);
    assert.ok(shown.share > 0.8);
    assert.deepEqual(problems, []);
  });
});

test('after one visit a reload plays with the server gone', async () => {
  const site = await serveCopy();
  const page = await openGame(site.url);
  let serving = true;
  try {
    await page.waitForFunction(() => navigator.serviceWorker.ready.then(() => true), { timeout: 15000 });
    await site.close();
    serving = false;
    await page.goto(site.url, { waitUntil: 'load' });
    await page.waitForFunction(() => window.crowdfire && window.crowdfire.firstFrameAt > 0, { timeout: 15000 });
    await waitFrames(page, 70);
    const shown = scene.bestScroll(await canvasPixels(page), world);
    assert.equal(shown.scroll, 160);
    assert.ok(shown.share > 0.8, `only ${(shown.share * 100).toFixed(0)}% of the canvas shows the scene`);
  } finally {
    await page.close();
    if (serving) await site.close();
  }
});

for (const missing of ['crowdfire-module.pack', 'crowdfire-pictures.pack']) {
  test(`without ${missing} the page names it in words`, async () => {
    const site = await serveCopy(missing);
    const page = await browser.browser.newPage();
    try {
      await page.goto(site.url, { waitUntil: 'load' });
      await page.waitForFunction(() => window.crowdfire && window.crowdfire.loadFailure, { timeout: 12000 });
      const said = await page.$eval('#failure-text', (e) => e.innerText);
      assert.ok(said.includes(missing), `the page said: ${said}`);
    } finally {
      await page.close();
      await site.close();
    }
  });
}
