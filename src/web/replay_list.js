// The Replays control: a list of the games the page keeps (replays.js), newest first, each
// with its date and time and its length, and Watch, Save (the file, named as the desktop
// names its replays: crowdfire-YYYY-MM-DD_HH-MM-SS.cfreplay, in local time) and Copy link
// (the page's address with the replay in it, put on the clipboard, or shown selected in a
// field where the browser will not copy). It also opens a replay file from the device;
// replay_watch.js plays whatever is chosen.
'use strict';

(function () {
  const status = window.crowdfire;
  const panel = document.getElementById('replays');
  const list = document.getElementById('replay-list');
  const said = document.getElementById('replays-said');
  const linkBox = document.getElementById('link-box');
  const linkText = document.getElementById('link-text');
  const fileInput = document.getElementById('replay-file');
  const openButton = document.getElementById('replays-button');

  const twoDigits = (n) => String(n).padStart(2, '0');
  // Local time, as the desktop names its replays and screenshots.
  function dateParts(ms) {
    const d = new Date(ms);
    return {
      date: `${d.getFullYear()}-${twoDigits(d.getMonth() + 1)}-${twoDigits(d.getDate())}`,
      time: [d.getHours(), d.getMinutes(), d.getSeconds()].map(twoDigits),
    };
  }
  const fileName = (ms) => `crowdfire-${dateParts(ms).date}_${dateParts(ms).time.join('-')}.cfreplay`;

  function button(text, action) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = text;
    b.addEventListener('click', action);
    return b;
  }

  function save(replay) {
    const url = URL.createObjectURL(new Blob([replay.bytes], { type: 'application/octet-stream' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = fileName(replay.startedAt);
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function showLink(link) {
    linkText.value = link;
    linkBox.hidden = false;
    linkText.focus();
    linkText.select();
  }

  async function copyLink(replay) {
    linkBox.hidden = true;
    const link = window.crowdfireWatch.link(new Uint8Array(replay.bytes));
    if (!link) {
      said.textContent = `This game is too long for a link: ${window.crowdfireWatch.linkLimitWords}.`;
      return;
    }
    try {
      await navigator.clipboard.writeText(link);
      said.textContent = `Link copied (${link.length} characters).`;
    } catch (e) {
      said.textContent = '';
      showLink(link);
    }
  }

  function watch(replay, when) {
    close();
    window.crowdfireWatch.bytes(new Uint8Array(replay.bytes), `the replay of ${when}`);
  }

  function entry(replay, playing) {
    const { date, time } = dateParts(replay.startedAt);
    const when = `${date} ${time.join(':')}`;
    const item = document.createElement('li');
    const words = document.createElement('span');
    const length = Module.UTF8ToString(Module._webGameTime(replay.frames));
    words.textContent = `${when} · ${length}${playing ? ' · playing now' : replay.closed ? '' : ' · cut short'}`;
    item.append(words, button('Watch', () => watch(replay, when)), button('Save', () => save(replay)),
      button('Copy link', () => copyLink(replay)));
    return item;
  }

  async function fill() {
    const replays = window.crowdfireReplays;
    const kept = await replays.list();
    list.replaceChildren(...kept.map((replay) => entry(replay, replay.startedAt === replays.recordingKey())));
    const storage = replays.storage();
    if (storage !== 'kept' && storage !== 'opening') said.textContent = storage;
    else if (!kept.length) said.textContent = 'No game kept yet: every game played here is.';
  }

  function open() {
    if (!status.ready) return;
    said.textContent = '';
    linkBox.hidden = true;
    panel.hidden = false;
    document.getElementById('replays-close').focus();
    fill();
  }

  function close() {
    panel.hidden = true;
    document.getElementById('screen').focus();
  }

  openButton.addEventListener('click', open);
  // A replay dropped on the page while the list is open plays in front of it.
  window.addEventListener('crowdfire:started', () => { if (!panel.hidden) close(); });
  document.getElementById('replays-close').addEventListener('click', close);
  panel.addEventListener('keydown', (event) => { if (event.key === 'Escape') close(); });
  document.getElementById('replay-open').addEventListener('click', () => fileInput.click());
  fileInput.addEventListener('change', () => {
    const file = fileInput.files[0];
    fileInput.value = '';
    if (!file) return;
    close();
    window.crowdfireWatch.file(file);
  });
})();
