// The browser side of the web platform: the canvas the visible page is put into, the
// pointer's visibility over it, and the sound layer's Web Audio graph. Linked into the
// module with --js-library; the C++ side (display_web.cpp, sound_web.cpp) calls these.
mergeInto(LibraryManager.library, {
  $crowdfireCanvas: { context: null, image: null },

  // The module's RGBA copy of the visible page goes into the canvas as it is: the ImageData
  // looks at the module's memory, which never grows or moves (ALLOW_MEMORY_GROWTH=0), so
  // nothing is copied on the way. The context is desynchronized: its pictures reach the
  // screen without the page's own rendering pass, which held the main thread about as long
  // as the frame itself (bench/web_frame_profile.mjs).
  jsShowPage__deps: ['$crowdfireCanvas'],
  jsShowPage: function (rgba, width, height) {
    var canvas = Module['canvas'];
    if (!canvas) return;
    var c = crowdfireCanvas;
    if (!c.context || canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      c.context = canvas.getContext('2d', { alpha: false, desynchronized: true, willReadFrequently: true });
      c.image = null;
    }
    if (!c.image || c.image.data.byteOffset !== rgba || c.image.data.buffer !== HEAPU8.buffer) {
      c.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
    }
    c.context.putImageData(c.image, 0, 0);
    if (Module['onPageShown']) Module['onPageShown']();
  },

  // Escape ended the game: the page says so and offers a new one.
  jsGameEnded: function () {
    if (Module['onGameEnded']) Module['onGameEnded']();
  },

  // Watching a replay ended, at its end or at Escape: the verdict's status (0 every
  // checkpoint matched, 3 the game left its record) and its line, for the page to show.
  jsReplayEnded: function (status, line) {
    if (Module['onReplayEnded']) Module['onReplayEnded'](status, UTF8ToString(line));
  },

  // A piece of the game's replay as it is recorded: copied out, since the module's bytes
  // are gone when this returns, for the page to keep (replays.js). `startsReplay`: the
  // piece is a new game's header.
  jsReplayBytes: function (bytes, count, startsReplay) {
    if (Module['onReplayBytes']) Module['onReplayBytes'](HEAPU8.slice(bytes, bytes + count), startsReplay !== 0);
  },

  // The mute or the effects level changed (sound_button.js shows and remembers them).
  jsSoundSettings: function (muted, effectsLevel) {
    window.dispatchEvent(new CustomEvent('crowdfire:sound', { detail: { muted: muted !== 0, effectsLevel: effectsLevel } }));
  },

  // The standard-mapping pads the page sees, up to `capacity`, seven numbers each from
  // `values` on: the two sticks (x, y), the two triggers and the buttons held as a mask in
  // the standard mapping's order (controller_web.cpp). Returns how many it wrote.
  jsReadGamepads: function (values, capacity) {
    var pads;
    try {
      pads = navigator.getGamepads ? navigator.getGamepads() : [];
    } catch (e) {
      return 0;  // a page the browser will not show its pads
    }
    var count = 0;
    for (var i = 0; i < pads.length && count < capacity; ++i) {
      var pad = pads[i];
      if (!pad || !pad.connected || pad.mapping !== 'standard') continue;
      var at = (values >> 2) + count * 7;
      for (var a = 0; a < 4; ++a) HEAPF32[at + a] = Number(pad.axes[a]) || 0;
      HEAPF32[at + 4] = pad.buttons[6] ? Number(pad.buttons[6].value) || 0 : 0;
      HEAPF32[at + 5] = pad.buttons[7] ? Number(pad.buttons[7].value) || 0 : 0;
      var held = 0;
      for (var b = 0; b < pad.buttons.length && b < 17; ++b) if (pad.buttons[b].pressed) held |= 1 << b;
      HEAPF32[at + 6] = held;
      count++;
    }
    return count;
  },

  jsShowPointer: function (visible) {
    var canvas = Module['canvas'];
    if (canvas) canvas.style.cursor = visible ? 'auto' : 'none';
  },

  // A short line about the game (a replay's time while it is watched): the page shows it.
  jsCaption: function (text) {
    window.dispatchEvent(new CustomEvent('crowdfire:caption', { detail: { text: UTF8ToString(text) } }));
  },

  // Sixteen effect channels, each holding the source node it last started. Effects go
  // through one gain node (the effects volume); the music gain node carries channel 1's
  // volume as on the desktop, though nothing plays music.
  $crowdfireAudio: {
    decoder: null, context: null, effects: null, music: null, effectsVolume: 1, musicVolume: 1,
    buffers: {}, generation: {}, channels: [],
    status: { decoded: 0, failed: 0, started: 0 },
  },
  $crowdfireAudio__postset: 'crowdfireAudioListen();',

  // From the module's start, before the sounds have arrived: the status the browser test and
  // the benchmark read, and the context that plays, made on the player's first click or key,
  // as browsers require, so it neither slows the start nor waits suspended.
  $crowdfireAudioListen__deps: ['$crowdfireAudio'],
  $crowdfireAudioListen: function () {
    var a = crowdfireAudio;
    var AudioContextType = globalThis.AudioContext || globalThis.webkitAudioContext;
    var play = function () {
      if (!AudioContextType) return;
      if (!a.context) {
        a.context = new AudioContextType();
        a.effects = a.context.createGain();
        a.effects.connect(a.context.destination);
        a.music = a.context.createGain();
        a.music.connect(a.context.destination);
        a.effects.gain.value = a.effectsVolume;
        a.music.gain.value = a.musicVolume;
      }
      if (a.context.state !== 'running') a.context.resume();
    };
    // A touch lets a page start sound only when it ends (touchend, pointerup), and the
    // touch screen's taps make no mouse events (web/touch.js cancels them).
    ['pointerdown', 'pointerup', 'mousedown', 'keydown', 'touchstart', 'touchend'].forEach(function (type) {
      globalThis.addEventListener(type, play, true);
    });
    Module['audioStatus'] = function () {
      return {
        opened: !!a.decoder, decoded: a.status.decoded, failed: a.status.failed, started: a.status.started,
        state: a.context ? a.context.state : 'not yet started',
        effectsVolume: a.effectsVolume,  // what the effects play at, 0 to 1: 0 when muted
      };
    };
  },

  // Samples are decoded by an offline context, made when the sound files have arrived.
  jsAudioOpen__deps: ['$crowdfireAudio', '$crowdfireAudioListen'],
  jsAudioOpen: function () {
    var a = crowdfireAudio;
    if (!a.decoder) {
      if (!globalThis.AudioContext && !globalThis.webkitAudioContext) return 0;
      if (!globalThis.OfflineAudioContext) return 0;
      try {
        a.decoder = new OfflineAudioContext(1, 1, 44100);
      } catch (e) {
        return 0;
      }
    }
    a.channels = [];
    for (var c = 0; c < 16; ++c) a.channels.push(null);
    return 1;
  },

  jsAudioClose__deps: ['$crowdfireAudio'],
  jsAudioClose: function () {
    var a = crowdfireAudio;
    a.channels.forEach(function (source) {
      if (source) source.stop();
    });
    a.channels = [];
  },

  // Decoding runs on the browser's own time; the buffer is kept only if the handle still
  // names the same load when it is done.
  jsAudioDecode__deps: ['$crowdfireAudio'],
  jsAudioDecode: function (handle, bytes, size) {
    var a = crowdfireAudio;
    if (!a.decoder) return 0;
    var generation = (a.generation[handle] || 0) + 1;
    a.generation[handle] = generation;
    var copy = HEAPU8.slice(bytes, bytes + size).buffer;
    a.decoder.decodeAudioData(copy).then(function (buffer) {
      if (a.generation[handle] !== generation) return;
      a.buffers[handle] = buffer;
      a.status.decoded++;
    }, function () {
      if (a.generation[handle] === generation) a.status.failed++;
    });
    return 1;
  },

  jsAudioForget__deps: ['$crowdfireAudio'],
  jsAudioForget: function (handle) {
    var a = crowdfireAudio;
    a.generation[handle] = (a.generation[handle] || 0) + 1;
    if (a.buffers[handle]) a.status.decoded--;
    delete a.buffers[handle];
  },

  // A channel busy with an older play is cut short, as the desktop mixer does.
  jsAudioPlay__deps: ['$crowdfireAudio'],
  jsAudioPlay: function (handle, channel) {
    var a = crowdfireAudio;
    var buffer = a.buffers[handle];
    if (!buffer || !a.context || a.context.state !== 'running') return 0;
    var old = a.channels[channel];
    if (old) {
      old.onended = null;
      old.stop();
    }
    var source = a.context.createBufferSource();
    source.buffer = buffer;
    source.connect(a.effects);
    source.onended = function () {
      if (a.channels[channel] === source) a.channels[channel] = null;
    };
    source.start();
    a.channels[channel] = source;
    a.status.started++;
    return 1;
  },

  jsAudioPlaying__deps: ['$crowdfireAudio'],
  jsAudioPlaying: function (channel) {
    return crowdfireAudio.channels[channel] ? 1 : 0;
  },

  jsAudioVolumes__deps: ['$crowdfireAudio'],
  jsAudioVolumes: function (effects, music) {
    var a = crowdfireAudio;
    a.effectsVolume = effects;
    a.musicVolume = music;
    if (!a.context) return;
    a.effects.gain.value = effects;
    a.music.gain.value = music;
  },
});
