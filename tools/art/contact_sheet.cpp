// The contact sheet (docs/art.png): every rectangle the game cuts, enlarged on a
// checkerboard that shows where the key colour leaves the scene visible, numbered with
// its slot or frame, and each sheet introduced by a line saying what its cuts are for.
#include <algorithm>
#include <string>
#include <vector>

#include "art.h"
#include "game/crowd.h"
#include "game/people_sheet.h"
#include "tiny_font.h"

namespace {

constexpr int pageWidth = 800, margin = 8, gap = 8, textScale = 2, lineHeight = 14;
constexpr uint32_t pageColour = 0x24262C, textColour = 0xE6E6DC, headingColour = 0xF8D278, frameColour = 0x6A6E76;

struct Cut {
    int number;
    SheetRect rect;
};

// The sprite sheet's cuts as the game makes them (slot, then the rectangle).
const Cut spriteCuts[] = {
    {1, {0, 0, 17, 18}},   {2, {29, 0, 17, 18}},  {3, {116, 0, 25, 26}}, {4, {145, 0, 25, 26}},
    {5, {174, 0, 25, 26}}, {6, {203, 0, 25, 26}}, {7, {232, 0, 25, 26}}, {8, {261, 0, 25, 26}},
    {9, {60, 7, 9, 11}},   {11, {5, 40, 17, 8}},  {12, {30, 43, 7, 4}},  {13, {39, 43, 8, 3}},
};

struct Cursor {
    Canvas& page;
    int y;
};

void heading(Cursor& at, const std::string& text, uint32_t colour = headingColour) {
    drawText(at.page, margin, at.y, text, textScale, colour);
    at.y += lineHeight;
}

// One cut at scale pixels per pixel over a checkerboard, framed, its number below.
// Returns the width it took.
int drawCut(Canvas& page, const Canvas& sheet, const Cut& cut, int scale, int x, int y) {
    const SheetRect& r = cut.rect;
    fillRect(page, x - 1, y - 1, r.width * scale + 2, r.height * scale + 2, frameColour);
    for (int py = 0; py < r.height * scale; ++py)
        for (int px = 0; px < r.width * scale; ++px) {
            uint32_t pixel = pixelAt(sheet, r.left + px / scale, r.top + py / scale);
            bool light = ((px / 6) + (py / 6)) % 2 == 0;
            setPixel(page, x + px, y + py, pixel != keyColour ? pixel : (light ? 0xB4B8BC : 0x9CA0A6));
        }
    std::string label = std::to_string(cut.number);
    int width = std::max(r.width * scale, textWidth(label, textScale));
    drawText(page, x + (r.width * scale - textWidth(label, textScale)) / 2, y + r.height * scale + 4, label, textScale,
             textColour);
    return width;
}

void drawScene(Cursor& at, const Canvas& scene) {
    heading(at, "BACKG11A24.BMP + BACKG12A24.BMP: THE SCENE, ACTUAL SIZE (SLOTS 1 AND 2)");
    copyRect(scene, 0, 0, scene.width, scene.height, at.page, margin, at.y);
    at.y += scene.height + 2 * gap;
}

void drawSprites(Cursor& at, const Canvas& sprites) {
    heading(at, "SPRITES124.BMP, 3 TIMES ENLARGED");
    heading(at, "1 CROSSHAIR  2 FIRING OVERLAY  3-8 BLAST FRAMES  9 BOMB  11 SCORCH MARK", textColour);
    heading(at, "12 BOMB SHADOW CLOSE  13 BOMB SHADOW FAR", textColour);
    at.y += 2;
    int x = margin + 1, tallest = 0;
    for (const Cut& cut : spriteCuts) {
        x += drawCut(at.page, sprites, cut, 3, x, at.y) + gap + 2;
        tallest = std::max(tallest, cut.rect.height * 3);
    }
    at.y += tallest + lineHeight + 2 * gap;
}

void drawPeople(Cursor& at, const Canvas& sheet, int kind) {
    const char* who[personKindCount] = {"TALL MAN, BROWN HAIR, BLUE SHIRT", "BROAD MAN, GREEN CAP, RUST JACKET",
                                        "SHORT MAN, FAIR HAIR, WHITE SHIRT, SATCHEL",
                                        "WOMAN, LONG AUBURN HAIR, PURPLE DRESS"};
    heading(at, "STOOGE" + std::to_string(kind) + "24.BMP: KIND " + std::to_string(kind) + ", " + who[kind - 1] +
                    ", 3 TIMES ENLARGED (BLOOD 6 TIMES)");
    heading(at, "1-4 WALK  5-7 FALL AFTER A BODY SHOT  8 BODY  9-11 FALL AFTER A HEAD SHOT  12 BODY", textColour);
    heading(at, "13-15 CHUNKS  16-24 BLOOD (18-21 SPLASHES)  25-26 CRAWL  27 FINISHED  42 BLED OUT", textColour);
    heading(at, "50-51 THROWN, LANDED  38-41 MORE BLOOD  OTHERS SPARE (FACING LEFT, BURNT)", textColour);
    at.y += 2;
    constexpr int perRow = 13, pitch = 60, rowHeight = 13 * 3 + lineHeight + gap;
    for (int f = 1; f <= peopleSheetFrameCount; ++f) {
        int column = (f - 1) % perRow, row = (f - 1) / perRow;
        SheetRect r = peopleFrameRect(f);
        int scale = r.width == 4 ? 6 : 3;
        drawCut(at.page, sheet, Cut{f, r}, scale, margin + 1 + column * pitch, at.y + row * rowHeight);
    }
    at.y += (peopleSheetFrameCount + perRow - 1) / perRow * rowHeight + gap;
}

}  // namespace

Canvas paintContactSheet(const Canvas& scene, const Canvas& sprites, const Canvas (&people)[personKindCount]) {
    Canvas page = makeCanvas(pageWidth, 4000, pageColour);
    Cursor at{page, margin};
    heading(at, "CROWDFIRE ARTWORK: EVERY CUT THE GAME MAKES, NUMBERED BY SLOT OR FRAME");
    at.y += gap;
    drawScene(at, scene);
    drawSprites(at, sprites);
    for (int kind = firstManKind; kind <= womanKind; ++kind) drawPeople(at, people[kind - 1], kind);
    Canvas used = makeCanvas(pageWidth, at.y, pageColour);
    copyRect(page, 0, 0, pageWidth, at.y, used, 0, 0);
    return used;
}
