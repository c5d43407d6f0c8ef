// The game's shared memory: the five pools, the three picture banks and the game's state,
// all fixed in size, and the one reset of them all.
#include "game/game_state.h"

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
