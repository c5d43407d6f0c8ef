#pragma once

// The player's sound keys, once a frame: M mutes and unmutes, minus and equals (and the
// keypad's minus and plus) step the effects' volume down and up through its five levels.
// Each press acts once, however long the key is held. Touches nothing but the sound
// layer's volume and draws no random number, so no replay changes.
void handleSoundKeys();
