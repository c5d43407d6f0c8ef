// What the test expects to see: the scene built from the same background bitmaps the
// game draws, and a few measures on canvas pixels (RGBA bytes, 320 x 240).
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

export const width = 320;
export const height = 240;

// A 24-bit bottom-up BMP as RGBA rows, top row first, with its width.
export function readBitmap(path) {
  const file = readFileSync(path);
  const offset = file.readUInt32LE(10);
  const w = file.readInt32LE(18);
  const h = file.readInt32LE(22);
  const rowBytes = Math.ceil((w * 3) / 4) * 4;
  const rgba = new Uint8Array(w * h * 4);
  for (let y = 0; y < h; ++y) {
    const row = offset + (h - 1 - y) * rowBytes;
    for (let x = 0; x < w; ++x) {
      const i = (y * w + x) * 4;
      rgba[i] = file[row + x * 3 + 2];
      rgba[i + 1] = file[row + x * 3 + 1];
      rgba[i + 2] = file[row + x * 3];
      rgba[i + 3] = 255;
    }
  }
  rgba.width = w;
  return rgba;
}

// The two backgrounds side by side: the world, 640 pixels wide.
export function loadWorld(runDir) {
  const halves = [readBitmap(join(runDir, 'BACKG11a24.BMP')), readBitmap(join(runDir, 'BACKG12a24.BMP'))];
  return (x, y) => halves[x < width ? 0 : 1].subarray(((y * width) + (x % width)) * 4, ((y * width) + (x % width)) * 4 + 4);
}

function same(a, i, b) {
  return a[i] === b[0] && a[i + 1] === b[1] && a[i + 2] === b[2];
}

// Share of sampled pixels that show the background at this scroll.
export function matchAtScroll(pixels, world, scroll, step = 3) {
  let hits = 0;
  let total = 0;
  for (let y = 0; y < height; y += step)
    for (let x = 0; x < width; x += step) {
      total++;
      if (same(pixels, (y * width + x) * 4, world(x + scroll, y))) hits++;
    }
  return hits / total;
}

// The scroll (0 to 320) whose background the canvas shows best, and how well.
export function bestScroll(pixels, world) {
  let best = { scroll: -1, share: -1 };
  for (let scroll = 0; scroll <= 320; scroll += 2) {
    const share = matchAtScroll(pixels, world, scroll, 5);
    if (share > best.share) best = { scroll, share };
  }
  return best;
}

// Pixels that differ from the background at this scroll, as a 0/1 mask.
export function differenceMask(pixels, world, scroll) {
  const mask = new Uint8Array(width * height);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x)
      mask[y * width + x] = same(pixels, (y * width + x) * 4, world(x + scroll, y)) ? 0 : 1;
  return mask;
}

// Boxes of the connected regions of a mask (4-neighbours).
export function regions(mask) {
  const seen = new Uint8Array(mask.length);
  const found = [];
  for (let start = 0; start < mask.length; ++start) {
    if (!mask[start] || seen[start]) continue;
    const box = { left: width, top: height, right: -1, bottom: -1, pixels: 0 };
    const stack = [start];
    seen[start] = 1;
    while (stack.length) {
      const i = stack.pop();
      const x = i % width;
      const y = (i - x) / width;
      box.left = Math.min(box.left, x);
      box.right = Math.max(box.right, x);
      box.top = Math.min(box.top, y);
      box.bottom = Math.max(box.bottom, y);
      box.pixels++;
      for (const [nx, ny] of [[x - 1, y], [x + 1, y], [x, y - 1], [x, y + 1]]) {
        if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
        const j = ny * width + nx;
        if (mask[j] && !seen[j]) {
          seen[j] = 1;
          stack.push(j);
        }
      }
    }
    found.push(box);
  }
  return found;
}

function countIn(pixels, box, test) {
  let count = 0;
  for (let y = Math.max(0, box.top); y <= Math.min(height - 1, box.bottom); ++y)
    for (let x = Math.max(0, box.left); x <= Math.min(width - 1, box.right); ++x) {
      const i = (y * width + x) * 4;
      if (test(pixels[i], pixels[i + 1], pixels[i + 2])) count++;
    }
  return count;
}

// Blood is strongly red: red well above both green and blue.
export const isBloodRed = (r, g, b) => r >= 90 && r > 2 * g && r > 2 * b;
export const bloodIn = (pixels, box) => countIn(pixels, box, isBloodRed);

export function meanBrightness(pixels, box) {
  let sum = 0;
  const count = countIn(pixels, box, (r, g, b) => {
    sum += r + g + b;
    return true;
  });
  return sum / (3 * count);
}

// The background alone over a box, as canvas pixels, for comparisons.
export function backgroundPixels(world, scroll) {
  const pixels = new Uint8Array(width * height * 4);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x) pixels.set(world(x + scroll, y), (y * width + x) * 4);
  return pixels;
}

// The lone walking people on the canvas, away from the crosshair and well inside the
// screen: more than `margin` pixels from either side, below the sky, above the bottom.
export function lonePeople(pixels, world, scroll, crosshair, margin = 20) {
  return regions(differenceMask(pixels, world, scroll)).filter((r) => {
    const w = r.right - r.left + 1;
    const h = r.bottom - r.top + 1;
    const nearCrosshair = Math.abs(r.left + w / 2 - crosshair.x) < 30 && Math.abs(r.top + h / 2 - crosshair.y) < 30;
    return w >= 6 && w <= 16 && h >= 10 && h <= 14 && r.pixels >= 40 && !nearCrosshair &&
      r.left > margin && r.right < width - margin && r.top > 40 && r.bottom < 230;
  });
}

// A lone walking person well inside the screen, away from the crosshair: the one nearest
// the middle of the screen across.
export function findLonePerson(pixels, world, scroll, crosshair) {
  const people = lonePeople(pixels, world, scroll, crosshair);
  people.sort((a, b) => Math.abs(a.left - 160) - Math.abs(b.left - 160));
  return people[0];
}
