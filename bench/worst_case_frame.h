// The worst-case frame: both 2000-record pools full, 100 people walking on screen, 25
// blasts and 20 bombs in flight. Shared by the native frame_bench and its wasm twin in the
// browser build (bench/frame_bench_web.cpp), which fill the same state: the positions come
// from a generator of this file's own, not the C library's rand, which differs between
// the two.
#pragma once

// On a started game (headless display, sound closed): fills the pools and puts the pointer
// on the page with no button held.
void fillWorstCase();
// Keeps the filled state, and puts it back before each timed frame so each does the same work.
void saveWorstCase();
void restoreWorstCase();
