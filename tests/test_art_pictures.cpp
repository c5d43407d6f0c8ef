// What the pictures hold where the game cuts them: backgrounds that cover the page and
// meet without a seam, sprites that read as what they are for, and people whose bodies
// lie exactly where the gun tests its hits.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "game/crowd.h"
#include "test_art_files.h"
#include "test_fixtures.h"

using namespace art_test;

namespace {

Bitmap sheet(const std::string& name) {
    Bitmap bmp = readBitmap(runPath(name));
    EXPECT_EQ(bmp.problem, "");
    return bmp;
}

Bitmap peopleSheet(int kind) { return sheet("stooge" + std::to_string(kind) + "24.BMP"); }

bool inside(const Rect& r, int x, int y) { return x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2; }

int colourDistance(uint32_t a, uint32_t b) {
    return std::abs(red(a) - red(b)) + std::abs(green(a) - green(b)) + std::abs(blue(a) - blue(b));
}

// A near-miss of the key colour would be drawn as a pink fringe or a whole pink box.
int nearKeyPixels(const Bitmap& bmp) {
    int n = 0;
    for (uint32_t p : bmp.pixels) n += p != key && colourDistance(p, key) < 120;
    return n;
}

}  // namespace

TEST(Backgrounds, CoverTheWholePageAndJoinWithoutASeam) {
    Bitmap left = sheet("BACKG11a24.BMP"), right = sheet("BACKG12a24.BMP");
    ASSERT_EQ(left.pixels.size(), 320u * 240u);
    ASSERT_EQ(right.pixels.size(), 320u * 240u);
    // Drawn opaque: a key-coloured pixel would show as magenta.
    EXPECT_EQ(nearKeyPixels(left) + nearKeyPixels(right), 0);
    for (uint32_t p : left.pixels) ASSERT_NE(p, key);
    for (uint32_t p : right.pixels) ASSERT_NE(p, key);
    // Across world x = 320 the picture changes no more than between any two neighbouring
    // columns of its halves.
    auto columnStep = [](const Bitmap& a, int xa, const Bitmap& b, int xb) {
        int sum = 0;
        for (int y = 0; y < 240; ++y) sum += colourDistance(a.at(xa, y), b.at(xb, y));
        return sum;
    };
    int seam = columnStep(left, 319, right, 0);
    int typical = (columnStep(left, 318, left, 319) + columnStep(right, 0, right, 1)) / 2;
    EXPECT_LE(seam, typical * 2 + 240) << "seam " << seam << " against " << typical;
}

TEST(Backgrounds, GroundIsCalmUnderThePeople) {
    // People walk with their top edge from row 38 to 217; their ground must be quiet enough
    // that a dark body or red blood stands out: no strong reds, no near-black patches.
    for (const char* name : {"BACKG11a24.BMP", "BACKG12a24.BMP"}) {
        Bitmap bmp = sheet(name);
        int reds = 0, darks = 0;
        for (int y = 50; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                reds += bloodRed(bmp.at(x, y));
                darks += brightness(bmp.at(x, y)) < 45;
            }
        EXPECT_EQ(reds, 0) << name;
        EXPECT_LT(darks, 320 * 190 / 200) << name << ": under half a percent may be that dark";
    }
}

TEST(SpriteSheet, EveryCutHoldsAPictureAndNothingLiesOutsideTheCuts) {
    Bitmap bmp = sheet("sprites124.BMP");
    for (const SpriteCut& cut : spriteCuts) EXPECT_GT(opaqueCount(bmp, cut.rect), 0) << "slot " << cut.slot;
    int stray = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            bool cut = false;
            for (const SpriteCut& c : spriteCuts) cut = cut || inside(c.rect, x, y);
            stray += !cut && bmp.at(x, y) != key;
        }
    EXPECT_EQ(stray, 0);
    EXPECT_EQ(nearKeyPixels(bmp), 0);
}

TEST(SpriteSheet, CrosshairAndFlashCentreOnThePointer) {
    Bitmap bmp = sheet("sprites124.BMP");
    // Both are drawn 8 pixels left of and above the pointer: the aim point is (8, 8).
    uint32_t aim = bmp.at(8, 8);
    EXPECT_NE(aim, key) << "the crosshair marks the aim point itself";
    int light = 0, dark = 0, leftHalf = 0, rightHalf = 0;
    for (int y = 0; y <= 17; ++y)
        for (int x = 0; x <= 16; ++x) {
            uint32_t p = bmp.at(x, y);
            if (p == key) continue;
            light += brightness(p) > 200;
            dark += brightness(p) < 60;
            if (x < 8) ++leftHalf;
            if (x > 8) ++rightHalf;
        }
    // A light ring with a dark outline shows on sky, grass, stone and blood alike.
    EXPECT_GE(light, 12);
    EXPECT_GE(dark, 12);
    EXPECT_EQ(leftHalf, rightHalf) << "the crosshair is symmetric about the aim column";
    // The flash: its picture is balanced around the same point.
    long sumX = 0, sumY = 0, n = 0;
    for (int y = 0; y <= 17; ++y)
        for (int x = 29; x <= 45; ++x)
            if (bmp.at(x, y) != key) sumX += x - 29, sumY += y, ++n;
    ASSERT_GT(n, 20);
    EXPECT_NEAR(double(sumX) / n, 8.0, 0.5);
    EXPECT_NEAR(double(sumY) / n, 8.0, 0.5);
    // ...and leaves a hole 7 pixels across, so the hit person shows through it.
    for (int y = 5; y <= 11; ++y)
        for (int x = 29 + 5; x <= 29 + 11; ++x)
            if ((x - 37) * (x - 37) + (y - 8) * (y - 8) <= 9) {
                EXPECT_EQ(bmp.at(x, y), key) << x - 29 << "," << y;
            }
}

TEST(SpriteSheet, BlastsGoFromFireToSmoke) {
    Bitmap bmp = sheet("sprites124.BMP");
    auto warmth = [&](int slot) {  // how much redder than blue the frame is, on average
        const Rect& r = spriteCuts[slot - 1].rect;
        long sum = 0, n = 0;
        for (int y = r.y1; y <= r.y2; ++y)
            for (int x = r.x1; x <= r.x2; ++x)
                if (bmp.at(x, y) != key) sum += red(bmp.at(x, y)) - blue(bmp.at(x, y)), ++n;
        return n ? sum / n : -1;
    };
    EXPECT_GT(warmth(3), 60) << "the first frame is a hot flash";
    EXPECT_GT(warmth(4), 60);
    EXPECT_LT(warmth(8), 30) << "the last frame is grey smoke";
    EXPECT_GT(warmth(5), warmth(8));
    // Each frame is a roundish cloud that leaves the corners of its cut empty.
    for (int slot = 3; slot <= 8; ++slot) {
        const Rect& r = spriteCuts[slot - 1].rect;
        EXPECT_EQ(bmp.at(r.x1, r.y1), key);
        EXPECT_EQ(bmp.at(r.x2, r.y2), key);
    }
}

TEST(SpriteSheet, BombFallsNoseDownAndMarksAreDarkForBlending) {
    Bitmap bmp = sheet("sprites124.BMP");
    const Rect bomb = spriteCuts[8].rect;
    EXPECT_GT(opaqueCount(bmp, bomb, 0, 8, 0, 1), opaqueCount(bmp, bomb, 0, 8, 9, 10))
        << "fins wide on top, nose below";
    EXPECT_GT(opaqueCount(bmp, bomb, 0, 8, 10, 10), 0) << "the nose reaches the bottom row";
    // Scorch and shadows are blended at 160 and 100 of 255: only dark colours darken.
    for (int index : {9, 10, 11}) {
        const Rect& r = spriteCuts[index].rect;
        EXPECT_GT(opaqueCount(bmp, r), r.width() * r.height() / 2) << "slot " << spriteCuts[index].slot;
        for (int y = r.y1; y <= r.y2; ++y)
            for (int x = r.x1; x <= r.x2; ++x)
                if (bmp.at(x, y) != key) {
                    EXPECT_LT(brightness(bmp.at(x, y)), 70) << x << "," << y;
                }
    }
}

class PeopleSheets : public ::testing::TestWithParam<int> {};

TEST_P(PeopleSheets, EveryFrameHoldsAPictureOnTheKeyColourAndNothingStrays) {
    Bitmap bmp = peopleSheet(GetParam());
    for (int f = 1; f <= 53; ++f) {
        Rect r = peopleFrame(f);
        int area = r.width() * r.height(), opaque = opaqueCount(bmp, r);
        EXPECT_GT(opaque, 0) << "frame " << f;
        // A figure is a shape on the key colour, never a filled box.
        if (r.width() == 16) {
            EXPECT_LT(opaque, area / 2) << "frame " << f;
        }
    }
    int stray = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            bool cut = false;
            for (int f = 1; f <= 53 && !cut; ++f) cut = inside(peopleFrame(f), x, y);
            stray += !cut && bmp.at(x, y) != key;
        }
    EXPECT_EQ(stray, 0) << "pixels outside every cut mean a frame was painted in the wrong place";
    EXPECT_EQ(nearKeyPixels(bmp), 0);
}

// A shot hits a walking person within 4 columns of column 6: head rows 0 to 4, torso
// 5 to 9, legs 10 and 11. What the player sees must be what the gun tests.
TEST_P(PeopleSheets, WalkersFillTheirHitZonesAndNothingElse) {
    Bitmap bmp = peopleSheet(GetParam());
    for (int f = 1; f <= 4; ++f) {
        Rect r = peopleFrame(f);
        EXPECT_GT(opaqueCount(bmp, r, 5, 7, 0, 4), 4) << "head, frame " << f;
        EXPECT_GT(opaqueCount(bmp, r, 5, 7, 5, 9), 10) << "torso, frame " << f;
        EXPECT_GT(opaqueCount(bmp, r, 4, 8, 10, 11), 2) << "legs, frame " << f;
        EXPECT_GT(opaqueCount(bmp, r, 2, 10, 12, 12), 0) << "feet, frame " << f;
        EXPECT_EQ(opaqueCount(bmp, r, 0, 1), 0) << "left of the hit columns, frame " << f;
        EXPECT_EQ(opaqueCount(bmp, r, 11, 15), 0) << "right of the hit columns, frame " << f;
    }
    // The walk moves: no two neighbouring steps are the same picture.
    for (int f = 1; f <= 4; ++f) {
        Rect a = peopleFrame(f), b = peopleFrame(f % 4 + 1);
        int differing = 0;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 16; ++x) differing += bmp.at(a.x1 + x, a.y1 + y) != bmp.at(b.x1 + x, b.y1 + y);
        EXPECT_GE(differing, 4) << "frames " << f << " and " << f % 4 + 1;
    }
}

// A wounded person on the ground is hit 8 to 11 rows below its top edge, within the same
// columns; the crawling body lies there and not above.
TEST_P(PeopleSheets, LyingBodiesLieOnTheGround) {
    Bitmap bmp = peopleSheet(GetParam());
    for (int f : {25, 26}) {
        Rect r = peopleFrame(f);
        EXPECT_GE(opaqueCount(bmp, r, 2, 10, 8, 11), 16) << "crawling frame " << f;
        EXPECT_EQ(opaqueCount(bmp, r, 0, 15, 0, 7), 0) << "crawling frame " << f;
    }
    // Bodies left for good: on the ground, and bloody.
    for (int f : {8, 12, 27, 42, 51}) {
        Rect r = peopleFrame(f);
        EXPECT_EQ(opaqueCount(bmp, r, 0, 15, 0, 7), 0) << "body frame " << f;
        int blood = 0;
        for (int y = r.y1; y <= r.y2; ++y)
            for (int x = r.x1; x <= r.x2; ++x) blood += bloodRed(bmp.at(x, y));
        EXPECT_GE(blood, 2) << "body frame " << f;
    }
}

TEST_P(PeopleSheets, BloodFramesAreBloodAndChunksAreFleshAndCloth) {
    Bitmap bmp = peopleSheet(GetParam());
    for (int f = 16; f <= 24; ++f) {
        Rect r = peopleFrame(f);
        for (int y = r.y1; y <= r.y2; ++y)
            for (int x = r.x1; x <= r.x2; ++x)
                if (bmp.at(x, y) != key) {
                    EXPECT_TRUE(bloodRed(bmp.at(x, y))) << "frame " << f << " at " << x << "," << y;
                }
    }
    for (int f = 13; f <= 15; ++f) {
        Rect r = peopleFrame(f);
        int blood = 0, other = 0;
        for (int y = r.y1; y <= r.y2; ++y)
            for (int x = r.x1; x <= r.x2; ++x)
                if (bmp.at(x, y) != key) (bloodRed(bmp.at(x, y)) ? blood : other)++;
        EXPECT_GT(blood, 0) << "chunk " << f;
        EXPECT_GT(other, 0) << "chunk " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PeopleSheets,
                         ::testing::Values(firstManKind, secondManKind, thirdManKind, womanKind));

// Three clearly different men and a woman: any two kinds differ in the head (hair) and
// in the clothes, not only by a pixel or two.
TEST(PeopleKinds, LookClearlyDifferent) {
    std::array<Bitmap, 5> sheets;
    for (int kind = firstManKind; kind <= womanKind; ++kind) sheets[kind] = peopleSheet(kind);
    auto differing = [&](int a, int b, int row0, int row1) {
        Rect r = peopleFrame(1);
        int n = 0;
        for (int y = row0; y <= row1; ++y)
            for (int x = 0; x < 16; ++x) n += colourDistance(sheets[a].at(r.x1 + x, y), sheets[b].at(r.x1 + x, y)) > 60;
        return n;
    };
    for (int a = firstManKind; a <= womanKind; ++a)
        for (int b = a + 1; b <= womanKind; ++b) {
            EXPECT_GE(differing(a, b, 0, 4), 4) << "heads of kinds " << a << " and " << b;
            EXPECT_GE(differing(a, b, 5, 12), 12) << "clothes of kinds " << a << " and " << b;
        }
    // The woman's long hair falls past her head, onto her shoulders.
    Rect r = peopleFrame(1);
    EXPECT_GT(opaqueCount(sheets[womanKind], r, 0, 4, 4, 6), opaqueCount(sheets[firstManKind], r, 0, 4, 4, 6));
}

// Each kind walks in a shape of its own (build, height, hat, hair, dress), so the player
// tells them apart by outline, not only by colour: in every step of the walk any two
// kinds differ in at least a dozen pixels of their outline.
TEST(PeopleKinds, WalkInSilhouettesOfTheirOwn) {
    std::array<Bitmap, 5> sheets;
    for (int kind = 1; kind <= 4; ++kind) sheets[kind] = peopleSheet(kind);
    for (int f = 1; f <= 4; ++f) {
        Rect r = peopleFrame(f);
        for (int a = 1; a <= 4; ++a)
            for (int b = a + 1; b <= 4; ++b) {
                int differing = 0;
                for (int y = r.y1; y <= r.y2; ++y)
                    for (int x = r.x1; x <= r.x2; ++x)
                        differing += (sheets[a].at(x, y) == key) != (sheets[b].at(x, y) == key);
                EXPECT_GE(differing, 12) << "kinds " << a << " and " << b << ", frame " << f;
            }
    }
}

using ArtCuts = HeadlessScreen;

// The game's own path: each sheet loaded onto the page, its rectangles cut with grabImage;
// every cut the game later draws is a picture, not a blank.
TEST_F(ArtCuts, EveryRectangleTheGameCutsHoldsAPicture) {
    setPages(0, 1);
    std::vector<uint32_t> buffer(1 + 26 * 26);
    auto cutHasPicture = [&](const Rect& r) {
        EXPECT_EQ(
            grabImage(float(r.x1), float(r.y1), float(r.x2), float(r.y2), buffer.data(), buffer.data() + buffer.size()),
            resultOk);
        EXPECT_EQ(buffer[0], imageHeader(r.width(), r.height()));
        for (int i = 1; i <= r.width() * r.height(); ++i)
            if ((buffer[size_t(i)] & 0xFFFFFF) != key) return true;
        return false;
    };
    ASSERT_EQ(loadBitmap(runPath("sprites124.BMP").c_str()), resultOk);
    for (const SpriteCut& c : spriteCuts) EXPECT_TRUE(cutHasPicture(c.rect)) << "sprite slot " << c.slot;
    for (int kind = firstManKind; kind <= womanKind; ++kind) {
        std::string name = "stooge" + std::to_string(kind) + "24.BMP";
        ASSERT_EQ(loadBitmap(runPath(name).c_str()), resultOk);
        for (int f = 1; f <= 53; ++f) EXPECT_TRUE(cutHasPicture(peopleFrame(f))) << name << " frame " << f;
    }
}
