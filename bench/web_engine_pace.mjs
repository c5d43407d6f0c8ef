// The game at rest in one browser engine: frames a second and the longest gap between two
// pictures on the canvas, over SECONDS after the first two. The engine is the one
// CROWDFIRE_BROWSER names (chromium, firefox or webkit; tests/web/browser.mjs).
//   node bench/web_engine_pace.mjs [SECONDS] [--plain-canvas]
// --plain-canvas (Chromium and Firefox only) makes the page's canvas context without
// willReadFrequently, to weigh what that option costs or saves.
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { engineName, launchBrowser } from '../tests/web/browser.mjs';
import { serveDirectory } from '../tests/web/serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const seconds = Number(process.argv.find((a) => /^\d+$/.test(a)) || 10);
const plainCanvas = process.argv.includes('--plain-canvas');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

const site = await serveDirectory(siteDir);
const browser = await launchBrowser();
try {
  const page = await browser.browser.newPage();
  if (plainCanvas) {
    await page.evaluateOnNewDocument(() => {
      const make = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, options) {
        return make.call(this, kind, options && { ...options, willReadFrequently: false });
      };
    });
  }
  await page.setViewport({ width: 1000, height: 800 });
  await page.goto(site.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire && window.crowdfire.firstFrameAt > 0, { timeout: 15000 });
  await sleep(2000);
  await page.evaluate(() => {
    const shown = window.crowdfireShown = [];
    const before = Module.onPageShown;
    Module.onPageShown = function () {
      shown.push(performance.now());
      if (before) before();
    };
  });
  const startFrames = await page.evaluate(() => Module._webFramesRun());
  await sleep(seconds * 1000);
  const [frames, gaps] = await page.evaluate(() => {
    const t = window.crowdfireShown;
    const gaps = t.slice(1).map((v, i) => v - t[i]).sort((a, b) => a - b);
    return [Module._webFramesRun(), gaps];
  });
  const p95 = gaps[Math.floor(gaps.length * 0.95)] || 0;
  console.log(`${engineName}${plainCanvas ? ' (plain canvas)' : ''}: ${((frames - startFrames) / seconds).toFixed(2)} frames a second, ` +
    `gaps between pictures: 95th percentile ${p95.toFixed(1)} ms, worst ${(gaps[gaps.length - 1] || 0).toFixed(1)} ms`);
} finally {
  await browser.close();
  await site.close();
}
