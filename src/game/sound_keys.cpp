// M, minus and equals: the mute and the effects level, each press acting once.
#include "game/sound_keys.h"

#include "game/game_keys.h"
#include "gfx/input.h"
#include "sound/sound.h"

namespace {

enum SoundKey { mute, quieter, quieterKeypad, louder, louderKeypad, soundKeyCount };
constexpr int soundKeyScanCodes[soundKeyCount] = {muteKey, quieterKey, quieterKeypadKey, louderKey, louderKeypadKey};

// What each key read in the last frame: a key that was already down is being held, not pressed.
bool heldLastFrame[soundKeyCount] = {};

bool pressedNow(SoundKey key) {
    const bool down = keyDown(soundKeyScanCodes[key]) != 0;
    const bool pressed = down && !heldLastFrame[key];
    heldLastFrame[key] = down;
    return pressed;
}

}  // namespace

// The sound layer is not thread-safe: these run on the game's thread, in the frame.
void handleSoundKeys() {
    // Every key is read every frame, so each remembers its own state.
    bool pressed[soundKeyCount] = {};
    for (int key = 0; key < soundKeyCount; ++key) pressed[key] = pressedNow(SoundKey(key));
    if (pressed[mute]) setSoundMuted(!soundMuted());
    if (pressed[quieter] || pressed[quieterKeypad]) stepEffectsVolume(-1);
    if (pressed[louder] || pressed[louderKeypad]) stepEffectsVolume(+1);
}
