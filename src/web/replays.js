// The replays the page keeps. Every game the page plays is recorded: the module hands
// each piece of its replay file to the page as it is written (jsReplayBytes in
// platform.js: the header as the game starts, a chunk each second, the last chunk and the
// end record as it ends). The page keeps the pieces of each game in memory and writes the
// replay so far to the browser's IndexedDB (database "crowdfire", store "replays", keyed
// by the time the game started, in ms) in a task of its own after each piece, never
// inside the module's frame, and at once when the page is hidden, so that a closed tab
// keeps its game up to its last whole second. The newest 20 are kept; older ones go
// quietly. A browser that refuses storage (private mode, a blocked site) plays on, and the
// list says its replays are not kept. A replay watched records nothing (the module hands
// no pieces).
'use strict';

(function () {
  const keptReplays = 20;
  const storeName = 'replays';
  // The file's records (docs/replays.md): a chunk starts with 'S' and its frame count, the
  // end record with 'E'. The list shows a game's length from the chunks' counts.
  const chunkTag = 0x53;
  const endTag = 0x45;

  let database = null;   // the open database; null while opening or when refused
  let storage = 'opening';  // 'kept', or in words why replays are not kept
  let current = null;    // the game being recorded: { key, bytes, length, frames, closed }
  const unsaved = new Set();  // games with pieces not yet written
  let saveQueued = false;
  let lastKey = 0;

  function refuse(why) {
    storage = `Replays are not kept in this browser: ${why}.`;
    database = null;
  }

  try {
    const request = indexedDB.open('crowdfire', 1);
    request.onupgradeneeded = () => request.result.createObjectStore(storeName, { keyPath: 'startedAt' });
    request.onsuccess = () => {
      database = request.result;
      storage = 'kept';
      saveSoon();
    };
    request.onerror = (event) => {
      event.preventDefault();  // said in the list, not as an error on the console
      refuse(request.error ? request.error.message : 'its storage refused the page');
    };
  } catch (e) {
    refuse(e.message || 'it has no storage for pages');
  }

  // A piece appended to the game's bytes, in a buffer that doubles as it fills, so a
  // long game is not copied whole each second.
  function append(game, piece) {
    if (game.length + piece.length > game.bytes.length) {
      const grown = new Uint8Array(Math.max(game.bytes.length * 2, game.length + piece.length));
      grown.set(game.bytes.subarray(0, game.length));
      game.bytes = grown;
    }
    game.bytes.set(piece, game.length);
    game.length += piece.length;
    if (piece[0] === chunkTag) game.frames += piece[1];
    if (piece[0] === endTag) game.closed = true;
  }

  Module.onReplayBytes = function (piece, startsReplay) {
    if (startsReplay) {
      lastKey = Math.max(Date.now(), lastKey + 1);  // two games never share a key
      current = { key: lastKey, bytes: new Uint8Array(4096), length: 0, frames: 0, closed: false };
    }
    if (!current) return;
    append(current, piece);
    unsaved.add(current);
    saveSoon();
  };

  function saveSoon() {
    if (saveQueued || !unsaved.size) return;
    saveQueued = true;
    setTimeout(saveNow, 0);
  }

  // One transaction writes every game with new pieces (a game that just ended and the
  // one that replaced it) and lets the oldest beyond 20 go.
  function saveNow() {
    saveQueued = false;
    if (!database || !unsaved.size) return;
    let transaction;
    try {
      transaction = database.transaction(storeName, 'readwrite');
    } catch (e) {
      return refuse(e.message);
    }
    // A write refused (the browser's room for the site used up) is said in the list; the
    // game plays on, and the next second's write tries again.
    transaction.onabort = () => { storage = `Replays could not be kept: ${transaction.error ? transaction.error.message : 'the write was refused'}.`; };
    transaction.oncomplete = () => { storage = 'kept'; };
    const store = transaction.objectStore(storeName);
    for (const game of unsaved) {
      store.put({ startedAt: game.key, frames: game.frames, closed: game.closed, bytes: game.bytes.slice(0, game.length).buffer });
    }
    unsaved.clear();
    const keys = store.getAllKeys();
    keys.onsuccess = () => keys.result.slice(0, -keptReplays).forEach((key) => store.delete(key));
  }

  window.addEventListener('pagehide', saveNow);
  document.addEventListener('visibilitychange', () => { if (document.hidden) saveNow(); });

  function ask(method, ...args) {
    return new Promise((resolve, reject) => {
      if (!database) return resolve(null);
      const request = database.transaction(storeName).objectStore(storeName)[method](...args);
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
    });
  }

  window.crowdfireReplays = {
    // 'kept', 'opening', or the words the list shows when replays are not kept.
    storage: () => storage,
    // The kept games, newest first: { startedAt, frames, closed, bytes } (bytes an
    // ArrayBuffer). The game being played is among them, as far as it is written.
    async list() {
      const all = (await ask('getAll')) || [];
      return all.reverse();
    },
    // The key of the game being recorded, 0 when none.
    recordingKey: () => (current && !current.closed ? current.key : 0),
  };
})();
