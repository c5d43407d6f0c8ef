// The crowd's cries. Wounds are short, sharp shouts; deaths are longer and each has its
// own pitch, vowel and shape, so a massacre does not sound like one man dying twelve times.
#include "sounds.h"

#include "voice.h"

namespace synth {

namespace {

using V = Vowel;

Samples finish(Samples s, double peak) {
    fadeEnds(s, 0.004, 0.03);
    normalizePeak(s, peak);
    return s;
}

}  // namespace

// "Agh!": a sudden shout that jumps up in pitch and breaks off into a gasp.
Samples makeManWound() {
    Cry c{101,
          0.0,
          0.42,
          {{0, 190}, {0.05, 265}, {0.16, 240}, {0.36, 165}},
          {{0, 0}, {0.012, 1}, {0.2, 0.8}, {0.3, 0.35}, {0.42, 0}},
          {V::ae, V::a, V::uh},
          {{0, 0}, {0.12, 1}, {0.36, 2}},
          {{0, 0.15}, {0.22, 0.3}, {0.3, 1.0}, {0.42, 1.0}},
          0.012,
          0.12,
          0.014,
          0.45,
          0.25,
          5000};
    return finish(speakCry(c), 0.62);
}

// A long "aaargh" that rises in agony, then sinks and trails off into a breath.
Samples makeManDeath1() {
    Cry c{111,
          0.0,
          1.25,
          {{0, 175}, {0.15, 235}, {0.45, 225}, {0.9, 140}, {1.2, 110}},
          {{0, 0}, {0.03, 0.9}, {0.35, 1}, {0.8, 0.7}, {1.05, 0.25}, {1.25, 0}},
          {V::a, V::uh, V::er},
          {{0, 0}, {0.6, 0.6}, {1.1, 2}},
          {{0, 0.15}, {0.8, 0.3}, {1.05, 0.9}, {1.25, 1.0}},
          0.015,
          0.15,
          0.021,
          0.45,
          0.35,
          4500};
    return finish(speakCry(c), 0.62);
}

// A deep groan, "ooh-oh", falling low; a man winded rather than screaming.
Samples makeManDeath2() {
    Cry c{122,
          0.0,
          1.0,
          {{0, 150}, {0.1, 160}, {0.4, 130}, {0.55, 140}, {0.95, 95}},
          {{0, 0}, {0.05, 0.9}, {0.38, 0.75}, {0.46, 0.3}, {0.55, 0.85}, {0.85, 0.4}, {1.0, 0}},
          {V::aw, V::oo, V::book},
          {{0, 0}, {0.4, 1}, {0.55, 0.3}, {1.0, 2}},
          {{0, 0.2}, {0.7, 0.4}, {1.0, 1.0}},
          0.012,
          0.1,
          0.014,
          0.6,
          0.15,
          2500};
    return finish(speakCry(c), 0.62);
}

// A high "yaaah!": the mouth opens from ee to ah as the voice cracks upward.
Samples makeManDeath3() {
    Cry c{133,
          0.0,
          1.05,
          {{0, 220}, {0.12, 275}, {0.35, 295}, {0.7, 240}, {1.0, 180}},
          {{0, 0}, {0.02, 1}, {0.5, 0.95}, {0.85, 0.45}, {1.05, 0}},
          {V::ee, V::ae, V::a},
          {{0, 0}, {0.1, 1}, {0.3, 2}},
          {{0, 0.1}, {0.7, 0.25}, {1.05, 0.8}},
          0.018,
          0.18,
          0.028,
          0.4,
          0.3,
          6500};
    return finish(speakCry(c), 0.6);
}

// "Uuugh": a short, low grunt that sinks into a rasp, the last air pressed out.
Samples makeManDeath4() {
    Cry c{144,
          0.0,
          0.85,
          {{0, 135}, {0.08, 150}, {0.5, 110}, {0.85, 80}},
          {{0, 0}, {0.03, 1}, {0.4, 0.75}, {0.7, 0.3}, {0.85, 0}},
          {V::uh, V::book, V::er},
          {{0, 0}, {0.4, 1}, {0.85, 1.6}},
          {{0, 0.2}, {0.5, 0.4}, {0.85, 1.0}},
          0.021,
          0.2,
          0.014,
          0.5,
          0.6,
          3000};
    return finish(speakCry(c), 0.7);
}

// "Aaiieee": a wail that slides from ah to ee and climbs before it fails. The game plays
// it for men and women alike, so it sits between them: a man's scream or a low woman's,
// from a vocal tract half way between the two.
Samples makeManDeath5() {
    Cry c{155,
          0.45,
          1.3,
          {{0, 250}, {0.25, 330}, {0.6, 380}, {0.95, 320}, {1.3, 210}},
          {{0, 0}, {0.04, 0.85}, {0.6, 1}, {1.05, 0.5}, {1.3, 0}},
          {V::a, V::eh, V::ee},
          {{0, 0}, {0.45, 1}, {0.9, 2}},
          {{0, 0.15}, {1.0, 0.35}, {1.3, 0.9}},
          0.015,
          0.14,
          0.035,
          0.42,
          0.2,
          6000};
    return finish(speakCry(c), 0.6);
}

// "Ah!": a sharp, high gasp of pain.
Samples makeWomanWound() {
    Cry c{201,
          1.0,
          0.4,
          {{0, 400}, {0.04, 540}, {0.15, 500}, {0.35, 360}},
          {{0, 0}, {0.01, 1}, {0.18, 0.8}, {0.28, 0.3}, {0.4, 0}},
          {V::ae, V::a},
          {{0, 0}, {0.2, 1}},
          {{0, 0.2}, {0.2, 0.35}, {0.28, 1.0}, {0.4, 1.0}},
          0.012,
          0.1,
          0.014,
          0.5,
          0.15,
          6000};
    return finish(speakCry(c), 0.58);
}

// A full scream, "aaaah", held high and then falling away.
Samples makeWomanDeath1() {
    Cry c{211,
          1.0,
          1.3,
          {{0, 520}, {0.15, 640}, {0.6, 660}, {1.0, 480}, {1.3, 380}},
          {{0, 0}, {0.03, 1}, {0.7, 0.9}, {1.1, 0.35}, {1.3, 0}},
          {V::ae, V::a, V::uh},
          {{0, 0}, {0.2, 1}, {1.2, 2}},
          {{0, 0.1}, {0.9, 0.25}, {1.3, 0.8}},
          0.012,
          0.12,
          0.028,
          0.4,
          0.2,
          7000};
    return finish(speakCry(c), 0.55);
}

// A shrill "eeeek" that wavers and breaks downward into "eh".
Samples makeWomanDeath2() {
    Cry c{222,
          1.0,
          1.05,
          {{0, 620}, {0.1, 760}, {0.45, 720}, {0.8, 540}, {1.05, 440}},
          {{0, 0}, {0.02, 0.9}, {0.5, 1}, {0.85, 0.4}, {1.05, 0}},
          {V::ee, V::eh},
          {{0, 0}, {0.5, 0.2}, {0.9, 1}},
          {{0, 0.1}, {0.8, 0.3}, {1.05, 0.8}},
          0.015,
          0.14,
          0.042,
          0.38,
          0.15,
          8000};
    return finish(speakCry(c), 0.6);
}

// A moaning "ohhh-oh", lower and softer: dying rather than screaming.
Samples makeWomanDeath3() {
    Cry c{233,
          1.0,
          1.0,
          {{0, 380}, {0.1, 420}, {0.45, 340}, {0.55, 360}, {1.0, 260}},
          {{0, 0}, {0.05, 0.9}, {0.42, 0.7}, {0.5, 0.3}, {0.58, 0.8}, {0.9, 0.35}, {1.0, 0}},
          {V::aw, V::oo},
          {{0, 0}, {0.45, 1}, {0.55, 0.4}, {1.0, 1}},
          {{0, 0.25}, {0.6, 0.45}, {1.0, 1.0}},
          0.012,
          0.1,
          0.021,
          0.6,
          0.1,
          3500};
    return finish(speakCry(c), 0.58);
}

// A sobbing "ah-uh-aah": two catches of breath, then a last cry that fades.
Samples makeWomanDeath4() {
    Cry c{244,
          1.0,
          1.15,
          {{0, 470}, {0.15, 430}, {0.25, 520}, {0.4, 470}, {0.5, 560}, {0.9, 430}, {1.15, 330}},
          {{0, 0},
           {0.02, 0.8},
           {0.16, 0.7},
           {0.21, 0.1},
           {0.26, 0.85},
           {0.4, 0.6},
           {0.45, 0.1},
           {0.5, 1},
           {0.85, 0.6},
           {1.15, 0}},
          {V::a, V::uh, V::a},
          {{0, 0}, {0.2, 1}, {0.5, 2}, {1.15, 1.5}},
          {{0, 0.3}, {0.8, 0.4}, {1.15, 0.9}},
          0.015,
          0.15,
          0.035,
          0.45,
          0.2,
          6000};
    return finish(speakCry(c), 0.55);
}

}  // namespace synth
