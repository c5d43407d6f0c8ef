// Replays in the page, in the browser that CROWDFIRE_BROWSER names (chromium, firefox or
// webkit; browser.mjs): a link to a replay recorded natively plays to "every checkpoint
// matched" under the page's Content-Security-Policy, which refuses a script slipped into
// the page, and a tap on the picture pauses and resumes it; bad links each say one line
// and start nothing. In Chromium also: a replay of another version is said so and plays; a
// game played with the mouse is kept, listed and saved as a file that the native scenario
// runner plays to the same verdict, its link carries it whole, a closed tab keeps its
// seconds, the list keeps the newest 20, and a browser that refuses storage plays on.
//
// The replay the links carry: tests/replays/real_play.cfreplay where it exists, else the
// shooting_spree scenario recorded by the native runner. Paths as in game.test.mjs:
// CROWDFIRE_SITE, CROWDFIRE_RUN_DIR, CROWDFIRE_SCENARIO (build-web/host/scenario).
import { after, before, describe, test } from './limits.mjs';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { engineName, launchBrowser } from './browser.mjs';
import { tap } from './fingers.mjs';
import { recordProblems, screenPoint, sleep, waitFrames } from './page_helpers.mjs';
import { serveDirectory } from './serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const runDir = process.env.CROWDFIRE_RUN_DIR || join(root, 'build-web/host/run');
const nativeScenario = process.env.CROWDFIRE_SCENARIO || join(root, 'build-web/host/scenario');
const storedReplay = join(root, 'tests/replays/real_play.cfreplay');

let browser;
let site;
let scratch;
let replay;  // the bytes of the replay the links carry

before(async () => {
  scratch = mkdtempSync(join(tmpdir(), 'crowdfire-replays-'));
  let file = storedReplay;
  if (!existsSync(file)) {
    file = join(scratch, 'shooting_spree.cfreplay');
    execFileSync(nativeScenario, [join(root, 'tests/scenarios/shooting_spree.txt'), runDir, join(scratch, 'page.bmp'),
      '--record', file]);
  }
  replay = readFileSync(file);
  site = await serveDirectory(siteDir);
  browser = await launchBrowser();
});

after(async () => {
  if (browser) await browser.close();
  if (site) await site.close();
  rmSync(scratch, { recursive: true, force: true });
});

const linkTo = (bytes) => `${site.url}#replay=${Buffer.from(bytes).toString('base64url')}`;

// The native runner's verdict on a replay file: its exit status and last line.
function nativeVerdict(file) {
  const run = spawnSync(nativeScenario, ['--replay', file, runDir, join(scratch, 'native.bmp')], { encoding: 'utf8' });
  return { status: run.status, line: run.stdout.trim().split('\n').pop() };
}

const caption = (page) => page.$eval('#replay-time', (e) => e.textContent);

// A tap on the picture pauses the replay (its time stands still) and another resumes it.
async function pauseAndResumeByTap(page) {
  const middle = await screenPoint(page, 160, 120);
  await page.waitForFunction(() => window.crowdfire.watching && Module._webFramesRun() > 0, { timeout: 15000 });
  await tap(page, middle.x, middle.y);
  await page.waitForFunction(() => document.getElementById('replay-time').textContent.endsWith(' paused'), { timeout: 3000 });
  const paused = await caption(page);
  await sleep(1500);
  assert.equal(await caption(page), paused, 'the replay went on while paused');
  await tap(page, middle.x, middle.y);
  await page.waitForFunction(() => !document.getElementById('replay-time').textContent.endsWith(' paused'), { timeout: 3000 });
}

// Plays the replay the page has started to its end, F held (eight frames a tick), and
// gives the page's verdict.
async function watchToTheEnd(page) {
  await page.waitForFunction(() => window.crowdfire.watching && Module._webFramesRun() > 0, { timeout: 15000 });
  await page.keyboard.down('KeyF');
  try {
    await page.waitForFunction(() => /^Replay \d+:\d\d \/ \d+:\d\d fast forward$/.test(document.getElementById('replay-time').textContent),
      { timeout: 5000 });
    await page.waitForFunction(() => window.crowdfire.replayVerdict, { timeout: 60000 });
  } finally {
    await page.keyboard.up('KeyF');
  }
  const verdict = await page.evaluate(() => window.crowdfire.replayVerdict);
  assert.equal(await page.$eval('#ended-text', (e) => e.textContent), verdict.line, 'the page does not show the verdict');
  return verdict;
}

test('a link to a replay recorded natively plays to "every checkpoint matched", under the page\'s policy', async () => {
  const page = await browser.browser.newPage();
  const problems = [];
  recordProblems(page, problems);
  try {
    await page.setViewport({ width: 1000, height: 750 });
    await page.goto(linkTo(replay), { waitUntil: 'load' });
    await pauseAndResumeByTap(page);
    const verdict = await watchToTheEnd(page);
    assert.equal(verdict.status, 0, verdict.line);
    assert.match(verdict.line, /^replay: \d+ frames \(\d+:\d\d\), every checkpoint matched$/);
    // The policy lets the page's own inline script run (its early downloads), and refuses
    // one put into the page, saying so.
    const injected = await page.evaluate(() => new Promise((done) => {
      const refused = [];
      document.addEventListener('securitypolicyviolation', (event) => refused.push(event.violatedDirective));
      const script = document.createElement('script');
      script.textContent = 'window.strangersScript = true;';
      document.body.appendChild(script);
      setTimeout(() => done({ refused, ran: !!window.strangersScript, early: typeof window.crowdfireEarlyFetches }), 500);
    }));
    assert.deepEqual(injected, { refused: [injected.refused[0]], ran: false, early: 'object' });
    assert.match(injected.refused[0], /^script-src/);
    assert.deepEqual(problems.filter((p) => !p.includes('Content-Security-Policy') && !p.includes('Content Security Policy')), []);
  } finally {
    await page.close();
  }
});

test('a bad link says what is wrong in one line and starts nothing', async () => {
  const damaged = Buffer.from(replay);
  damaged[damaged[22] + 27 + 5] ^= 0x40;  // a byte of the first second's frames: its check fails
  const links = [
    [`${site.url}#replay=${'A'.repeat(512 * 1024)}`, 'the link holds more than a link may (96 KiB); share the file instead'],
    [`${linkTo(replay).slice(0, -8)}*${linkTo(replay).slice(-7)}`, 'the link: holds "*", a character no replay link has'],
    [linkTo(damaged), 'the link: damaged at 0:00 (frame 0): a second fails its check; nothing before it to play'],
  ];
  for (const [link, words] of links) {
    const page = await browser.browser.newPage();
    try {
      await page.goto(link, { waitUntil: 'load' });
      await page.waitForFunction(() => window.crowdfire.ready && window.crowdfire.ended, { timeout: 15000 });
      await sleep(200);
      const said = await page.$eval('#ended-text', (e) => e.textContent);
      assert.ok(said.startsWith(words), `said "${said}" for ${link.length} characters`);
      assert.ok(!said.includes('\n'));
      assert.equal(await page.evaluate(() => Module._webRunning()), 0, 'a game started');
    } finally {
      await page.close();
    }
  }
});

test('a browser that refuses storage plays on, and its list says replays are not kept', { skip: engineName !== 'chromium' }, async () => {
  const context = await browser.browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.evaluateOnNewDocument(() => {
      Object.defineProperty(window, 'indexedDB', { get() { throw new DOMException('refused in this window', 'SecurityError'); } });
    });
    await page.goto(site.url, { waitUntil: 'load' });
    await page.waitForFunction(() => Module._webFramesRun() > 140, { timeout: 15000 });
    await page.click('#replays-button');
    assert.equal(await page.$eval('#replays-said', (e) => e.textContent), 'Replays are not kept in this browser: refused in this window.');
  } finally {
    await context.close();
  }
});

// The CRC-32 that closes each record of a replay file (docs/replays.md).
function crc32(bytes) {
  let c = ~0;
  for (const byte of bytes) {
    c ^= byte;
    for (let k = 0; k < 8; ++k) c = (c >>> 1) ^ (0xedb88320 & -(c & 1));
  }
  return ~c >>> 0;
}

test('a replay of another version says so first, and plays', { skip: engineName !== 'chromium' }, async () => {
  const other = Buffer.from(replay);
  const versionLength = other[22];
  other.fill('x'.charCodeAt(0), 23, 23 + versionLength);
  other.writeUInt32LE(crc32(other.subarray(0, 23 + versionLength)), 23 + versionLength);
  const page = await browser.browser.newPage();
  try {
    await page.goto(linkTo(other), { waitUntil: 'load' });
    await page.waitForFunction(() => window.crowdfire.watching && Module._webFramesRun() > 70, { timeout: 15000 });
    assert.match(await page.$eval('#replay-note', (e) => e.textContent),
      new RegExp(`^recorded by crowdfire ${'x'.repeat(versionLength)}, played by .+: it may leave its recorded game$`));
  } finally {
    await page.close();
  }
});

describe('recorded in the browser (Chromium)', { skip: engineName !== 'chromium' }, () => {
  let context;
  let page;
  let downloads;
  const problems = [];
  const kept = () => page.evaluate(async () => (await window.crowdfireReplays.list())
    .map((r) => ({ startedAt: r.startedAt, frames: r.frames, closed: r.closed })));

  before(async () => {
    downloads = join(scratch, 'downloads');
    context = await browser.browser.createBrowserContext({ downloadBehavior: { policy: 'allow', downloadPath: downloads } });
    page = await context.newPage();
    recordProblems(page, problems);
    await page.setViewport({ width: 1000, height: 750 });
    await page.goto(site.url, { waitUntil: 'load' });
    await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0, { timeout: 15000 });
  });

  after(async () => {
    if (context) await context.close();
  });

  test('a game played with the mouse is kept, listed, saved, and plays natively and in the page', async () => {
    // A few seconds of play: the crosshair swept over the crowd, shots, a bomb.
    for (let i = 0; i < 12; ++i) {
      const p = await screenPoint(page, 20 + i * 24, 120 + (i % 4) * 25);
      await page.mouse.move(p.x, p.y, { steps: 4 });
      await page.mouse.click(p.x, p.y, { button: i === 6 ? 'right' : 'left' });
      await waitFrames(page, 15);
    }
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => window.crowdfire.ended, { timeout: 3000 });
    await page.waitForFunction(async () => (await window.crowdfireReplays.list()).some((r) => r.closed), { timeout: 3000 });

    await page.click('#replays-button');
    await page.waitForFunction(() => document.querySelectorAll('#replay-list li').length === 1, { timeout: 3000 });
    const entry = await page.$eval('#replay-list li span', (e) => e.textContent);
    assert.match(entry, /^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d · 0:0[2-9]$/);
    await page.click('#replay-list li button:nth-of-type(2)');  // Save
    let saved = [];
    for (let tries = 0; tries < 50 && !saved.length; ++tries, await sleep(100)) {
      saved = existsSync(downloads) ? readdirSync(downloads).filter((name) => name.endsWith('.cfreplay')) : [];
    }
    assert.equal(saved.length, 1, 'no file saved');
    assert.match(saved[0], /^crowdfire-\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.cfreplay$/);
    const native = nativeVerdict(join(downloads, saved[0]));
    assert.equal(native.status, 0, native.line);
    assert.match(native.line, /every checkpoint matched$/);

    // Its link, where the clipboard is refused: shown in a field, holding the file whole.
    await page.evaluate(() => { navigator.clipboard.writeText = () => Promise.reject(new Error('refused')); });
    await page.click('#replay-list li button:nth-of-type(3)');  // Copy link
    await page.waitForFunction(() => !document.getElementById('link-box').hidden, { timeout: 2000 });
    const link = await page.$eval('#link-text', (e) => e.value);
    assert.ok(link.startsWith(`${site.url}#replay=`), link.slice(0, 80));
    assert.deepEqual(Buffer.from(link.split('#replay=')[1], 'base64url'), readFileSync(join(downloads, saved[0])));

    await page.click('#replay-list li button:nth-of-type(1)');  // Watch
    const verdict = await watchToTheEnd(page);
    assert.equal(verdict.status, 0, verdict.line);
    assert.match(verdict.line, /every checkpoint matched$/);
    assert.equal((await kept()).length, 1, 'watching recorded a game');
    assert.deepEqual(problems, []);
  });

  test('a tab closed mid-game keeps its game up to its last second', async () => {
    const tab = await context.newPage();
    await tab.goto(site.url, { waitUntil: 'load' });
    await tab.waitForFunction(() => Module._webFramesRun() > 180, { timeout: 15000 });
    const played = await tab.evaluate(() => Module._webFramesRun());
    await tab.close();
    const newest = (await kept())[0];
    assert.equal(newest.closed, false);
    assert.ok(newest.frames >= 70 * Math.floor(played / 70) - 70, `${newest.frames} of ${played} frames kept`);
  });

  test('the list keeps the newest 20 games', async () => {
    const oldest = (await kept()).pop().startedAt;
    await page.evaluate(() => { for (let i = 0; i < 20; ++i) Module._webStartGame(1, -1); });
    await page.waitForFunction(async () => (await window.crowdfireReplays.list()).filter((r) => r.closed).length === 19,
      { timeout: 5000 });
    const games = await kept();
    assert.equal(games.length, 20);
    assert.ok(!games.some((r) => r.startedAt === oldest), 'the oldest game is still kept');
  });
});
