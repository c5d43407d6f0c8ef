// Brings the game into the page: its module and its pictures and sounds, each in a gzip
// pack (web/pack_files.py), small whether or not the host compresses what it serves. The
// pictures and sounds go into the module's file system, where the game reads them as the
// desktop game reads its run directory. The pictures, which the first frame needs, hold
// the module's start back; the sounds are fetched once the game runs, so they never share
// the link with what the first frame waits for, and the sound layer loads them when they
// arrive (src/web/sound_web.cpp).
//
// Loaded after page.js and loading.js; its script element says what to do:
//   data-module="crowdfire-module.pack"  the module (crowdfire.js and .wasm) comes packed
//                                        and is started from here (without it, the page
//                                        loads its module itself, after this script);
//   data-sounds="before-start"           the sounds too are in place before the module
//                                        starts (the tool page).
'use strict';

(function () {
  const Module = window.Module = window.Module || {};
  const settings = document.currentScript.dataset;
  const modulePack = settings.module || '';
  const pictures = 'crowdfire-pictures.pack';
  const sounds = 'crowdfire-sounds.pack';
  const beforeStart = settings.sounds === 'before-start' ? [pictures, sounds] : [pictures];
  // When each pack was in place, in the page's clock, for the benchmark; and what failed.
  const status = { arrivedAt: {}, failed: {} };
  Module.packStatus = status;

  // The game's page says what failed through loading.js, which names the files and offers
  // to try again; a page without it (the tool page) gets the words in its message.
  const page = window.crowdfire || {};
  function showProblem(text, beforeAnyLoading) {
    console.error(`crowdfire: ${text}`);
    if (beforeAnyLoading && page.cannotRun) return page.cannotRun(text);
    if (page.loadFailed) return page.loadFailed(text);
    const message = document.getElementById('message') || document.getElementById('state');
    if (message) {
      message.hidden = false;
      message.textContent = text;
    }
  }

  // A function that returns a 128-bit SIMD constant: valid only where wasm has SIMD.
  const simdProbe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0,
    10, 22, 1, 20, 0, 253, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 11]);
  function missingFeatures() {
    const missing = [];
    if (typeof WebAssembly !== 'object' || !WebAssembly.validate(simdProbe)) missing.push('WebAssembly SIMD');
    if (typeof DecompressionStream === 'undefined') missing.push('DecompressionStream');
    return missing;
  }

  // A browser from before 2023 (Safari before 16.4, Firefox before 113) is told so rather
  // than left loading: the module would not compile, nor the packs unpack.
  const missing = missingFeatures();
  if (missing.length) {
    showProblem(`This browser cannot run the game: it lacks ${missing.join(' and ')}. Try a current browser.`, true);
    Module.preRun = [].concat(Module.preRun || [], function () {
      Module.addRunDependency('a newer browser');
    });
    return;
  }

  // The pack's files as [name, bytes]; a pack that breaks its own layout is refused whole.
  function readPack(name, bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const text = new TextDecoder();
    if (bytes.length < 4 || text.decode(bytes.subarray(0, 4)) !== 'CFPK') throw new Error(`${name} is not a pack`);
    const files = [];
    let at = 4;
    while (at < bytes.length) {
      if (at + 2 > bytes.length) throw new Error(`${name} ends inside a file's name`);
      const nameEnd = at + 2 + view.getUint16(at, true);
      if (nameEnd + 4 > bytes.length) throw new Error(`${name} ends inside a file's name`);
      const path = text.decode(bytes.subarray(at + 2, nameEnd));
      const end = nameEnd + 4 + view.getUint32(nameEnd, true);
      if (end > bytes.length) throw new Error(`${name} ends inside ${path}`);
      if (!/^[A-Za-z0-9_.-]+(\/[A-Za-z0-9_.-]+)*$/.test(path) || path.split('/').includes('..')) {
        throw new Error(`${name} names a file outside the game's folder: ${path}`);
      }
      files.push([path, bytes.subarray(nameEnd + 4, end)]);
      at = end;
    }
    return files;
  }

  // The download index.html started for this pack, once: a second unpacking fetches anew.
  function takeEarlyFetch(name) {
    const started = window.crowdfireEarlyFetches || {};
    const response = started[name];
    delete started[name];
    return response;
  }

  // The pack is read whole before it is unpacked: the unpacking ends at the end of the
  // gzip data and, fed straight from the network, could cut off a download that had not
  // yet said it was complete. (Read as a Blob instead, a download held back by DevTools'
  // network throttling never completed in Chromium 156.)
  async function unpack(name) {
    const response = await takeEarlyFetch(name) || await fetch(name);
    if (!response.ok) throw new Error(`${name}: HTTP ${response.status}`);
    const packed = await response.arrayBuffer();
    const stream = new Response(packed).body.pipeThrough(new DecompressionStream('gzip'));
    return readPack(name, new Uint8Array(await new Response(stream).arrayBuffer()));
  }

  // Everything the first frame needs is asked for at once (index.html has started the
  // module's and the pictures' downloads already) and unpacked as it arrives; a failure is reported where
  // the pack is awaited.
  const early = new Map(beforeStart.concat(modulePack ? [modulePack] : []).map((name) => [name, unpack(name)]));
  early.forEach((promise) => promise.catch(() => {}));

  async function bring(name) {
    const files = await (early.get(name) || unpack(name));
    for (const [path, bytes] of files) {
      const folder = path.slice(0, path.lastIndexOf('/'));
      if (folder) Module.FS.mkdirTree('/' + folder);
      Module.FS.writeFile('/' + path, bytes);
    }
    status.arrivedAt[name] = performance.now();
  }

  // The module's script runs from the unpacked text; the wasm compiles meanwhile, on the
  // browser's own threads, and the script instantiates it when it asks for it.
  function startModule(files) {
    const code = new Map(files);
    if (!code.has('crowdfire.js') || !code.has('crowdfire.wasm')) throw new Error(`${modulePack} lacks the module`);
    const compiled = WebAssembly.compile(code.get('crowdfire.wasm'));
    compiled.catch(() => {});
    Module.instantiateWasm = function (imports, done) {
      compiled.then(function (module) {
        return WebAssembly.instantiate(module, imports).then((instance) => done(instance, module));
      }).catch(function (error) {
        showProblem(`The game could not be started (${error.message}).`);
      });
      return {};
    };
    const script = document.createElement('script');
    script.src = URL.createObjectURL(new Blob([code.get('crowdfire.js')], { type: 'text/javascript' }));
    script.onload = function () { URL.revokeObjectURL(script.src); };
    document.body.appendChild(script);
  }

  if (modulePack) {
    early.get(modulePack).then(startModule).catch(function (error) {
      status.failed[modulePack] = error.message;
      showProblem(`The game could not be loaded (${error.message}).`);
    });
  }

  // The module waits for the pictures before main(); without them it does not start.
  Module.preRun = [].concat(Module.preRun || [], function () {
    for (const name of beforeStart) {
      Module.addRunDependency(name);
      bring(name).then(function () {
        Module.removeRunDependency(name);
      }, function (error) {
        status.failed[name] = error.message;
        const what = name === pictures ? 'pictures' : 'sounds';
        showProblem(`The game's ${what} could not be loaded (${error.message}).`);
      });
    }
  });

  // Sounds that never arrive leave the game silent, as on a desktop without a sound card.
  if (beforeStart.includes(sounds)) return;
  Module.postRun = [].concat(Module.postRun || [], function () {
    bring(sounds).then(function () {
      Module._webSoundFilesArrived(1);
    }, function (error) {
      status.failed[sounds] = error.message;
      console.warn(`crowdfire: the sounds could not be loaded (${error.message}); the game plays silently`);
      Module._webSoundFilesArrived(0);
    });
  });
})();
