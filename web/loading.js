// Says in words when the game cannot load, instead of "Loading…" for ever: a browser
// without WebAssembly (or without what packs.js needs of it), or any of the game's files
// (the page's scripts, the packs of the module and the pictures, whatever else it fetches)
// that fails to arrive. The files are named: those the
// failure's own words name, and those that answer a check with an error. A load still
// unfinished after 10 s is said too; every message offers to try again.
'use strict';

(function () {
  // page.js makes these; without them page.js itself did not load, which is said below.
  const status = window.crowdfire || (window.crowdfire = {});
  const message = document.getElementById('message');
  const failure = document.getElementById('failure');
  const failureText = document.getElementById('failure-text');
  const slowMs = 10000;
  const gameFiles = new Set();  // file names the page and the module load
  const heard = [];             // what the module and the browser said on the way
  let failed = false;

  window.crowdfireLoading = true;  // for index.html's last resort
  status.loadFailure = '';
  // Loaded: the first frame shown, or a link's replay refused in words before any game.
  const loaded = () => status.firstFrameAt > 0 || (status.ready && status.ended);

  const fileName = (url) => decodeURIComponent(new URL(url, location.href).pathname.split('/').pop());
  // The page's own scripts and style, read again at each look: the scripts after this one
  // are not yet parsed when it runs; and the packs index.html asks for first.
  function pageFiles() {
    // (The module's own script, unpacked from its pack, runs from a blob: no file of the site.)
    document.querySelectorAll('script[src], link[rel="stylesheet"]').forEach((element) => {
      const url = element.src || element.href;
      if (!url.startsWith('blob:')) gameFiles.add(fileName(url));
    });
    (window.crowdfireFirstFiles || []).forEach((name) => gameFiles.add(name));
    return gameFiles;
  }

  // Shows the words with Try again; a failure (not a slow load, nor a game that stopped
  // after it had loaded) is also recorded, for the offline copy and the tests.
  function say(text, isLoadFailure = true) {
    message.hidden = true;
    failureText.textContent = text;
    failure.hidden = false;
    if (!isLoadFailure) return;
    status.loadFailure = text;
    status.loadFailureAt = performance.now();
  }

  // A check of every file the game loads: those that answer with an error, or not at all
  // (no network, and no offline copy of that file), by name with what they answered.
  async function unreachableFiles() {
    const checks = [...pageFiles()].map(async (name) => {
      try {
        const response = await fetch(name, { method: 'HEAD', cache: 'no-store' });
        return response.ok ? null : [name, `${response.status} ${response.statusText}`.trim()];
      } catch (e) {
        return [name, 'no answer'];
      }
    });
    return (await Promise.all(checks)).filter(Boolean);
  }

  async function fail(cause) {
    if (failed || loaded()) return;
    failed = true;
    if (cause) heard.push(String(cause));
    const named = new Map([...pageFiles()].filter((name) => heard.some((words) => words.includes(name)))
      .map((name) => [name, '']));
    for (const [name, answer] of await unreachableFiles()) named.set(name, answer);
    const list = [...named].map(([name, answer]) => (answer ? `${name} (${answer})` : name)).join(', ');
    say(list ? `The game could not be loaded: ${list} failed to load. Check the connection and try again.`
      : `The game could not start: ${heard[heard.length - 1] || 'unknown error'}.`);
  }

  document.getElementById('try-again').addEventListener('click', () => location.reload());

  // For packs.js: a pack that failed (the words name it), or a browser that lacks what the
  // game needs.
  status.loadFailed = (cause) => fail(cause);
  status.cannotRun = (text) => {
    if (failed) return;
    failed = true;
    say(text);
  };

  if (typeof WebAssembly !== 'object') {
    failed = true;
    say('This browser cannot run WebAssembly, which the game needs: try a current browser, or turn on ' +
      'WebAssembly if it has been turned off.');
    return;
  }

  if (!window.Module) {
    fail('');
    return;
  }

  // Every file the module fetches passes through locateFile: that is the list to check.
  const locate = Module.locateFile;
  // A packed module compiles its wasm from the pack (packs.js's instantiateWasm), so the
  // wasm it still names is no file the site serves.
  Module.locateFile = function (path, prefix) {
    if (!(Module.instantiateWasm && path.endsWith('.wasm'))) gameFiles.add(fileName(path));
    return locate ? locate(path, prefix) : prefix + path;
  };
  const printErr = Module.printErr;
  Module.printErr = function (text) {
    heard.push(String(text));
    printErr(text);
  };
  // After its first frame the game has loaded; an abort then (a trap, memory run out) has
  // stopped it, and a still picture would not say so.
  Module.onAbort = (what) => {
    if (!loaded()) return fail(what);
    say(`The game stopped: ${what || 'unknown error'}. Try again to start afresh.`, false);
  };
  // A script that does not load; an error thrown while loading (the module's data request
  // throws one naming the file).
  window.addEventListener('error', (event) => {
    const element = event.target;
    if (element && element !== window && element.src) return fail(`${fileName(element.src)} did not load`);
    if (!status.ready) fail(event.message);
  }, true);
  window.addEventListener('unhandledrejection', (event) => {
    if (!status.ready) fail(event.reason);
  });

  setTimeout(async () => {
    if (failed || loaded()) return;
    const broken = await unreachableFiles();
    if (broken.length) return fail('');
    if (loaded()) return;
    say('The game is taking long to load: the connection may be slow. It goes on loading; or try again.', false);
    const shown = setInterval(() => {
      if (!loaded()) return;
      failure.hidden = true;
      clearInterval(shown);
    }, 500);
  }, slowMs);
})();
