// Debian's WebKitGTK (its MiniBrowser under a private Xvfb, driven through WebKitWebDriver
// over plain HTTP) behind the part of puppeteer's Page the engine-wide tests use, so one
// test file plays Chromium, Firefox and WebKit alike.
//
// Where WebKit's driver falls short, other input stands in for it, said here once:
//   - the mouse is real X input (xdotool on the Xvfb): the driver's right-button release
//     arrives as button 0 with button 2 still held, so a bomb would keep falling;
//   - WebKitGTK has no touch input (its driver turns touch actions into mouse events), so
//     fingers are pointer events of type touch dispatched in the page (fingers.mjs);
//   - the console is not readable over the driver (nor printed by a MiniBrowser it runs):
//     the page's console errors and uncaught errors are gathered in the page from its
//     first evaluate() after loading, and handed to page.on('console') and
//     page.on('pageerror') with each evaluate's answer. What a page says before that, in
//     WebKit, goes unheard.
import { execFileSync, spawn } from 'node:child_process';
import { createServer } from 'node:net';

import { trackProcessGroup } from './processes.mjs';

const miniBrowser = process.env.MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
// WebDriver's codes for the keys the tests press.
const keyCodes = { ArrowLeft: '\uE012', ArrowRight: '\uE014', Escape: '\uE00C', Enter: '\uE007', KeyF: 'f' };

function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer();
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
    server.on('error', reject);
  });
}

// A process of its own group, so that closing (or scripts/test.sh after a hang) ends it
// and everything it started.
function startGroup(command, args, env) {
  const child = spawn(command, args, { detached: true, env: { ...process.env, ...env }, stdio: ['ignore', 'pipe', 'pipe'] });
  trackProcessGroup(child.pid);
  return child;
}

function killGroup(child) {
  try {
    process.kill(-child.pid, 'SIGKILL');
  } catch {
    // already gone
  }
}

async function startXvfb() {
  const xvfb = startGroup('Xvfb', ['-displayfd', '1', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp']);
  const display = await new Promise((resolve, reject) => {
    let text = '';
    xvfb.stdout.on('data', (data) => {
      text += data;
      if (text.includes('\n')) resolve(':' + text.trim());
    });
    xvfb.on('exit', () => reject(new Error('Xvfb did not start')));
  });
  return { xvfb, display };
}

// Run in the page: from now on its console errors and uncaught errors are kept for us.
function hearProblems() {
  if (window.crowdfireHeard) return;
  const heard = window.crowdfireHeard = [];
  const error = console.error;
  console.error = function (...args) {
    heard.push(['console', args.map(String).join(' ')]);
    return error.apply(console, args);
  };
  addEventListener('error', (event) => heard.push(['pageerror', event.message]));
  addEventListener('unhandledrejection', (event) => heard.push(['pageerror', String(event.reason)]));
}

export async function launchWebKit() {
  const { xvfb, display } = await startXvfb();
  const port = await freePort();
  const driver = startGroup('WebKitWebDriver', [`--port=${port}`], { DISPLAY: display });
  driver.stdout.resume();
  driver.stderr.resume();

  const base = `http://127.0.0.1:${port}`;
  async function command(method, path, body, timeoutMs = 60000) {
    const response = await fetch(base + path, {
      method,
      headers: { 'content-type': 'application/json' },
      body: body ? JSON.stringify(body) : undefined,
      signal: AbortSignal.timeout(timeoutMs),
    });
    const answer = await response.json();
    if (!response.ok) throw new Error(`WebKitWebDriver ${method} ${path}: ${answer.value.error}: ${answer.value.message}`);
    return answer.value;
  }
  for (let tries = 0; ; ++tries) {
    try {
      await command('GET', '/status');
      break;
    } catch (error) {
      if (tries > 50) throw error;
      await sleep(100);
    }
  }
  const session = await command('POST', '/session', {
    capabilities: {
      alwaysMatch: {
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': {
          binary: miniBrowser,
          args: ['--automation', '--autoplay-policy=allow'],
        },
      },
    },
  });
  const at = `/session/${session.sessionId}`;
  const version = session.capabilities.browserVersion;
  const xdotool = (...args) => execFileSync('xdotool', args.map(String), { env: { ...process.env, DISPLAY: display } });

  // One window at a time receives commands; each page switches to its own first. Every
  // page gets a window of its own: closing the session's last window would end the session.
  let current = (await command('GET', `${at}/window`));
  async function use(handle) {
    if (current === handle) return;
    await command('POST', `${at}/window`, { handle });
    current = handle;
  }

  async function newPage() {
    const { handle } = await command('POST', `${at}/window/new`, { type: 'window' });
    const page = makePage(handle);
    pages.push(page);
    return page;
  }
  const pages = [];

  function makePage(handle) {
    const listeners = { console: [], pageerror: [] };
    const send = async (method, path, body, timeoutMs) => {
      await use(handle);
      return command(method, at + path, body, timeoutMs);
    };
    // Runs fn(...args) in the page, its promise awaited; an exception comes back as one.
    async function evaluate(fn, ...args) {
      const source = typeof fn === 'function' ? fn.toString() : `() => (${fn})`;
      const script = `const done = arguments[arguments.length - 1];
        (${hearProblems})();
        const heard = () => window.crowdfireHeard.splice(0);
        Promise.resolve().then(() => (${source})(...${JSON.stringify(args)}))
          .then((value) => done({ value: value === undefined ? null : value, heard: heard() }),
            (error) => done({ error: String(error && error.stack || error), heard: heard() }));`;
      const answer = await send('POST', '/execute/async', { script, args: [] });
      for (const [kind, text] of answer.heard || []) {
        if (kind === 'console') for (const listener of listeners.console) listener({ type: () => 'error', text: () => text });
        else for (const listener of listeners.pageerror) listener(new Error(text));
      }
      if (answer.error) throw new Error(`in WebKit's page: ${answer.error}`);
      return answer.value;
    }
    // Where the page's viewport lies on the X screen: a real pointer moved there is read
    // back by the page (whatever bars the MiniBrowser window shows above the page).
    let origin = null;
    async function viewportOrigin() {
      if (origin) return origin;
      await evaluate(() => {
        window.crowdfireSeenPointer = null;
        addEventListener('mousemove', (e) => { window.crowdfireSeenPointer = [e.screenX - e.clientX, e.screenY - e.clientY]; }, { once: true });
      });
      xdotool('mousemove', 600, 500);
      xdotool('mousemove', 601, 501);
      for (let tries = 0; tries < 50 && !origin; ++tries) {
        const seen = await evaluate(() => window.crowdfireSeenPointer);
        if (seen) origin = { x: seen[0], y: seen[1] };
        else await sleep(20);
      }
      if (!origin) throw new Error('WebKit saw no pointer from the X server');
      return origin;
    }
    const moveTo = async (x, y) => {
      const o = await viewportOrigin();
      xdotool('mousemove', Math.round(o.x + x), Math.round(o.y + y));
    };
    const xButton = { left: 1, middle: 2, right: 3 };
    const keyAction = async (type, key) => {
      if (!keyCodes[key]) throw new Error(`no WebDriver code for the key ${key}`);
      await send('POST', '/actions', { actions: [{ type: 'key', id: 'keys', actions: [{ type, value: keyCodes[key] }] }] });
    };
    const page = {
      engine: 'webkit',
      handle,
      async goto(url) {
        origin = null;
        await send('POST', '/url', { url });
      },
      async reload() {
        origin = null;
        await send('POST', '/refresh', {});
      },
      url: () => send('GET', '/url'),
      evaluate,
      async waitForFunction(fn, { timeout = 30000 } = {}, ...args) {
        const deadline = Date.now() + timeout;
        for (;;) {
          if (await evaluate(fn, ...args)) return;
          if (Date.now() > deadline) throw new Error(`WebKit: not true within ${timeout} ms: ${fn}`);
          await sleep(50);
        }
      },
      $eval(selector, fn) {
        return evaluate(new Function('selector', `return (${fn.toString()})(document.querySelector(selector));`), selector);
      },
      async click(selector) {
        const box = await page.$eval(selector, (e) => e.getBoundingClientRect().toJSON());
        await page.mouse.click(box.left + box.width / 2, box.top + box.height / 2);
      },
      async setViewport({ width, height }) {
        // The window is the viewport and the MiniBrowser's bars above it.
        const inner = await evaluate(() => [outerWidth - innerWidth, outerHeight - innerHeight]);
        await send('POST', '/window/rect', { x: 0, y: 0, width: width + inner[0], height: height + inner[1] });
        origin = null;
      },
      mouse: {
        move: moveTo,
        async click(x, y, { button = 'left' } = {}) {
          await moveTo(x, y);
          xdotool('click', xButton[button]);
        },
      },
      keyboard: {
        down: (key) => keyAction('keyDown', key),
        up: (key) => keyAction('keyUp', key),
        async press(key) {
          await keyAction('keyDown', key);
          await keyAction('keyUp', key);
        },
      },
      // Only console errors and page errors are heard: WebKit's driver says nothing of
      // requests, so 'requestfailed' and 'response' listeners are never called.
      on(event, listener) {
        if (listeners[event]) listeners[event].push(listener);
      },
      async close() {
        pages.splice(pages.indexOf(page), 1);
        await send('DELETE', '/window');
        const left = await command('GET', `${at}/window/handles`);
        current = left[0];
        if (current) await command('POST', `${at}/window`, { handle: current });
      },
    };
    return page;
  }

  let closed = false;
  async function close() {
    if (closed) return;
    closed = true;
    try {
      await command('DELETE', at, undefined, 5000);
    } catch {
      // a crashed or hung browser goes with its driver's group below
    }
    killGroup(driver);
    killGroup(xvfb);
  }
  return { browser: { newPage, version: async () => `WebKitGTK ${version}` }, close };
}
