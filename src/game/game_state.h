// The game's memory: one record type shared by five fixed pools, the image and sound
// banks, and the global scalars. Everything is created once at start-up and lives until
// the program ends; nothing is allocated while the game runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One record of 17 four-byte slots, used by every pool. Each pool names the slots it
// uses; the same storage serves all of them, so the order and size are fixed. A slot a
// pool does not name keeps whatever the record's previous user left in it.
struct Entity {
    int32_t alive;       // 0  people: 1 while walking or wounded, 0 dying or gone
    int32_t deathFrame;  // 1  people: step of the death animation, 3 = finished
    int32_t deathKind;   // 2  people: torsoShot, headShot, ... (crowd.h)
    float x;             // 3  all: world x of the image's left edge
    float y;             // 4  all: screen y of the image's top edge
    float vx;            // 5  people, blood drops, gibs: pixels per frame to the right
    float targetY;       // 6  bombs: the row the bomb lands on
    float vy;            // 7  people, blood drops, gibs: upward speed, subtracted from y
    float unused8;       // 8  no pool uses it
    int32_t groundY;     // 9  people, blood drops, gibs: flight ends once y reaches it
    int32_t active;      // 10 every pool but people: record in use
    // 11 what the record is; each pool has its own kinds. People: firstManKind to
    // womanKind (crowd.h), also picking the block of people images. Blood drops:
    // sprayDrop... (blood_drops.h). Gibs: chunkGib... (gibs.h). Blasts: explosionBlast
    // (blasts.h). Bombs: fallingBomb (bombs.h).
    int32_t kind;
    union {                  // 12
        int32_t bleedTimer;  // people: updates left before bleeding to death
        int32_t animFrame;   // blasts: animation step 1 to 6
    };
    int32_t unused13;  // 13 no pool uses it
    // 14 blood drops and gibs: the image drawn. A people-bank slot, except for a scorch
    // mark, whose image is a sprite-bank slot. The spawns take it from their
    // `imageSelector`, which means a different thing by kind: the bleeding person's kind
    // for sprays, splashes and pool marks (the slot is then drawn at random from that
    // kind's blood images), the sprite slot for a scorch mark, the person's kind for a
    // chunk, and the people-bank slot itself for bodies and corpses.
    int32_t imageIndex;
    int32_t gait;        // 15 people: walking or wounded (crowd.h)
    int32_t flightMode;  // 16 gibs: ownFlight or thrownByBomb (gibs.h)
};
static_assert(sizeof(Entity) == 68, "an Entity is 17 four-byte slots");
static_assert(offsetof(Entity, x) == 3 * 4 && offsetof(Entity, targetY) == 6 * 4);
static_assert(offsetof(Entity, groundY) == 9 * 4 && offsetof(Entity, bleedTimer) == 12 * 4);
static_assert(offsetof(Entity, flightMode) == 16 * 4);

// A pool holds records 0 to Last; record 0 is never used by the game.
template <int Last>
using EntityPool = std::array<Entity, Last + 1>;

constexpr int peopleLast = 150;
constexpr int blastsLast = 25;
constexpr int bombsLast = 20;
constexpr int bloodDropsLast = 2000;
constexpr int gibsLast = 2000;

extern EntityPool<peopleLast> people;
extern EntityPool<blastsLast> blasts;
extern EntityPool<bombsLast> bombs;
extern EntityPool<bloodDropsLast> bloodDrops;
extern EntityPool<gibsLast> gibs;

// An image bank: row r holds one image buffer (see gfx/screen.h) from its first word.
// The rows are wide enough for any cut the game makes; untouched rows stay zero pages
// that the operating system never has to back with memory.
template <int LastSlot, int LastWord>
using SpriteBank = std::array<std::array<uint32_t, LastWord + 1>, LastSlot + 1>;

extern SpriteBank<400, 25600> peopleBank;
extern SpriteBank<20, 25600> spriteBank;
extern SpriteBank<4, 308000> backgroundBank;

// The first word of a bank slot, and the end of the whole bank: the limit grabImage
// checks a cut against.
template <class Bank>
uint32_t* bankRow(Bank& bank, int slot) {
    return bank[slot].data();
}
template <class Bank>
const uint32_t* bankEnd(const Bank& bank) {
    return bank[0].data() + bank.size() * bank[0].size();
}

// People images: image b of person kind k is slot blockSize * (k - 1) + b.
constexpr int kindBlockSize = 57;
constexpr int personImage(int kind, int image) { return kindBlockSize * (kind - 1) + image; }

struct GameState {
    int32_t targetFps;
    double lastFrameTime;  // clock reading when the previous frame's wait ended
    int32_t crowdCount;    // people records 1 to crowdCount are in play
    int32_t cycle4;        // 1..4, one step every five frames
    int32_t cycle5;        // 1..5, one step every frame
    int32_t cycle15;       // 1..15, one step every frame
    int32_t cycle2;        // 1..2, one step every fifteen frames
    int32_t cycle400;      // 1..400, one step every frame
    int32_t mouseX;
    int32_t mouseY;
    int32_t mouseButtons;  // 1 left alone, 2 right alone, 3 both, -1 unreadable
    int32_t fireCooldown;  // frames until the next shot or bomb
    int32_t scrollX;       // world x at the screen's left edge, 0 to 320
    int32_t shakeFrames;
    int32_t shakeOffset;  // added to every drawn y this frame
    int32_t workPage;
    int32_t crowdDirection;
    int32_t aliveCount;
    int32_t personFrame;  // image slot chosen for the person being processed
};

extern GameState game;

// Zero-fills every pool, bank and scalar, as the process starts.
void resetGameMemory();

// A 64-bit hash of everything the game's future depends on: every pool, every scalar but
// the clock's, and the random generator. Two runs with the same hash play on alike; a
// replay's checkpoints hold it (FNV-1a over the state's 32-bit words).
uint64_t gameStateHash();
