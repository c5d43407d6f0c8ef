// Helpers for any page of the game, whatever plays it (mouse, pad or touch): its canvas
// read back, where a page pixel lies on the screen, the game's frames waited for, what
// went wrong on the page gathered, and blasts watched for. Shared by the browser tests,
// the screenshot scripts and bench/web_phone_layout.mjs.
import assert from 'node:assert/strict';

import * as scene from './scene.mjs';

export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// The canvas as RGBA bytes, 320 x 240 (what scene.mjs measures).
export async function canvasPixels(page) {
  const text = await page.evaluate(() => {
    const data = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;
    let binary = '';
    for (let i = 0; i < data.length; i += 8192) binary += String.fromCharCode.apply(null, data.subarray(i, i + 8192));
    return btoa(binary);
  });
  return new Uint8Array(Buffer.from(text, 'base64'));
}

export function pictureBox(page) {
  return page.$eval('#screen', (canvas) => canvas.getBoundingClientRect().toJSON());
}

// Where the middle of page pixel (x, y) lies on the screen, in CSS pixels.
export async function screenPoint(page, x, y) {
  const box = await pictureBox(page);
  return { x: box.left + ((x + 0.5) * box.width) / 320, y: box.top + ((y + 0.5) * box.height) / 240 };
}

export const framesRun = (page) => page.evaluate(() => Module._webFramesRun());

// Waits for the game to run count more frames. The game's own times (the 20-frame cooldown
// after a shot, a bomb's fall) are counted in frames, and a loaded machine runs fewer of
// them in a second.
export async function waitFrames(page, count) {
  const until = (await framesRun(page)) + count;
  await page.waitForFunction((n) => Module._webFramesRun() >= n, { timeout: 1000 + count * 100 }, until);
}

// Adds to `problems` every console error, page error and failed request of the page from
// now on, and with httpErrors every answer of status 400 or more.
export function recordProblems(page, problems, { httpErrors = false } = {}) {
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  if (httpErrors) {
    page.on('response', (response) => {
      if (response.status() >= 400) problems.push(`HTTP ${response.status()}: ${response.url()}`);
    });
  }
}

// Counts, on every page the game shows from now on, the fiery pixels (a blast's: bright
// red, more red than green, little blue) in the box `area` of the canvas. The function it
// returns stops the counting and gives the counts, one a page, oldest first.
export async function watchFieryPixels(page, area) {
  await page.evaluate((a) => {
    window.fieryCounts = [];
    window.watchingFiery = true;
    const shown = Module.onPageShown;
    Module.onPageShown = function () {
      shown();
      if (!window.watchingFiery) return;
      const data = document.getElementById('screen').getContext('2d')
        .getImageData(a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1).data;
      let fiery = 0;
      for (let i = 0; i < data.length; i += 4) if (data[i] >= 200 && data[i + 2] < 160 && data[i] > data[i + 1]) fiery++;
      window.fieryCounts.push(fiery);
    };
  }, area);
  return () => page.evaluate(() => {
    window.watchingFiery = false;
    return window.fieryCounts;
  });
}

// The box around `target` that a bomb dropped there fills with its blast.
export const blastArea = (target) => ({ left: target.x - 14, right: target.x + 14, top: target.y - 16, bottom: target.y + 12 });

// A blast among the counts of watchFieryPixels: at least 25 fiery pixels more than the
// quietest of the first five pages, before the bomb came down.
export function assertBlastSeen(counts, where) {
  const quiet = Math.min(...counts.slice(0, 5));
  assert.ok(Math.max(...counts) >= quiet + 25, `no blast seen around ${where} (fiery pixels ${quiet} .. ${Math.max(...counts)})`);
}

// The scorch mark a bomb leaves at `target`: the ground there a fifth darker, at least,
// than the same ground in the background picture.
export async function assertScorched(page, world, target) {
  const scorch = { left: target.x - 5, right: target.x + 7, top: target.y - 2, bottom: target.y + 3 };
  const now = scene.meanBrightness(await canvasPixels(page), scorch);
  const ground = scene.meanBrightness(scene.backgroundPixels(world, 0), scorch);
  assert.ok(now < ground * 0.8, `no scorch mark: brightness ${now.toFixed(0)} against ${ground.toFixed(0)}`);
}
