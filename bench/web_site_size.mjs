// The served site's size: every file under the site's folder, raw and with gzip -9 (what a
// compressing host would send), largest first.
import { readFileSync, readdirSync } from 'node:fs';
import { join, relative } from 'node:path';
import { gzipSync } from 'node:zlib';

const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;

function filesUnder(dir) {
  return readdirSync(dir, { withFileTypes: true }).flatMap((entry) =>
    entry.isDirectory() ? filesUnder(join(dir, entry.name)) : [join(dir, entry.name)]);
}

export function siteSize(siteDir) {
  return filesUnder(siteDir).map((path) => {
    const bytes = readFileSync(path);
    return { name: relative(siteDir, path), raw: bytes.length, gzip: gzipSync(bytes, { level: 9 }).length };
  }).sort((a, b) => b.raw - a.raw);
}

export function printSiteSize(siteDir) {
  const files = siteSize(siteDir);
  console.log('the served site (raw, gzip -9):');
  for (const f of files) console.log(`  ${f.name.padEnd(24)} ${kb(f.raw).padStart(11)} ${kb(f.gzip).padStart(11)}`);
  const raw = files.reduce((sum, f) => sum + f.raw, 0);
  const gzip = files.reduce((sum, f) => sum + f.gzip, 0);
  console.log(`  ${'total'.padEnd(24)} ${kb(raw).padStart(11)} ${kb(gzip).padStart(11)}`);
  return { raw, gzip };
}
