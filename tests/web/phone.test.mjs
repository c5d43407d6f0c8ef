// The browser version on a phone (844 x 390 held sideways, 390 x 844 upright, 3 device
// pixels to the CSS pixel, touch, a mobile user agent) in headless Chromium, played with
// real touch events: the picture fills the screen with nothing cut off, a tap fires where
// the finger was (and not during the cooldown), Bomb then a tap drops a bomb there, ◀
// scrolls, the sound button mutes and is remembered, End game ends. Then the page as an
// installed app: its manifest and icons, a reload with the network gone, a new build
// replacing the offline copy whole, and a page that says which file failed to load.
//
// Paths as in game.test.mjs: CROWDFIRE_SITE (build-web/site), CROWDFIRE_RUN_DIR
// (build-web/host/run, the same artwork natively).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from './browser.mjs';
import { after, before, describe, test } from './limits.mjs';
import { assertBlastSeen, assertScorched, blastArea, canvasPixels, framesRun, pictureBox, recordProblems, screenPoint, sleep, waitFrames, watchFieryPixels } from './page_helpers.mjs';
import * as phone from './phone.mjs';
import * as scene from './scene.mjs';
import { serveDirectory } from './serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const runDir = process.env.CROWDFIRE_RUN_DIR || join(root, 'build-web/host/run');

let chromium;
let world;
const scratch = [];  // copies of the site, removed at the end

before(async () => {
  world = scene.loadWorld(runDir);
  chromium = await launchChromium();

});

after(async () => {
  if (chromium) await chromium.close();
  for (const dir of scratch) rmSync(dir, { recursive: true, force: true });
});

function copyOfSite(leaveOut = '') {
  const dir = mkdtempSync(join(tmpdir(), 'crowdfire-site-'));
  scratch.push(dir);
  cpSync(siteDir, dir, { recursive: true, filter: (path) => !leaveOut || !path.endsWith('/' + leaveOut) });
  return dir;
}

// A phone of its own: its own storage and service workers. Made before the test's server,
// so that a phone Chromium could not make leaves no server open to hold the run up.
async function newPhone(size) {
  const context = await chromium.browser.createBrowserContext();
  const { page, session } = await phone.openPhonePage(context, size);
  return { context, page, session };
}

async function loadGame(page, url) {
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0, { timeout: 15000 });
}

const pagePixelOf = (entry) => [Math.floor((entry[1] * 320) / entry[3]), Math.floor((entry[2] * 240) / entry[4])];

describe('played by touch', () => {
  let site;
  let page;
  let session;
  const problems = [];
  const sky = { x: 200, y: 12 };  // where taps hit nobody
  const tapAt = async (x, y, holdMs) => {
    const p = await screenPoint(page, x, y);
    await phone.tap(session, p.x, p.y, holdMs);
  };
  const tapControl = async (selector, holdMs) => {
    const box = await (await page.$(selector)).boundingBox();
    await phone.tap(session, box.x + box.width / 2, box.y + box.height / 2, holdMs);
  };
  const soundsStarted = () => page.evaluate(() => Module.audioStatus().started);

  before(async () => {
    site = await serveDirectory(siteDir);
    ({ page, session } = await newPhone(phone.landscape));
    recordProblems(page, problems);
    await page.goto('about:blank');  // a page a swipe could go back to
    await loadGame(page, site.url);
    await phone.recordInput(page);
  });

  after(async () => {
    if (page) await page.browserContext().close();
    if (site) await site.close();
  });

  test('the picture fills the screen either way up, the touch help shows, nothing is cut off, a tap lands on its pixel', async () => {
    for (const [name, size] of [['sideways', phone.landscape], ['upright', phone.portrait], ['sideways', phone.landscape]]) {
      await phone.turnPhone(page, size);
      await waitFrames(page, 2);
      const box = await pictureBox(page);
      const share = (box.width * box.height) / (size.width * size.height);
      assert.ok(box.left >= -0.5 && box.top >= -0.5 && box.right <= size.width + 0.5 && box.bottom <= size.height + 0.5,
        `${name}: the picture ${JSON.stringify(box)} leaves the screen`);
      assert.ok(Math.abs(box.width / box.height - 4 / 3) < 0.01, `${name}: the picture is not 4:3`);
      if (size === phone.landscape) assert.ok(share >= 0.58, `${name}: the picture covers ${(share * 100).toFixed(1)}%`);
      else assert.ok(box.width >= size.width - 1, `${name}: the picture is ${box.width} of ${size.width} wide`);
      assert.deepEqual(await page.evaluate(phone.clippedText), [], `${name}: text cut off`);
      const help = await page.$eval('#touch-help', (e) => ({ shown: e.checkVisibility(), top: e.getBoundingClientRect().top }));
      assert.ok(help.shown, `${name}: no touch help`);
      assert.equal(await page.$eval('#mouse-help', (e) => e.checkVisibility()), false, `${name}: mouse help shown`);
      if (size === phone.portrait) assert.ok(help.top >= box.bottom, `${name}: the help is not below the picture`);

      // A tap hands the game the pointer on the pixel under the finger, then one press and
      // one release: no second press from the mouse events a browser makes of a tap.
      await waitFrames(page, 25);
      await phone.takeInputLog(page);
      await tapAt(sky.x, sky.y);
      await waitFrames(page, 2);
      const log = await phone.takeInputLog(page);
      assert.deepEqual(log.map((e) => e.slice(0, 3).join(' ')).filter((e) => !e.startsWith('Pointer')), ['Button 0 1', 'Button 0 0']);
      assert.equal(log[0][0], 'Pointer', `${name}: the crosshair did not move before the press`);
      assert.deepEqual(pagePixelOf(log[0]), [sky.x, sky.y], `${name}: the tap landed elsewhere`);
    }
    // A small phone held sideways, where the side columns are shortest, and a tablet.
    for (const [width, height] of [[568, 320], [1024, 768], [768, 1024]]) {
      await page.setViewport({ width, height, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
      await waitFrames(page, 2);
      assert.deepEqual(await page.evaluate(phone.clippedText), [], `${width} x ${height}: text cut off`);
    }
    await phone.turnPhone(page, phone.landscape);
  });

  test('a tap during the cooldown does not fire, one after it does', async () => {
    await page.waitForFunction(() => Module.audioStatus().state === 'running' && Module.audioStatus().decoded === 17,
      { timeout: 5000 });
    await waitFrames(page, 25);
    const shots = [await soundsStarted()];
    for (const wait of [6, 20]) {  // 6 frames after a shot the cooldown of 20 still runs
      await tapAt(sky.x, sky.y);
      await waitFrames(page, wait);
      shots.push(await soundsStarted());
    }
    await tapAt(sky.x, sky.y);
    await waitFrames(page, 6);
    shots.push(await soundsStarted());
    const presses = (await phone.takeInputLog(page)).filter((e) => e[0] === 'Button' && e[2] === 1).length;
    assert.equal(presses, 3, 'every tap reached the game');
    assert.deepEqual(shots.slice(1).map((n, i) => n - shots[i]), [1, 0, 1], `shots heard: ${shots.join(', ')}`);
  });

  test('holding ◀ scrolls to the left edge, and a swipe does not leave the game', async () => {
    const url = page.url();
    const picture = await pictureBox(page);
    const y = picture.top + picture.height / 2;
    await phone.touch(session, [[[picture.left + 20, y], [picture.left + 200, y], [picture.right - 10, y]]], 40);
    await sleep(500);
    assert.equal(page.url(), url, 'a swipe to the right took the browser off the game');
    assert.equal(scene.bestScroll(await canvasPixels(page), world).scroll, 160);
    const box = await (await page.$('#scroll-left')).boundingBox();
    const finger = [box.x + box.width / 2, box.y + box.height / 2];
    await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: finger[0], y: finger[1] }] });
    await waitFrames(page, 90);  // 80 frames take the scroll from 160 to 0
    await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await waitFrames(page, 2);
    const shown = scene.bestScroll(await canvasPixels(page), world);
    assert.equal(shown.scroll, 0);
    assert.ok(shown.share > 0.8);
  });

  test('a tap on a person draws blood where the finger was', async () => {
    let hit = null;
    let tries = 0;
    const deadline = Date.now() + 20000;
    while (!hit && Date.now() < deadline) {
      await waitFrames(page, 22);  // past the cooldown
      const before = await canvasPixels(page);
      const person = scene.findLonePerson(before, world, 0, sky);
      if (!person) continue;
      // People walk right at up to 0.4 pixels a frame: aim a little ahead, at the chest.
      const aim = { x: person.left + 7, y: person.top + 6 };
      const around = { left: aim.x - 14, right: aim.x + 14, top: aim.y - 8, bottom: aim.y + 14 };
      const bloodBefore = scene.bloodIn(before, around);
      await phone.takeInputLog(page);
      await tapAt(aim.x, aim.y);
      tries++;
      const pointed = (await phone.takeInputLog(page)).find((e) => e[0] === 'Pointer');
      assert.deepEqual(pagePixelOf(pointed), [aim.x, aim.y]);
      await tapAt(sky.x, sky.y, 20);  // the crosshair out of the way, inside the cooldown
      await waitFrames(page, 40);
      if (scene.bloodIn(await canvasPixels(page), around) >= bloodBefore + 6) hit = aim;
    }
    assert.ok(hit, `no tap drew blood on a person (${tries} tries)`);
  });

  test('Bomb, then a tap: a blast and a scorch mark where it was aimed', async () => {
    await waitFrames(page, 25);
    const target = { x: 30, y: 180 };
    const fieryCounts = await watchFieryPixels(page, blastArea(target));
    await tapControl('#bomb');
    assert.equal(await page.$eval('#bomb', (b) => b.getAttribute('aria-pressed')), 'true');
    await phone.takeInputLog(page);
    await tapAt(target.x, target.y);
    await waitFrames(page, 2);
    const log = await phone.takeInputLog(page);
    assert.deepEqual(log.filter((e) => e[0] === 'Button' && e[2] === 1).map((e) => e[1]), [2], 'the tap pressed the bomb button alone');
    assert.equal(await page.$eval('#bomb', (b) => b.getAttribute('aria-pressed')), 'false', 'Bomb stays armed');
    await tapAt(sky.x, sky.y, 20);
    await waitFrames(page, 175);
    assertBlastSeen(await fieryCounts(), 'the target');
    await assertScorched(page, world, target);
  });

  test('the sound button mutes the game and the page remembers it', async () => {
    await tapControl('#sound');
    assert.equal(await page.evaluate(() => Module._webSoundMuted()), 1);
    assert.equal(await page.evaluate(() => localStorage.getItem('crowdfire.muted')), '1');
    await waitFrames(page, 25);
    const before = await soundsStarted();
    await tapAt(sky.x, sky.y);
    await waitFrames(page, 10);
    assert.equal(await soundsStarted(), before, 'a muted shot was heard');

    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0, { timeout: 15000 });
    await phone.recordInput(page);
    assert.equal(await page.evaluate(() => Module._webSoundMuted()), 1, 'the mute was forgotten');
    assert.equal(await page.$eval('#sound', (b) => b.textContent), 'Sound off');
    await tapControl('#sound');
    await page.waitForFunction(() => Module.audioStatus().state === 'running' && Module.audioStatus().decoded === 17,
      { timeout: 5000 });
    assert.equal(await page.$eval('#sound', (b) => b.textContent), 'Sound on');
    await waitFrames(page, 25);
    const unmuted = await soundsStarted();
    await tapAt(sky.x, sky.y);
    await waitFrames(page, 10);
    assert.equal(await soundsStarted(), unmuted + 1, 'no shot heard after unmuting');
  });

  test('Full screen, by touch, takes the controls along', async () => {
    await tapControl('#full-screen');
    await page.waitForFunction(() => document.fullscreenElement === document.documentElement, { timeout: 2000 });
    await tapControl('#full-screen');
    await page.waitForFunction(() => document.fullscreenElement === null, { timeout: 2000 });
  });

  test('End game, asked twice, ends the game; the page says so and offers another', async () => {
    await tapControl('#end-game');
    assert.equal(await page.$eval('#end-game', (b) => b.textContent), 'Tap again to end');
    await waitFrames(page, 10);
    assert.equal(await page.evaluate(() => window.crowdfire.ended), false, 'one tap ended the game');
    await tapControl('#end-game');
    await page.waitForFunction(() => window.crowdfire.ended, { timeout: 2000 });
    const frames = await framesRun(page);
    await sleep(300);
    assert.equal(await framesRun(page), frames, 'frames still run after the end');
    assert.match(await page.$eval('#ended', (e) => e.innerText), /The game has ended/);
    await tapControl('#play-again');
    await page.waitForFunction(() => Module._webFramesRun() > 10 && !window.crowdfire.ended, { timeout: 3000 });
    assert.deepEqual(problems, []);
  });
});

describe('installed and offline', () => {
  test('the manifest is served, parses, and its icons are PNGs of the sizes it states', async () => {
    const { context, page } = await newPhone(phone.landscape);
    const site = await serveDirectory(siteDir);
    try {
      await loadGame(page, site.url);
      const found = await page.evaluate(async () => {
        const link = document.querySelector('link[rel="manifest"]');
        const response = await fetch(link.href, { cache: 'no-store' });
        const manifest = JSON.parse(await response.text());
        const icons = [];
        for (const icon of manifest.icons) {
          const bytes = new DataView(await (await fetch(new URL(icon.src, link.href))).arrayBuffer());
          const png = bytes.getUint32(0) === 0x89504e47;
          icons.push({ sizes: icon.sizes, type: icon.type, png, size: png ? `${bytes.getUint32(16)}x${bytes.getUint32(20)}` : '' });
        }
        const favicon = new DataView(await (await fetch(document.querySelector('link[rel="icon"]').href)).arrayBuffer());
        return { type: response.headers.get('content-type'), manifest, icons, favicon: favicon.getUint32(0) === 0x89504e47 };
      });
      assert.equal(found.type, 'application/manifest+json');
      assert.equal(found.manifest.orientation, 'landscape');
      assert.ok(['fullscreen', 'standalone'].includes(found.manifest.display));
      assert.ok(found.manifest.name && found.manifest.theme_color && found.manifest.start_url);
      assert.deepEqual(found.icons.map((i) => i.sizes).sort(), ['192x192', '512x512']);
      for (const icon of found.icons) assert.ok(icon.png && icon.size === icon.sizes && icon.type === 'image/png', JSON.stringify(icon));
      assert.ok(found.favicon, 'the favicon is no PNG');
    } finally {
      await context.close();
      await site.close();
    }
  });

  test('after one visit a reload plays with the server gone; the worker controls the second load', async () => {
    const dir = copyOfSite();
    const { context, page } = await newPhone(phone.landscape);
    const site = await serveDirectory(dir);
    let serving = true;
    try {
      await loadGame(page, site.url);
      await page.evaluate(() => navigator.serviceWorker.ready);
      const cacheName = /const cacheName = '([^']+)'/.exec(readFileSync(join(dir, 'sw.js'), 'utf8'))[1];
      const kept = await page.evaluate(async () => {
        const names = await caches.keys();
        const files = await (await caches.open(names[0])).keys();
        return { names, files: files.map((request) => new URL(request.url).pathname.slice(1)) };
      });
      assert.deepEqual(kept.names, [cacheName]);
      const served = readdirSync(dir, { recursive: true }).filter((name) => name !== 'sw.js');
      assert.deepEqual(kept.files.filter((name) => name).sort(), served.sort(), 'the cache does not hold the whole site');

      await loadGame(page, site.url);
      assert.equal(await page.evaluate(() => navigator.serviceWorker.controller !== null), true,
        'the worker does not control the second load');

      await site.close();
      serving = false;
      await page.setOfflineMode(true);
      await loadGame(page, site.url);
      await waitFrames(page, 70);
      const shown = scene.bestScroll(await canvasPixels(page), world);
      assert.equal(shown.scroll, 160);
      assert.ok(shown.share > 0.8, `only ${(shown.share * 100).toFixed(0)}% of the canvas shows the scene`);
    } finally {
      await context.close();
      if (serving) await site.close();
    }
  });

  test('a new build served replaces the offline copy whole, and the old cache goes', async () => {
    const dir = copyOfSite();
    const { context, page } = await newPhone(phone.landscape);
    const site = await serveDirectory(dir);
    const cacheNameOf = () => /const cacheName = '([^']+)'/.exec(readFileSync(join(dir, 'sw.js'), 'utf8'))[1];
    try {
      await loadGame(page, site.url);
      await page.evaluate(() => navigator.serviceWorker.ready);
      const oldName = cacheNameOf();
      // A new build: one file changes, and the build writes the worker again.
      appendFileSync(join(dir, 'page.js'), '\n// the next build\n');
      execFileSync('cmake', [`-DSITE_DIR=${dir}`, `-DTEMPLATE=${join(root, 'web/service_worker.js.in')}`,
        '-P', join(root, 'web/write_service_worker.cmake')]);
      const newName = cacheNameOf();
      assert.notEqual(newName, oldName, 'a changed file did not rename the cache');

      // This load still runs the old build; the browser finds the new worker and installs it.
      await loadGame(page, site.url);
      assert.equal(await page.evaluate(() => fetch('page.js').then((r) => r.text()).then((t) => t.includes('the next build'))),
        false, 'the old build already got a file of the new one');
      await phone.eventually(page, () => navigator.serviceWorker.getRegistration().then((r) => r.waiting !== null));
      // The next load finds it waiting, lets it take over and loads again, all on the new build.
      await page.reload();
      // Asked without fetching: the old worker must go idle before the new one takes over.
      await phone.eventually(page, async (name) => {
        const names = await caches.keys();
        return names.length === 1 && names[0] === name && navigator.serviceWorker.controller !== null &&
          window.crowdfire.firstFrameAt > 0;
      }, newName);
      assert.equal(await page.evaluate(() => fetch('page.js').then((r) => r.text()).then((t) => t.includes('the next build'))),
        true, 'the page does not run the new build');
    } finally {
      await context.close();
      await site.close();
    }
  });
});

describe('a page that cannot load says why', () => {
  for (const missing of ['crowdfire-pictures.pack', 'crowdfire-module.pack', 'page.js', 'packs.js']) {
    test(`without ${missing} the page names it within 10 s and offers to try again`, async () => {
      const { context, page } = await newPhone(phone.landscape);
      const site = await serveDirectory(copyOfSite(missing));
      try {
        await page.goto(site.url);
        await page.waitForFunction(() => window.crowdfire && window.crowdfire.loadFailure, { timeout: 12000 });
        const said = await page.evaluate(() => ({
          text: document.getElementById('failure-text').innerText,
          at: window.crowdfire.loadFailureAt,
          retry: document.getElementById('try-again').checkVisibility(),
        }));
        assert.ok(said.text.includes(missing), `the page said: ${said.text}`);
        assert.ok(said.at < 10000, `said after ${said.at.toFixed(0)} ms`);
        assert.ok(said.retry, 'no Try again');
      } finally {
        await context.close();
        await site.close();
      }
    });
  }

  test('a browser without WebAssembly is told so', async () => {
    const { context, page } = await newPhone(phone.landscape);
    const site = await serveDirectory(siteDir);
    try {
      await page.evaluateOnNewDocument(() => {
        delete window.WebAssembly;
      });
      await page.goto(site.url);
      await page.waitForFunction(() => window.crowdfire && window.crowdfire.loadFailure, { timeout: 10000 });
      assert.match(await page.$eval('#failure-text', (e) => e.innerText), /WebAssembly/);
    } finally {
      await context.close();
      await site.close();
    }
  });
});
