// The browser version's numbers, in headless Chromium: the site's size (raw and gzip), the
// time from the start of loading the page to the first game frame on the canvas (from the
// network, and from the offline copy), the frame rate at rest, and the worst-case frame
// compiled to wasm against the native frame_bench.
//   node bench/web_bench.mjs [SECONDS_AT_REST]     (after scripts/build-web.sh and npm ci
//   in tests/web; CROWDFIRE_SITE overrides build-web/site, CROWDFIRE_TOOLS_SITE the tool
//   module's build-web/tools-site)
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from '../tests/web/browser.mjs';
import { serveDirectory } from '../tests/web/serve.mjs';
import { printSiteSize } from './web_site_size.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const toolsSiteDir = process.env.CROWDFIRE_TOOLS_SITE || join(root, 'build-web/tools-site');
const restSeconds = Number(process.argv[2] || 20);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];

printSiteSize(siteDir);

const site = await serveDirectory(siteDir);
const toolsSite = await serveDirectory(toolsSiteDir);
const chromium = await launchChromium();
try {
  // The first load starts a cold browser; the others come from the loopback server too,
  // which sends no-store, each in a browser context of its own, so that neither the HTTP
  // cache nor an offline copy kept by the page's service worker serves anything. Then one
  // more load in the last context: a player's second visit, from the offline copy.
  const firsts = [];
  let context = null;
  let page = null;
  const firstFrame = async () => {
    await page.goto(site.url, { waitUntil: 'load' });
    await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0, { timeout: 30000 });
    const at = await page.evaluate(() => window.crowdfire.firstFrameAt);
    await page.evaluate(() => navigator.serviceWorker.ready);
    return at;
  };
  for (let i = 0; i < 6; ++i) {
    if (context) await context.close();
    context = await chromium.browser.createBrowserContext();
    page = await context.newPage();
    await page.setViewport({ width: 1000, height: 800 });
    firsts.push(await firstFrame());
  }
  console.log(`page load to first frame: cold ${firsts[0].toFixed(0)} ms, warm median ` +
    `${median(firsts.slice(1)).toFixed(0)} ms (${firsts.slice(1).map((t) => t.toFixed(0)).join(', ')})`);
  const offline = [];
  for (let i = 0; i < 3; ++i) offline.push(await firstFrame());
  await context.close();
  console.log(`page load to first frame from the offline copy: median ${median(offline).toFixed(0)} ms ` +
    `(${offline.map((t) => t.toFixed(0)).join(', ')})`);

  page = await chromium.browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  await page.goto(site.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0 && Module._webFramesRun() > 70, { timeout: 30000 });
  const start = await page.evaluate(() => [Module._webFramesRun(), performance.now()]);
  await sleep(restSeconds * 1000);
  const end = await page.evaluate(() => [Module._webFramesRun(), performance.now()]);
  const rate = ((end[0] - start[0]) * 1000) / (end[1] - start[1]);
  const within = Math.abs(rate - 70) / 70 <= 0.02;
  console.log(`frame rate at rest over ${restSeconds} s: ${rate.toFixed(2)} per second ` +
    `(${within ? 'within' : 'NOT within'} 2% of 70)`);
  await page.close();

  const tools = await chromium.browser.newPage();
  await tools.goto(toolsSite.url + 'tools.html', { waitUntil: 'load' });
  await tools.waitForFunction(() => window.toolsReady, { timeout: 30000 });
  // Three rounds: the first also pays for the engine's optimising compile of the module.
  for (let round = 1; round <= 3; ++round) {
    const bench = await tools.evaluate(() => Module.ccall('webFrameBench', 'string', ['number'], [2000]));
    console.log(`worst-case frame in Chromium (wasm), round ${round}: ${bench.trim()}`);
  }
} finally {
  await chromium.close();
  await site.close();
  await toolsSite.close();
}
