// The browser version on a phone: headless Chromium with a phone's screen, its network held
// to a slow mobile link and its CPU slowed, the site served as a plain static host serves it
// (no compression). For each CPU slowdown it prints the first frame after navigation with a
// cold cache, the frame rate at rest and the longest gaps between frames, and the
// worst-case frame compiled to wasm (bench/worst_case_frame.cpp) against the 14.3 ms budget.
//   node bench/web_phone_bench.mjs [SECONDS_AT_REST] [COLD_LOADS] [SLOWDOWN...]
//   (defaults 20 s, 3 loads, slowdowns 1 4 6 8; after scripts/build-web.sh and npm ci in
//   tests/web; CROWDFIRE_SITE overrides build-web/site, CROWDFIRE_TOOLS_SITE the tool
//   module's build-web/tools-site)
// Timings depend on the machine's load: the load average is printed beside them.
import { cpus, loadavg } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from '../tests/web/browser.mjs';
import { serveDirectory } from '../tests/web/serve.mjs';
import { printSiteSize } from './web_site_size.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const toolsSiteDir = process.env.CROWDFIRE_TOOLS_SITE || join(root, 'build-web/tools-site');
const restSeconds = Number(process.argv[2] || 20);
const coldLoads = Number(process.argv[3] || 3);
const slowdowns = process.argv.length > 4 ? process.argv.slice(4).map(Number) : [1, 4, 6, 8];

// A mid-range phone held sideways (a game is played that way): Lighthouse's Moto G Power.
const phoneScreen = { width: 823, height: 412, deviceScaleFactor: 1.75, isMobile: true, hasTouch: true, isLandscape: true };
// DevTools' "Fast 3G": 1.44 Mbit/s down, 675 kbit/s up, 150 ms added to every request.
const slowLink = { offline: false, latency: 150, downloadThroughput: 180000, uploadThroughput: 84375 };
const frameBudgetMs = 1000 / 70;

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];
const load = () => loadavg().map((l) => l.toFixed(2)).join(' ');

// Asks the page every 100 ms: the times measured here come from the page's own clock, so
// the asking need not be finer.
async function waitFor(page, test, timeoutMs, argument) {
  const deadline = Date.now() + timeoutMs;
  while (!(await page.evaluate(test, argument))) {
    if (Date.now() > deadline) throw new Error(`waited ${timeoutMs} ms for ${test}`);
    await sleep(100);
  }
}

// A page in a browser context of its own (no cache, no compiled code kept from an earlier
// load), on the phone's screen, with the link and the CPU held back.
async function phonePage(browser, slowdown) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(phoneScreen);
  const devtools = await page.createCDPSession();
  await devtools.send('Network.enable');
  await devtools.send('Network.setCacheDisabled', { cacheDisabled: true });
  await devtools.send('Network.emulateNetworkConditions', slowLink);
  await devtools.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
  });
  return { page, problems, close: () => context.close() };
}

// Milliseconds from navigation to the first frame on the canvas, and to the moment every
// sample had been handed to the browser and decoded (0 when they never were).
async function coldLoad(browser, url, slowdown) {
  const { page, problems, close } = await phonePage(browser, slowdown);
  try {
    await page.goto(url, { waitUntil: 'domcontentloaded', timeout: 60000 });
    await waitFor(page, () => window.crowdfire && window.crowdfire.firstFrameAt > 0, 60000);
    const firstFrame = await page.evaluate(() => window.crowdfire.firstFrameAt);
    // What the first frame waited for: each file's last byte, the module ready to run.
    const steps = await page.evaluate(() => {
      const ends = performance.getEntriesByType('resource').map((r) => [r.name.split('/').pop(), r.responseEnd]);
      const ready = performance.getEntriesByName('crowdfire-runtime-ready')[0];
      return ends.concat([['module ready', ready ? ready.startTime : 0]]);
    });
    await waitFor(page, () => Module.audioStatus && Module.audioStatus().decoded >= 17, 60000).catch(() => {});
    const soundsAt = await page.evaluate(() => (Module.audioStatus && Module.audioStatus().decoded >= 17 ? performance.now() : 0));
    if (problems.length) console.log(`    page problems: ${problems.join(' | ')}`);
    // The page registers its offline copy once it has its files; Chromium was seen to
    // fall over when a context closed while that copy was still being fetched.
    await waitFor(page, () => navigator.serviceWorker.controller !== null ||
      navigator.serviceWorker.getRegistration().then((r) => r !== undefined && r.active !== null), 60000);
    return { firstFrame, soundsAt, steps };
  } finally {
    await close();
  }
}

// Frames run per second over the rest period, and the gaps between pages shown.
async function atRest(browser, url, slowdown) {
  const { page, close } = await phonePage(browser, slowdown);
  try {
    await page.goto(url, { waitUntil: 'domcontentloaded', timeout: 60000 });
    // At rest: once the loading is over (the sounds arrive a second after the first frame
    // and their decoding holds the page up a few frames), and the game has run two seconds.
    await waitFor(page, () => window.crowdfire.firstFrameAt > 0 && Module.audioStatus().decoded >= 17, 120000);
    const loaded = await page.evaluate(() => Module._webFramesRun());
    await waitFor(page, (frames) => Module._webFramesRun() > frames + 140, 120000, loaded);
    await page.evaluate(() => {
      window.shownAt = [];
      const shown = Module.onPageShown;
      Module.onPageShown = function () {
        shown();
        window.shownAt.push(performance.now());
      };
    });
    const start = await page.evaluate(() => [Module._webFramesRun(), performance.now()]);
    await sleep(restSeconds * 1000);
    const end = await page.evaluate(() => [Module._webFramesRun(), performance.now()]);
    const shownAt = await page.evaluate(() => window.shownAt);
    const gaps = shownAt.slice(1).map((t, i) => t - shownAt[i]).sort((a, b) => a - b);
    return {
      rate: ((end[0] - start[0]) * 1000) / (end[1] - start[1]),
      p99: gaps[Math.floor(gaps.length * 0.99)],
      longest: gaps[gaps.length - 1],
      over20: gaps.filter((g) => g > 20).length,
      gaps: gaps.length,
    };
  } finally {
    await close();
  }
}

// The worst-case frame's mean in the tool module, on a CPU slowed as much.
async function worstCaseFrame(browser, url, slowdown) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.goto(url, { waitUntil: 'load' });
    await waitFor(page, () => window.toolsReady, 30000);
    const devtools = await page.createCDPSession();
    await devtools.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
    let best = Infinity;
    // The first round also pays for the engine's optimising compile; the best mean counts.
    for (let round = 0; round < 3; ++round) {
      const answer = await page.evaluate(() => Module.ccall('webFrameBench', 'string', ['number'], [1000]));
      best = Math.min(best, Number(/mean ([0-9.]+) us/.exec(answer)[1]));
    }
    return best;
  } finally {
    await context.close();
  }
}

console.log(`phone profile: ${phoneScreen.width} x ${phoneScreen.height} CSS px at ${phoneScreen.deviceScaleFactor}x, ` +
  `link ${(slowLink.downloadThroughput * 8 / 1e6).toFixed(2)} Mbit/s down, ${slowLink.latency} ms latency, ` +
  'no compression, cache disabled');
console.log(`machine: ${cpus().length} x ${cpus()[0].model}; load average at start ${load()}`);
printSiteSize(siteDir);

const site = await serveDirectory(siteDir);
const toolsSite = await serveDirectory(toolsSiteDir);
const chromium = await launchChromium();
const rows = [];
try {
  for (const slowdown of slowdowns) {
    const loads = [];
    for (let i = 0; i < coldLoads; ++i) loads.push(await coldLoad(chromium.browser, site.url, slowdown));
    const rest = await atRest(chromium.browser, site.url, slowdown);
    const frame = await worstCaseFrame(chromium.browser, toolsSite.url + 'tools.html', slowdown);
    const firsts = loads.map((l) => l.firstFrame);
    const sounds = loads.map((l) => l.soundsAt);
    rows.push({ slowdown, firsts, sounds, rest, frame, load: load() });
    console.log(`CPU slowed ${slowdown}x (load average ${load()}):`);
    console.log(`  first frame after navigation, cold: median ${median(firsts).toFixed(0)} ms ` +
      `(${firsts.map((t) => t.toFixed(0)).join(', ')}); every sample decoded at ` +
      `${sounds.map((t) => (t ? t.toFixed(0) : 'never')).join(', ')} ms`);
    const last = loads[loads.length - 1].steps.sort((a, b) => a[1] - b[1]);
    console.log(`  the last load: ${last.map(([name, at]) => `${name} ${at.toFixed(0)}`).join(', ')}, first frame ` +
      `${loads[loads.length - 1].firstFrame.toFixed(0)} ms`);
    console.log(`  at rest (from two seconds after every sample was decoded) over ${restSeconds} s: ` +
      `${rest.rate.toFixed(2)} frames per second; gaps between pages ` +
      `p99 ${rest.p99.toFixed(1)} ms, longest ${rest.longest.toFixed(1)} ms, ${rest.over20} of ${rest.gaps} over 20 ms`);
    console.log(`  worst-case frame in wasm: ${(frame / 1000).toFixed(2)} ms, ` +
      `${((frame / 1000 / frameBudgetMs) * 100).toFixed(0)}% of the ${frameBudgetMs.toFixed(1)} ms budget`);
  }
} finally {
  await chromium.close();
  await site.close();
  await toolsSite.close();
}

console.log('\n| CPU slowdown | first frame, cold (median) | frames per second at rest | longest gap | worst-case frame | load average |');
console.log('|---|---|---|---|---|---|');
for (const r of rows) {
  console.log(`| ${r.slowdown}x | ${median(r.firsts).toFixed(0)} ms | ${r.rest.rate.toFixed(2)} | ` +
    `${r.rest.longest.toFixed(1)} ms | ${(r.frame / 1000).toFixed(2)} ms | ${r.load} |`);
}
