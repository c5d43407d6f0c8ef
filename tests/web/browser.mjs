// The browsers the tests play the game in, all Debian's own and all headless:
//   chromium  driven by puppeteer-core over the DevTools protocol;
//   firefox   Firefox ESR, driven by puppeteer-core over WebDriver BiDi;
//   webkit    WebKitGTK's MiniBrowser under Xvfb, through WebKitWebDriver (webkit.mjs).
// launchBrowser() starts the one CROWDFIRE_BROWSER names (chromium unless it says
// otherwise). Each starts its own process group, recorded for scripts/test.sh
// (processes.mjs), and close() ends it.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

import { trackProcessGroup } from './processes.mjs';
import { launchWebKit } from './webkit.mjs';

export const engineName = process.env.CROWDFIRE_BROWSER || 'chromium';

export async function launchChromium() {
  const profile = mkdtempSync(join(tmpdir(), 'crowdfire-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run',
      `--user-data-dir=${profile}`,
      // A hidden or occluded headless window must not have its timers slowed.
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
    ],
  });
  trackProcessGroup(browser.process()?.pid);
  const close = async () => {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  };
  return { browser, close };
}

// puppeteer-core sizes every Firefox page with WebDriver BiDi's
// emulation.setScreenOrientationOverride, which Firefox first knows in 144; an older one
// fails each test with a protocol error instead. Debian 12's firefox-esr is 140 until
// bookworm-security's update.
const oldestFirefox = 144;

function checkFirefoxVersion(executable) {
  const said = execFileSync(executable, ['--version'], { encoding: 'utf8' }).trim();
  const major = Number(/(\d+)\./.exec(said)?.[1]);
  if (major < oldestFirefox) {
    throw new Error(`${said} is older than the tests need: Firefox ${oldestFirefox} or newer (on Debian 12, firefox-esr from bookworm-security)`);
  }
}

export async function launchFirefox() {
  const executablePath = process.env.FIREFOX || '/usr/bin/firefox-esr';
  checkFirefoxVersion(executablePath);
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath,
    headless: true,
    extraPrefsFirefox: {
      // No sound device here: Web Audio plays into Firefox's own stand-in output, where
      // without one it would stay suspended (the sound button then says so in words).
      'media.cubeb.force_mock_context': true,
      // As Chromium's flags above: a page in the background keeps its timers' pace.
      'dom.min_background_timeout_value': 4,
    },
  });
  trackProcessGroup(browser.process()?.pid);
  return { browser, close: () => browser.close() };
}

export function launchBrowser(name = engineName) {
  if (name === 'chromium') return launchChromium();
  if (name === 'firefox') return launchFirefox();
  if (name === 'webkit') return launchWebKit();
  throw new Error(`no browser called ${name} (chromium, firefox or webkit)`);
}
