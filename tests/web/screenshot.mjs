// Plays a few seconds of the browser version in headless Chromium and saves the page as
// docs/web.png: node screenshot.mjs [OUTPUT.png]
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from './browser.mjs';
import { serveDirectory } from './serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const output = process.argv[2] || join(root, 'docs/web.png');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

const site = await serveDirectory(process.env.CROWDFIRE_SITE || join(root, 'build-web/site'));
const chromium = await launchChromium();
try {
  const page = await chromium.browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  await page.goto(site.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0);
  const box = await page.$eval('#screen', (c) => c.getBoundingClientRect().toJSON());
  const at = (x, y) => [box.left + ((x + 0.5) * box.width) / 320, box.top + ((y + 0.5) * box.height) / 240];
  await page.keyboard.down('ArrowLeft');
  await sleep(1600);
  await page.keyboard.up('ArrowLeft');
  await sleep(6000);  // the crowd walks in
  for (const [x, y, button] of [[60, 120, 'left'], [90, 160, 'right'], [120, 90, 'left'], [150, 200, 'left']]) {
    await page.mouse.click(...at(x, y), { button });
    await sleep(700);
  }
  await page.mouse.move(...at(200, 130));
  await sleep(300);
  await page.screenshot({ path: output });
  console.log(`wrote ${output}`);
} finally {
  await chromium.close();
  await site.close();
}
