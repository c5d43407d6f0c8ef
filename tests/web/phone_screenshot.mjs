// Plays a few seconds of the browser version on a phone in headless Chromium, by touch, and
// saves the page held sideways and upright: node phone_screenshot.mjs [LANDSCAPE.png PORTRAIT.png]
// (docs/phone-landscape.png and docs/phone-portrait.png by default).
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from './browser.mjs';
import { screenPoint, sleep } from './page_helpers.mjs';
import * as phone from './phone.mjs';
import { serveDirectory } from './serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const landscapeFile = process.argv[2] || join(root, 'docs/phone-landscape.png');
const portraitFile = process.argv[3] || join(root, 'docs/phone-portrait.png');

const site = await serveDirectory(process.env.CROWDFIRE_SITE || join(root, 'build-web/site'));
const chromium = await launchChromium();
try {
  const { page, session } = await phone.openPhonePage(chromium.browser, phone.landscape);
  await page.goto(site.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0);
  const middleOf = async (selector) => {
    const box = await (await page.$(selector)).boundingBox();
    return [box.x + box.width / 2, box.y + box.height / 2];
  };
  const at = async (x, y) => {
    const p = await screenPoint(page, x, y);
    return [p.x, p.y];
  };
  await phone.tap(session, ...(await middleOf('#scroll-left')), 1600);
  await sleep(6000);  // the crowd walks in
  for (const [x, y, bomb] of [[60, 120], [90, 160, true], [120, 90], [150, 200]]) {
    if (bomb) await phone.tap(session, ...(await middleOf('#bomb')));
    await phone.tap(session, ...(await at(x, y)));
    await sleep(700);
  }
  await sleep(300);
  await page.screenshot({ path: landscapeFile });
  await phone.turnPhone(page, phone.portrait);
  await sleep(300);
  await page.screenshot({ path: portraitFile });
  console.log(`wrote ${landscapeFile} and ${portraitFile}`);
} finally {
  await chromium.close();
  await site.close();
}
