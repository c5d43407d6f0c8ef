// Where a frame's time goes on the page's main thread with the CPU slowed: a Chromium trace
// of the game at rest, its main-thread work summed by kind and divided by the frames run.
//   node bench/web_frame_profile.mjs [SLOWDOWN] [SECONDS]   (defaults 6x, 5 s)
import { readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from '../tests/web/browser.mjs';
import { serveDirectory } from '../tests/web/serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const slowdown = Number(process.argv[2] || 6);
const seconds = Number(process.argv[3] || 5);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

const site = await serveDirectory(siteDir);
const chromium = await launchChromium();
const tracePath = join(tmpdir(), `crowdfire-trace-${process.pid}.json`);
try {
  const page = await chromium.browser.newPage();
  await page.setViewport({ width: 823, height: 412, deviceScaleFactor: 1.75, isMobile: true, hasTouch: true, isLandscape: true });
  const devtools = await page.createCDPSession();
  await devtools.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
  await page.goto(site.url, { waitUntil: 'load' });
  while (!(await page.evaluate(() => window.crowdfire.firstFrameAt > 0 && Module._webFramesRun() > 140))) await sleep(100);
  await page.tracing.start({ path: tracePath, categories: ['toplevel', 'devtools.timeline', 'blink', 'cc', 'v8', 'disabled-by-default-devtools.timeline'] });
  const before = await page.evaluate(() => Module._webFramesRun());
  await sleep(seconds * 1000);
  const after = await page.evaluate(() => Module._webFramesRun());
  await page.tracing.stop();
  const frames = after - before;
  const events = JSON.parse(readFileSync(tracePath, 'utf8')).traceEvents;
  const mainThread = events.find((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain');
  const threads = new Map(events.filter((e) => e.name === 'thread_name').map((e) => [`${e.pid}:${e.tid}`, e.args.name]));
  // Complete events ('X') per thread and name, inclusive: wall time, and the thread's own
  // CPU time (which neither the slowing nor other processes on the machine stretch).
  const sums = new Map();
  for (const e of events) {
    if (e.ph !== 'X' || !e.dur) continue;
    const thread = threads.get(`${e.pid}:${e.tid}`) || '?';
    const key = `${thread} | ${e.name}`;
    const sum = sums.get(key) || { wall: 0, cpu: 0 };
    sum.wall += e.dur;
    sum.cpu += e.tdur || 0;
    sums.set(key, sum);
  }
  console.log(`CPU slowed ${slowdown}x: ${frames} frames in ${seconds} s (${(frames / seconds).toFixed(1)} per second); main thread ${mainThread ? 'found' : 'not found'}`);
  console.log('inclusive time per game frame, by thread and event (us): wall, thread CPU');
  [...sums.entries()].sort((a, b) => b[1].wall - a[1].wall).slice(0, 45)
    .forEach(([key, t]) => console.log(`  ${(t.wall / frames).toFixed(0).padStart(7)} ${(t.cpu / frames).toFixed(0).padStart(7)}  ${key}`));
} finally {
  rmSync(tracePath, { force: true });
  await chromium.close();
  await site.close();
}
