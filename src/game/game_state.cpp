// The game's shared memory: the five pools, the three picture banks and the game's state,
// all fixed in size, the one reset of them all, and the one hash of all that the game's
// future depends on.
#include "game/game_state.h"

#include <cstring>

#include "gfx/random.h"

EntityPool<peopleLast> people;
EntityPool<blastsLast> blasts;
EntityPool<bombsLast> bombs;
EntityPool<bloodDropsLast> bloodDrops;
EntityPool<gibsLast> gibs;

SpriteBank<400, 25600> peopleBank;
SpriteBank<20, 25600> spriteBank;
SpriteBank<4, 308000> backgroundBank;

GameState game;

void resetGameMemory() {
    people = {};
    blasts = {};
    bombs = {};
    bloodDrops = {};
    gibs = {};
    // The banks are zero at process start; clearing them touches every page, so only
    // the rows that can hold an image are cleared (a fresh start in tests).
    for (auto& row : peopleBank) row[0] = 0;
    for (auto& row : spriteBank) row[0] = 0;
    for (auto& row : backgroundBank) row[0] = 0;
    game = {};
}

namespace {

constexpr uint64_t fnvOffset = 14695981039346656037ull;
constexpr uint64_t fnvPrime = 1099511628211ull;

// Word by word: a quarter of the steps of a byte-wise FNV-1a over the same state.
void hashWords(uint64_t& hash, const void* data, size_t bytes) {
    const unsigned char* at = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i + 4 <= bytes; i += 4) {
        uint32_t word;
        std::memcpy(&word, at + i, 4);
        hash = (hash ^ word) * fnvPrime;
    }
}

template <class Pool>
void hashPool(uint64_t& hash, const Pool& pool) {
    hashWords(hash, pool.data(), sizeof(Entity) * pool.size());
}

}  // namespace

uint64_t gameStateHash() {
    uint64_t hash = fnvOffset;
    hashPool(hash, people);
    hashPool(hash, blasts);
    hashPool(hash, bombs);
    hashPool(hash, bloodDrops);
    hashPool(hash, gibs);
    // Every scalar but lastFrameTime, which is the clock's, not the game's.
    const int32_t scalars[] = {
        game.targetFps,   game.crowdCount,  game.cycle4,   game.cycle5,         game.cycle15,      game.cycle2,
        game.cycle400,    game.mouseX,      game.mouseY,   game.mouseButtons,   game.fireCooldown, game.scrollX,
        game.shakeFrames, game.shakeOffset, game.workPage, game.crowdDirection, game.aliveCount,   game.personFrame};
    hashWords(hash, scalars, sizeof scalars);
    const uint32_t generator[] = {randomGeneratorState()};
    hashWords(hash, generator, sizeof generator);
    uint64_t lastDraw;
    std::memcpy(&lastDraw, &lastRnd, sizeof lastDraw);
    const uint32_t lastDrawWords[] = {uint32_t(lastDraw), uint32_t(lastDraw >> 32)};
    hashWords(hash, lastDrawWords, sizeof lastDrawWords);
    return hash;
}
