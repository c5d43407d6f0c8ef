#include "tools/scenario/scenario_runner.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>

#include "game/frame_loop.h"
#include "game/game_state.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/random.h"
#include "gfx/screen.h"

namespace {

constexpr int pageWidth = 320;
constexpr int pageHeight = 240;
constexpr int maxFrame = std::numeric_limits<int>::max();

// Keeps the reason a line or a run was refused.
bool fail(std::string& why, const std::string& message) {
    why = message;
    return false;
}

bool parseWholeNumber(const std::string& text, int& value) {
    std::size_t used = 0;
    try {
        value = std::stoi(text, &used);
    } catch (...) {
        return false;
    }
    return used == text.size();
}

bool parseRange(const std::string& text, ScenarioInput& input) {
    const std::size_t dash = text.find('-', 1);
    if (dash == std::string::npos) {
        if (!parseWholeNumber(text, input.firstFrame)) return false;
        input.lastFrame = input.firstFrame;
    } else if (!parseWholeNumber(text.substr(0, dash), input.firstFrame) ||
               !parseWholeNumber(text.substr(dash + 1), input.lastFrame)) {
        return false;
    }
    // Running through frame G takes G + 1 frames, which must still be an int.
    return input.firstFrame >= 0 && input.lastFrame >= input.firstFrame && input.lastFrame < maxFrame;
}

bool parseKeys(const std::string& text, ScenarioInput& input) {
    if (text == "-") return true;
    std::stringstream list(text);
    std::string key;
    while (std::getline(list, key, ',')) {
        if (key == "left") input.left = true;
        else if (key == "right") input.right = true;
        else return false;
    }
    return true;
}

// "A", "A..B" or "A..B/P".
bool parseCoordinate(const std::string& text, int& start, int& end, int& period) {
    const std::size_t dots = text.find("..");
    period = 0;
    if (dots == std::string::npos) {
        if (!parseWholeNumber(text, start)) return false;
        end = start;
        return true;
    }
    const std::size_t slash = text.find('/', dots);
    if (slash != std::string::npos && (!parseWholeNumber(text.substr(slash + 1), period) || period < 2)) return false;
    return parseWholeNumber(text.substr(0, dots), start) &&
           parseWholeNumber(text.substr(dots + 2, slash - (dots + 2)), end);
}

// "F[-G] X Y BUTTONS [KEYS]" or "F[-G] off BUTTONS [KEYS]".
bool parseInput(std::istringstream& words, const std::string& range, ScenarioInput& input, std::string& why) {
    if (!parseRange(range, input)) return fail(why, "bad frame range '" + range + "'");
    std::string word;
    if (!(words >> word)) return fail(why, "missing pointer");
    if (word == "off") {
        input.pointerOff = true;
    } else {
        std::string y;
        if (!parseCoordinate(word, input.pointerX, input.pointerEndX, input.periodX) || !(words >> y) ||
            !parseCoordinate(y, input.pointerY, input.pointerEndY, input.periodY))
            return fail(why, "bad pointer position");
    }
    if (!(words >> word) || !parseWholeNumber(word, input.buttons) || input.buttons < 0 || input.buttons > 7)
        return fail(why, "buttons must be a mask from 0 to 7");
    if (words >> word && !parseKeys(word, input)) return fail(why, "keys are 'left', 'right' or '-'");
    if (words >> word) return fail(why, "unexpected '" + word + "'");
    return true;
}

bool parseLine(const std::string& line, Scenario& scenario, std::string& why) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string first;
    if (!(words >> first)) return true;
    std::string value, extra;
    if (first == "seed") {
        if (!(words >> value) || words >> extra) return fail(why, "seed takes one number");
        try {
            scenario.seed = std::stod(value);
        } catch (...) {
            return fail(why, "bad seed '" + value + "'");
        }
        return true;
    }
    if (first == "frames") {
        if (!(words >> value) || words >> extra || !parseWholeNumber(value, scenario.frames) || scenario.frames < 0)
            return fail(why, "frames takes one whole number");
        return true;
    }
    ScenarioInput input;
    if (!parseInput(words, first, input, why)) return false;
    scenario.inputs.push_back(input);
    return true;
}

// Whole pixels along the way from start to end: once over the range, or there and back
// every `period` frames.
int pointerAlong(int start, int end, int period, const ScenarioInput& input, int frame) {
    long long step = frame - input.firstFrame;
    long long span = input.lastFrame - input.firstFrame;
    if (period >= 2) {  // a swing takes at least a frame each way
        span = period / 2;
        step %= 2 * span;
        if (step > span) step = 2 * span - step;
    }
    if (span == 0) return start;
    // In 64 bits: the distance between two ints need not fit in one.
    return int(start + (int64_t(end) - start) * step / span);
}

void applyInput(const Scenario& scenario, int frame) {
    const ScenarioInput* chosen = nullptr;
    for (const ScenarioInput& input : scenario.inputs)
        if (frame >= input.firstFrame && frame <= input.lastFrame) chosen = &input;
    const ScenarioInput none;
    const ScenarioInput& input = chosen ? *chosen : none;
    if (chosen && input.pointerOff) headlessSetPointer(-1, -1);
    if (chosen && !input.pointerOff) {
        int x = 0, y = 0;
        pointerAt(input, frame, x, y);
        headlessSetPointer(x, y);
    }
    headlessSetButtons(input.buttons);
    headlessSetKey(scanLeft, input.left);
    headlessSetKey(scanRight, input.right);
}

void putLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

int scenarioFrames(const Scenario& scenario) {
    if (scenario.frames >= 0) return scenario.frames;
    int frames = 0;
    for (const ScenarioInput& input : scenario.inputs)
        if (input.lastFrame + 1 > frames) frames = input.lastFrame + 1;
    return frames;
}

void pointerAt(const ScenarioInput& input, int frame, int& x, int& y) {
    x = pointerAlong(input.pointerX, input.pointerEndX, input.periodX, input, frame);
    y = pointerAlong(input.pointerY, input.pointerEndY, input.periodY, input, frame);
}

bool parseScenario(std::istream& script, Scenario& scenario, std::string& error) {
    std::string line;
    int number = 0;
    while (std::getline(script, line)) {
        ++number;
        std::string why;
        if (!parseLine(line, scenario, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
    }
    return true;
}

bool loadScenario(const std::string& path, Scenario& scenario, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    if (!parseScenario(file, scenario, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool runScenario(const Scenario& scenario, ScenarioResult& result, std::string& error, ReplayKeeper keeper) {
    GameStart start;
    start.seed = seedFromNumber(scenario.seed);
    start.keepReplay = keeper;
    if (!startUp(headlessBackend, start)) {
        error = std::string("cannot open the headless screen: ") + screenError();
        return false;
    }
    headlessSetActive(true);
    result.frames = scenarioFrames(scenario);
    for (int frame = 0; frame < result.frames; ++frame) {
        applyInput(scenario, frame);
        runFrame();
    }
    endRecording();
    result.pageHash = hashBytes(lastDrawnPage(), sizeof(uint32_t) * pageWidth * pageHeight);
    result.poolsHash = hashPools();
    return true;
}

bool runReplay(const std::vector<uint8_t>& replay, ScenarioResult& result, ReplayVerdict& verdict, std::string& error) {
    const ReplaySurvey survey = surveyReplay(replay.data(), replay.size());
    if (!survey.playable) return fail(error, survey.words);
    GameStart start;
    start.replayToWatch = replay;
    if (!startUp(headlessBackend, start))
        return fail(error, std::string("cannot open the headless screen: ") + screenError());
    headlessSetActive(true);
    result.frames = 0;
    for (; !replayOver(); ++result.frames) runFrame();
    verdict = replayVerdict();
    result.pageHash = hashBytes(lastDrawnPage(), sizeof(uint32_t) * pageWidth * pageHeight);
    result.poolsHash = hashPools();
    return true;
}

const uint32_t* lastDrawnPage() { return pagePixels(game.workPage ^ 1); }

uint64_t hashBytes(const void* data, std::size_t size, uint64_t hash) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t hashPools() {
    uint64_t hash = hashBytes(people.data(), sizeof people);
    hash = hashBytes(blasts.data(), sizeof blasts, hash);
    hash = hashBytes(bombs.data(), sizeof bombs, hash);
    hash = hashBytes(bloodDrops.data(), sizeof bloodDrops, hash);
    return hashBytes(gibs.data(), sizeof gibs, hash);
}

bool writePageBitmap(const std::string& path, const uint32_t* page, std::string& error) {
    if (page == nullptr) return fail(error, "no page to write");
    const uint32_t rowBytes = pageWidth * 3;  // 960, already a multiple of 4
    const uint32_t pixelBytes = rowBytes * pageHeight;
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, 54 + pixelBytes, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, 54, 4);
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, pageWidth, 4);
    putLittleEndian(out, pageHeight, 4);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 24, 2);
    for (int i = 0; i < 6; ++i) putLittleEndian(out, 0, 4);
    for (int y = pageHeight - 1; y >= 0; --y)
        for (int x = 0; x < pageWidth; ++x) putLittleEndian(out, page[y * pageWidth + x], 3);
    std::ofstream file(path, std::ios::binary);
    if (!file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size())))
        return fail(error, "cannot write " + path);
    return true;
}
