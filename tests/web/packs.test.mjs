// How the browser version gets its module, pictures and sounds, and what it draws them
// with: the packs unpack to the desktop's very files, the WebAssembly SIMD drawing gives
// the scalar form's pixels, and the game plays on, silent, without its sounds' pack.
// (game.test.mjs holds the scenario hashes and the decoding of every sample.)
//
// Paths (defaults for scripts/test.sh): CROWDFIRE_SITE (build-web/site), CROWDFIRE_TOOLS_SITE
// (build-web/tools-site), CROWDFIRE_RUN_DIR (the native run directory, build-web/host/run).
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { copyFileSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromium } from './browser.mjs';
import { after, before, test } from './limits.mjs';
import { serveDirectory } from './serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const siteDir = process.env.CROWDFIRE_SITE || join(root, 'build-web/site');
const toolsSiteDir = process.env.CROWDFIRE_TOOLS_SITE || join(root, 'build-web/tools-site');
const runDir = process.env.CROWDFIRE_RUN_DIR || join(root, 'build-web/host/run');

let chromium;
before(async () => {
  chromium = await launchChromium();
});
after(async () => {
  if (chromium) await chromium.close();
});

// The site served from a copy that lacks one file.
async function siteWithout(missing) {
  const copy = mkdtempSync(join(tmpdir(), 'crowdfire-site-'));
  for (const name of readdirSync(siteDir)) if (name !== missing) copyFileSync(join(siteDir, name), join(copy, name));
  const served = await serveDirectory(copy);
  return { url: served.url, close: async () => { await served.close(); rmSync(copy, { recursive: true, force: true }); } };
}

async function openGame(url) {
  const page = await chromium.browser.newPage();
  const messages = [];
  page.on('console', (message) => messages.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', (error) => messages.push(`page error: ${error.message}`));
  await page.goto(url, { waitUntil: 'load' });
  return { page, messages };
}

test('the game reads the desktop\'s pictures and sounds, byte for byte', async () => {
  const site = await serveDirectory(siteDir);
  const { page } = await openGame(site.url);
  try {
    await page.waitForFunction(() => window.crowdfire.firstFrameAt > 0 && Module.audioStatus().decoded >= 17, { timeout: 10000 });
    const desktop = readdirSync(runDir).filter((name) => name.endsWith('.BMP'))
      .concat(readdirSync(join(runDir, 'Sound')).map((name) => `Sound/${name}`));
    assert.equal(desktop.length, 7 + 17);
    for (const name of desktop) {
      const inBrowser = await page.evaluate(async (path) => {
        const digest = await crypto.subtle.digest('SHA-256', Module.FS.readFile('/' + path));
        return Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, '0')).join('');
      }, name);
      const onDesktop = createHash('sha256').update(readFileSync(join(runDir, name))).digest('hex');
      assert.equal(inBrowser, onDesktop, `${name} differs from the desktop's`);
    }
  } finally {
    await page.close();
    await site.close();
  }
});

test('WebAssembly SIMD draws the scalar form\'s pixels and canvas bytes', async () => {
  const tools = await serveDirectory(toolsSiteDir);
  const page = await chromium.browser.newPage();
  try {
    await page.goto(tools.url + 'tools.html', { waitUntil: 'load' });
    await page.waitForFunction(() => window.toolsReady, { timeout: 10000 });
    const answer = await page.evaluate(() => Module.ccall('webDrawingFormsAgree', 'string', [], []));
    assert.match(answer, /^SSE2 and scalar agree in \d+ cases$/);
  } finally {
    await page.close();
    await tools.close();
  }
});

// A missing module or pictures pack is named on the page (phone.test.mjs); the sounds are
// not needed to play.
test('missing sounds leave the game playing silently', async () => {
  const noSounds = await siteWithout('crowdfire-sounds.pack');
  const silent = await openGame(noSounds.url);
  try {
    await silent.page.waitForFunction(() => Module.packStatus.failed['crowdfire-sounds.pack'], { timeout: 10000 });
    await silent.page.waitForFunction(() => Module._webFramesRun() > 70, { timeout: 10000 });
    const audio = await silent.page.evaluate(() => Module.audioStatus());
    assert.equal(audio.opened, false);
    assert.equal(audio.decoded, 0);
    assert.ok(silent.messages.some((m) => /sounds could not be loaded/.test(m)), silent.messages.join('\n'));
  } finally {
    await silent.page.close();
    await noSounds.close();
  }
});
