#include "game/startup.h"

int main() { return runGame(); }
