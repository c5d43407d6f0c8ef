// soak RUN_DIR [--frames N] [--seed S]
//
// Plays the headless game from RUN_DIR for N frames (default 100000) with random input:
// pointer walks and jumps, jumps off the page, every button mix, the arrow keys, focus
// lost and regained. After every frame it checks that the pools hold together (no NaN or
// infinity, every index inside its pool or bank, no count below zero, every live record
// drawable) and it reports resident memory as it goes. Exits 1 at the first broken
// invariant, or when memory keeps growing after the first tenth of the run.
//
// The input comes from a generator of its own, seeded by --seed: the game's generator
// makes exactly the draws it makes in play, and the same seed gives the same run.
#include <unistd.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "game/frame_loop.h"
#include "game/game_state.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/random.h"
#include "gfx/screen.h"

namespace {

constexpr long growthLimitKb = 16 * 1024;  // after warming up, the game allocates nothing

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The player: a pointer that mostly walks, sometimes jumps (now and then off the page),
// buttons and arrow keys that change now and then, and a window that loses the focus.
struct Player {
    std::mt19937_64 random;
    int x = 160, y = 120;
    bool active = true;

    explicit Player(uint64_t seed) : random(seed) {}
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; }

    void play() {
        if (chance(0.02)) {
            x = between(-60, 380);  // a jump, off the page about one time in four
            y = between(-60, 300);
        } else {
            x += between(-6, 6);
            y += between(-6, 6);
        }
        headlessSetPointer(x, y);
        if (chance(0.1)) headlessSetButtons(between(0, 7));
        if (chance(0.05)) headlessSetKey(scanLeft, chance(0.5));
        if (chance(0.05)) headlessSetKey(scanRight, chance(0.5));
        if (chance(active ? 0.002 : 0.05)) headlessSetActive(active = !active);
    }
};

struct Failure {
    long frame = 0;
    bool failed = false;
    void operator()(const char* pool, int index, const char* what) {
        std::fprintf(stderr, "soak: frame %ld: %s %d: %s\n", frame, pool, index, what);
        failed = true;
    }
};

bool finite(const Entity& e) {
    for (float v : {e.x, e.y, e.vx, e.targetY, e.vy, e.unused8})
        if (!std::isfinite(v)) return false;
    return true;
}

template <class Bank>
bool holdsImage(const Bank& bank, int slot) {
    return slot >= 1 && slot < int(bank.size()) && bank[size_t(slot)][0] != 0;
}

template <class Pool>
void checkCommon(const Pool& pool, const char* name, Failure& fail) {
    const Entity& unused = pool[0];
    if (unused.active || unused.alive || unused.x != 0 || unused.kind) fail(name, 0, "record 0 was used");
    for (int i = 1; i < int(pool.size()); ++i)
        if (!finite(pool[size_t(i)])) fail(name, i, "a position or speed is not a finite number");
}

void checkPools(Failure& fail) {
    checkCommon(people, "person", fail);
    checkCommon(blasts, "blast", fail);
    checkCommon(bombs, "bomb", fail);
    checkCommon(bloodDrops, "blood drop", fail);
    checkCommon(gibs, "gib", fail);
    if (game.crowdCount < 0 || game.crowdCount > peopleLast) fail("crowdCount", game.crowdCount, "outside the pool");
    if (game.aliveCount < 0) fail("aliveCount", game.aliveCount, "below zero");
    if (game.fireCooldown < 0 || game.shakeFrames < 0) fail("cooldown or shake", 0, "below zero");
    if (game.scrollX < 0 || game.scrollX > 320) fail("scrollX", game.scrollX, "outside the scene");
    for (int i = 1; i <= game.crowdCount && i <= peopleLast; ++i) {
        const Entity& p = people[size_t(i)];
        if (p.kind < 1 || p.kind > 4 || !holdsImage(peopleBank, personImage(p.kind, 1)))
            fail("person", i, "a kind with no images");
        if (p.deathFrame < 0 || p.deathFrame > 3) fail("person", i, "a death step outside 0 to 3");
    }
    for (int i = 1; i <= blastsLast; ++i)
        if (blasts[size_t(i)].active && (blasts[size_t(i)].animFrame < 1 || blasts[size_t(i)].animFrame > 6))
            fail("blast", i, "an animation step outside 1 to 6");
    for (int i = 1; i <= gibsLast; ++i)
        if (gibs[size_t(i)].active && !holdsImage(peopleBank, gibs[size_t(i)].imageIndex))
            fail("gib", i, "an image slot that holds no image");
    for (int i = 1; i <= bloodDropsLast; ++i) {
        const Entity& d = bloodDrops[size_t(i)];
        if (d.active && (d.imageIndex < 1 || d.imageIndex >= int(peopleBank.size())))
            fail("blood drop", i, "an image index outside the banks");
    }
}

int usage() {
    std::fprintf(stderr, "usage: soak RUN_DIR [--frames N] [--seed S]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) return usage();
    long frames = 100000;
    uint64_t seed = 1;
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        char* end = nullptr;
        if (option == "--frames") frames = std::strtol(argv[i + 1], &end, 10);
        else if (option == "--seed") seed = std::strtoull(argv[i + 1], &end, 10);
        else return usage();
        if (end == argv[i + 1] || *end != '\0' || frames < 1) return usage();
    }
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "soak: cannot enter %s\n", argv[1]);
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // sounds are played, and heard by no one
    if (!startUp(headlessBackend)) {
        std::fprintf(stderr, "soak: cannot open the headless screen: %s\n", screenError());
        return 1;
    }
    randomize(double(seed % 1000000));
    Player player(seed);
    Failure fail;
    long warmKb = 0, startKb = residentKb();
    std::printf("soak: %ld frames, seed %" PRIu64 ", resident %ld kB after start-up\n", frames, seed, startKb);
    for (fail.frame = 1; fail.frame <= frames && !fail.failed; ++fail.frame) {
        player.play();
        runFrame();
        checkPools(fail);
        if (fail.frame % (frames / 10 > 0 ? frames / 10 : 1) == 0) {
            long kb = residentKb();
            if (warmKb == 0) warmKb = kb;
            std::printf("soak: frame %ld: resident %ld kB, %d alive, %s\n", fail.frame, kb, game.aliveCount,
                        player.active ? "active" : "inactive");
            std::fflush(stdout);
        }
    }
    long endKb = residentKb();
    closeScreen();
    if (fail.failed) return 1;
    std::printf("soak: done, resident %ld kB at the start, %ld kB after a tenth, %ld kB at the end\n", startKb, warmKb,
                endKb);
    if (endKb - warmKb > growthLimitKb) {
        std::fprintf(stderr, "soak: resident memory grew by %ld kB after warming up\n", endKb - warmKb);
        return 1;
    }
    return 0;
}
