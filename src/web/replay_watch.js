// Watching a replay in the page: one kept in the browser (replay_list.js), a file picked
// or dropped on the page, or a link (the page's address, #replay= and the file in
// base64url). The page copies the file once, into module memory it allocates (_malloc);
// the module surveys it and either refuses it in words (the page says so in one line,
// naming the file or "the link") or plays it, keeping that memory until the next game
// starts (webWatchReplay, main_web.cpp). A replay from another version of the game is
// said so first, and plays anyway. While it plays, a line over the picture shows its
// time (the crowdfire:caption event); at its end the page shows the verdict. A tap or a
// click on the picture pauses and resumes it; the keys are the desktop's (Space or P, the
// full stop to step, F held to run fast), through the page's own key path.
//
// Links come from strangers: their length is bounded before anything is decoded, and
// every character is checked.
'use strict';

(function () {
  const status = window.crowdfire;
  const line = document.getElementById('replay-line');
  const note = document.getElementById('replay-note');
  const time = document.getElementById('replay-time');
  const linkPrefix = '#replay=';
  // A link holds a replay of at most 96 KiB: about nine minutes of busy play (a busy minute
  // is near 10 KiB), and 131072 characters of base64url, a link every engine opens and a
  // chat or a mail can still carry. A longer game is shared as a file.
  const linkReplayBytes = 96 * 1024;
  const linkCharacters = Math.ceil(linkReplayBytes / 3) * 4;
  const tooLongForLink = 'the link holds more than a link may (96 KiB); share the file instead';
  const alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';
  const sixBits = new Int8Array(128).fill(-1);
  for (let i = 0; i < alphabet.length; ++i) sixBits[alphabet.charCodeAt(i)] = i;
  let noticeTimer = 0;

  // One line about a replay that cannot play. With a game or a replay on the screen it shows
  // over the picture for a while, above a replay's time; otherwise in the box that offers a
  // new game.
  function refuse(text) {
    status.replayProblem = text;
    if (!Module._webRunning()) {
      status.showEnded(text, 'Play');
      return false;
    }
    const noteBefore = status.watching ? note.textContent : '';
    showLine(text, status.watching ? time.textContent : '');
    clearTimeout(noticeTimer);
    noticeTimer = setTimeout(() => {
      if (status.watching) showLine(noteBefore, time.textContent);
      else line.hidden = true;
    }, 10000);
    return false;
  }

  function showLine(noteText, timeText) {
    note.textContent = noteText;
    note.hidden = !noteText;
    time.textContent = timeText;
    line.hidden = false;
  }

  // Why a file of `size` bytes is not even read, or '' when it may be.
  function tooLarge(what, size) {
    const most = Module._webReplayFileLimit();
    return size > most ? `${what}: too large: ${size} bytes, where a replay holds at most ${most}` : '';
  }

  // Watches `size` bytes that fill() writes into the module's memory; `what` names the
  // file or "the link" in the words a refusal says.
  function watch(size, fill, what) {
    if (tooLarge(what, size)) return refuse(tooLarge(what, size));
    const at = size > 0 ? Module._malloc(size) : 0;
    if (size > 0 && !at) return refuse(`${what}: no room in the game's memory for ${size} bytes`);
    fill(Module.HEAPU8.subarray(at, at + size));
    const sound = status.soundSettings();
    const started = Module._webWatchReplay(at, size, sound.muted, sound.effectsLevel);
    const words = Module.UTF8ToString(Module._webReplayWords());
    if (!started) return refuse(words ? `${what}: ${words}` : 'The game could not start.');
    clearTimeout(noticeTimer);
    status.replayProblem = '';
    status.replayVerdict = null;
    status.begun(true);
    showLine(words, '');
    return true;
  }

  // base64url, no padding: the file's bytes, four characters for three bytes.
  function encodeLink(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 3) {
      const triple = (bytes[i] << 16) | ((bytes[i + 1] || 0) << 8) | (bytes[i + 2] || 0);
      const characters = Math.min(4, Math.ceil(((bytes.length - i) * 4) / 3));
      for (let c = 0; c < characters; ++c) text += alphabet[(triple >> (18 - 6 * c)) & 63];
    }
    return text;
  }

  // Writes the bytes `text` holds into `out`, which has exactly their room.
  function decodeInto(text, out) {
    let bits = 0;
    let count = 0;
    let at = 0;
    for (let i = 0; i < text.length; ++i) {
      bits = ((bits << 6) | sixBits[text.charCodeAt(i)]) & 0x3fff;  // at most 14 bits are ever unread
      count += 6;
      if (count >= 8) {
        count -= 8;
        out[at++] = (bits >> count) & 0xff;
      }
    }
  }

  // The replay a link holds: refused in words before decoding when too long, cut, or
  // holding a character base64url never has.
  function watchLink(hash) {
    const text = hash.slice(linkPrefix.length);
    if (text.length > linkCharacters) return refuse(tooLongForLink);
    const stranger = text.match(/[^A-Za-z0-9_-]/);
    if (stranger) {
      return refuse(`the link: holds "${stranger[0]}", a character no replay link has; it may have been copied wrongly`);
    }
    if (text.length % 4 === 1) return refuse('the link: cut short; copy the whole link again');
    return watch(Math.floor((text.length * 3) / 4), (out) => decodeInto(text, out), 'the link');
  }

  // The page opened with a link to a replay: it plays instead of a game (or says why it
  // cannot). True when the address holds one.
  status.watchLinkedReplay = function () {
    if (!location.hash.startsWith(linkPrefix)) return false;
    watchLink(location.hash);
    return true;
  };
  // A link opened in a page already playing.
  window.addEventListener('hashchange', () => {
    if (status.ready && location.hash.startsWith(linkPrefix)) watchLink(location.hash);
  });

  async function watchFile(file) {
    if (tooLarge(file.name, file.size)) return refuse(tooLarge(file.name, file.size));
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (e) {
      return refuse(`${file.name}: could not be read (${e.message})`);
    }
    return watch(bytes.length, (out) => out.set(bytes), file.name);
  }

  window.addEventListener('crowdfire:caption', (event) => { time.textContent = `Replay ${event.detail.text}`; });
  window.addEventListener('crowdfire:started', (event) => { if (!event.detail.watching) line.hidden = true; });
  window.addEventListener('crowdfire:ended', () => { line.hidden = true; });

  // A file dropped anywhere on the page plays.
  document.addEventListener('dragover', (event) => {
    if (status.ready && event.dataTransfer.types.includes('Files')) event.preventDefault();
  });
  document.addEventListener('drop', (event) => {
    if (!status.ready || !event.dataTransfer.files.length) return;
    event.preventDefault();
    watchFile(event.dataTransfer.files[0]);
  });

  // What the replays' list calls.
  window.crowdfireWatch = {
    bytes: (bytes, what) => watch(bytes.length, (out) => out.set(bytes), what),
    file: watchFile,
    // The page's address with the replay in it, or null when the replay is too long for one.
    link: (bytes) => (bytes.length > linkReplayBytes ? null
      : location.href.split('#')[0] + linkPrefix + encodeLink(bytes)),
    linkLimitWords: tooLongForLink,
  };
})();
