// Every sound the game plays, each made from nothing but numbers in code.
#pragma once

#include "synth.h"

namespace synth {

Samples makeShot();
Samples makeExplosion();
Samples makeBombFall();
Samples makeSplat(int variant);  // 1 or 2
Samples makeEquip();

Samples makeManWound();
Samples makeManDeath1();
Samples makeManDeath2();
Samples makeManDeath3();
Samples makeManDeath4();
Samples makeManDeath5();
Samples makeWomanWound();
Samples makeWomanDeath1();
Samples makeWomanDeath2();
Samples makeWomanDeath3();
Samples makeWomanDeath4();

}  // namespace synth
