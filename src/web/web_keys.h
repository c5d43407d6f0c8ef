// The browser's keys (KeyboardEvent.code names) and the set-1 scan codes they set: the
// same entries the SDL display fills, so a key means the same on both.
#pragma once

// The key-table entry a KeyboardEvent.code sets, or -1 for a key the game has no entry for.
int scanCodeForWebKey(const char* code);

// How many codes the table knows, and the n-th of them: the display keeps one "held" flag
// per code, so that of two keys sharing an entry (Left and keypad 4) releasing one leaves
// the entry down while the other is held.
int webKeyCount();
int webKeyIndex(const char* code);  // -1 when unknown
int webKeyScanCode(int index);
