#include "web/web_keys.h"

#include <cstring>

#include "gfx/input.h"

namespace {

struct WebKeyTie {
    const char* code;
    int scanCode;
};

// Set-1 make codes of a PC keyboard. The extended keys share the entry of their keypad
// twin: ArrowLeft and Numpad4 are both scanLeft.
constexpr WebKeyTie webKeyTies[] = {
    {"Escape", scanEscape},
    {"Digit1", 0x02},
    {"Digit2", 0x03},
    {"Digit3", 0x04},
    {"Digit4", 0x05},
    {"Digit5", 0x06},
    {"Digit6", 0x07},
    {"Digit7", 0x08},
    {"Digit8", 0x09},
    {"Digit9", 0x0A},
    {"Digit0", 0x0B},
    {"Minus", 0x0C},
    {"Equal", 0x0D},
    {"Backspace", 0x0E},
    {"Tab", 0x0F},
    {"KeyQ", 0x10},
    {"KeyW", 0x11},
    {"KeyE", 0x12},
    {"KeyR", 0x13},
    {"KeyT", 0x14},
    {"KeyY", 0x15},
    {"KeyU", 0x16},
    {"KeyI", 0x17},
    {"KeyO", 0x18},
    {"KeyP", 0x19},
    {"BracketLeft", 0x1A},
    {"BracketRight", 0x1B},
    {"Enter", 0x1C},
    {"NumpadEnter", 0x1C},
    {"ControlLeft", 0x1D},
    {"ControlRight", 0x1D},
    {"KeyA", 0x1E},
    {"KeyS", 0x1F},
    {"KeyD", 0x20},
    {"KeyF", 0x21},
    {"KeyG", 0x22},
    {"KeyH", 0x23},
    {"KeyJ", 0x24},
    {"KeyK", 0x25},
    {"KeyL", 0x26},
    {"Semicolon", 0x27},
    {"Quote", 0x28},
    {"Backquote", 0x29},
    {"ShiftLeft", 0x2A},
    {"Backslash", 0x2B},
    {"KeyZ", 0x2C},
    {"KeyX", 0x2D},
    {"KeyC", 0x2E},
    {"KeyV", 0x2F},
    {"KeyB", 0x30},
    {"KeyN", 0x31},
    {"KeyM", 0x32},
    {"Comma", 0x33},
    {"Period", 0x34},
    {"Slash", 0x35},
    {"NumpadDivide", 0x35},
    {"ShiftRight", 0x36},
    {"NumpadMultiply", 0x37},
    {"PrintScreen", 0x37},
    {"AltLeft", 0x38},
    {"AltRight", 0x38},
    {"Space", 0x39},
    {"CapsLock", 0x3A},
    {"F1", 0x3B},
    {"F2", 0x3C},
    {"F3", 0x3D},
    {"F4", 0x3E},
    {"F5", 0x3F},
    {"F6", 0x40},
    {"F7", 0x41},
    {"F8", 0x42},
    {"F9", 0x43},
    {"F10", 0x44},
    {"NumLock", 0x45},
    {"Pause", 0x45},
    {"ScrollLock", 0x46},
    {"Numpad7", 0x47},
    {"Home", 0x47},
    {"Numpad8", 0x48},
    {"ArrowUp", 0x48},
    {"Numpad9", 0x49},
    {"PageUp", 0x49},
    {"NumpadSubtract", 0x4A},
    {"Numpad4", scanLeft},
    {"ArrowLeft", scanLeft},
    {"Numpad5", 0x4C},
    {"Numpad6", scanRight},
    {"ArrowRight", scanRight},
    {"NumpadAdd", 0x4E},
    {"Numpad1", 0x4F},
    {"End", 0x4F},
    {"Numpad2", 0x50},
    {"ArrowDown", 0x50},
    {"Numpad3", 0x51},
    {"PageDown", 0x51},
    {"Numpad0", 0x52},
    {"Insert", 0x52},
    {"NumpadDecimal", 0x53},
    {"Delete", 0x53},
    {"IntlBackslash", 0x56},
    {"F11", 0x57},
    {"F12", 0x58},
    {"NumpadEqual", 0x59},
    {"MetaLeft", 0x5B},
    {"MetaRight", 0x5C},
    {"ContextMenu", 0x5D},
    {"F13", 0x64},
    {"F14", 0x65},
    {"F15", 0x66},
    {"F16", 0x67},
    {"F17", 0x68},
    {"F18", 0x69},
    {"F19", 0x6A},
    {"F20", 0x6B},
    {"F21", 0x6C},
    {"F22", 0x6D},
    {"F23", 0x6E},
    {"F24", 0x76},
    {"KanaMode", 0x70},
    {"IntlRo", 0x73},
    {"Convert", 0x79},
    {"NonConvert", 0x7B},
    {"IntlYen", 0x7D},
};

constexpr int tieCount = int(sizeof webKeyTies / sizeof webKeyTies[0]);

}  // namespace

int webKeyCount() { return tieCount; }

int webKeyIndex(const char* code) {
    if (code == nullptr) return -1;
    for (int i = 0; i < tieCount; ++i)
        if (std::strcmp(webKeyTies[i].code, code) == 0) return i;
    return -1;
}

int webKeyScanCode(int index) { return index >= 0 && index < tieCount ? webKeyTies[index].scanCode : -1; }

int scanCodeForWebKey(const char* code) { return webKeyScanCode(webKeyIndex(code)); }
