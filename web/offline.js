// Playing without a network: registers the service worker (sw.js, which the build writes
// with this build's list of files and a cache named by them), so that after one visit the
// game loads from the browser's own copy. A newer build found on an earlier visit waits
// while any page runs the old one; a page that finds one waiting as it loads lets it take
// over and loads again at once, so the player is on the new build before playing and never
// on a mix of two.
'use strict';

(function () {
  const status = window.crowdfire;
  status.offline = 'unsupported';
  // Service workers need a secure page: https, or this machine (127.0.0.1, localhost).
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  status.offline = 'registering';

  let switching = false;
  navigator.serviceWorker.addEventListener('controllerchange', function () {
    if (switching) location.reload();
  });

  // Registered once the page has every file it fetches (its first frame, and its sounds
  // arrived or given up): installing fetches every file of the build afresh, and on a first
  // visit over a phone's link that second download, beside the page's own, held the first
  // frame back by 200 to 450 ms. A page that failed to load registers only if an offline
  // copy already serves it (a newer build may be waiting to take over); on a first visit
  // there is nothing whole to keep.
  function register() {
    const packs = window.Module && window.Module.packStatus;
    const soundsSettled = packs && ('crowdfire-sounds.pack' in packs.arrivedAt || 'crowdfire-sounds.pack' in packs.failed);
    if (status.loadFailure && !navigator.serviceWorker.controller) {
      status.offline = 'not kept: the page did not load';
      return;
    }
    if (!(status.firstFrameAt > 0 && soundsSettled) && !status.loadFailure) {
      setTimeout(register, 100);
      return;
    }
    navigator.serviceWorker.register('sw.js', { scope: './' }).then(function (registration) {
      status.offline = 'registered';
      // A newer build waiting takes over now, with this page's files all in (or given up
      // on): Chrome lets it take over only once the old worker is idle, and one asked while
      // still serving this page's files was seen never to go idle.
      if (registration.waiting && navigator.serviceWorker.controller) {
        switching = true;
        registration.waiting.postMessage('take over');
      }
    }, function (error) {
      status.offline = 'failed: ' + error.message;
      console.warn('crowdfire: no offline copy: ' + error.message);
    });
  }
  register();
})();
