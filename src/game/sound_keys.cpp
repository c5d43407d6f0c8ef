#include "game/sound_keys.h"

#include "gfx/input.h"
#include "sound/sound.h"

namespace {

enum SoundKey { muteKey, quieterKey, quieterKeypadKey, louderKey, louderKeypadKey, soundKeyCount };
constexpr int soundKeyScanCodes[soundKeyCount] = {scanM, scanMinus, scanKeypadMinus, scanEquals, scanKeypadPlus};

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
    if (pressedNow(muteKey)) setSoundMuted(!soundMuted());
    // Both keys of a pair are read every frame, so each remembers its own state.
    const bool quieter = pressedNow(quieterKey) | pressedNow(quieterKeypadKey);
    const bool louder = pressedNow(louderKey) | pressedNow(louderKeypadKey);
    if (quieter) stepEffectsVolume(-1);
    if (louder) stepEffectsVolume(+1);
}
