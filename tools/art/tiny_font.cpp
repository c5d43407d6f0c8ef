#include "tiny_font.h"

#include <string_view>

namespace {

struct Glyph {
    char character;
    const char* rows;  // five rows of three, '#' set
};

constexpr Glyph glyphs[] = {
    {'A', ".#.#.#####.##.#"}, {'B', "##.#.###.#.###."}, {'C', ".###..#..#...##"}, {'D', "##.#.##.##.###."},
    {'E', "####..##.#..###"}, {'F', "####..##.#..#.."}, {'G', ".###..#.##.#.##"}, {'H', "#.##.#####.##.#"},
    {'I', "###.#..#..#.###"}, {'J', "..#..#..##.#.#."}, {'K', "#.##.###.#.##.#"}, {'L', "#..#..#..#..###"},
    {'M', "#.########.##.#"}, {'N', "##.#.##.##.##.#"}, {'O', ".#.#.##.##.#.#."}, {'P', "##.#.###.#..#.."},
    {'Q', ".#.#.##.###..##"}, {'R', "##.#.###.#.##.#"}, {'S', ".###...#...###."}, {'T', "###.#..#..#..#."},
    {'U', "#.##.##.##.####"}, {'V', "#.##.##.##.#.#."}, {'W', "#.##.########.#"}, {'X', "#.##.#.#.#.##.#"},
    {'Y', "#.##.#.#..#..#."}, {'Z', "###..#.#.#..###"}, {'0', "####.##.##.####"}, {'1', ".#.##..#..#.###"},
    {'2', "##...#.#.#..###"}, {'3', "##...#.#...###."}, {'4', "#.##.####..#..#"}, {'5', "####..##...###."},
    {'6', ".###..####.####"}, {'7', "###..#.#..#..#."}, {'8', "####.#####.####"}, {'9', "####.####..###."},
    {'-', "......###......"}, {'.', ".............#."}, {':', "....#.....#...."}, {'+', "....#.###.#...."},
    {'/', "..#..#.#.#..#.."}, {',', "..........#.#.."}, {'(', ".#.#..#..#...#."}, {')', ".#...#..#..#.#."},
    {'=', "...###...###..."}, {' ', "..............."},
};

constexpr bool glyphsAreWellFormed() {
    for (const Glyph& g : glyphs)
        if (std::string_view(g.rows).size() != 15) return false;
    return true;
}
static_assert(glyphsAreWellFormed(), "a glyph is not five rows of three");

const char* rowsOf(char c) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    for (const Glyph& g : glyphs)
        if (g.character == c) return g.rows;
    return nullptr;
}

}  // namespace

void drawText(Canvas& canvas, int x, int y, const std::string& text, int scale, uint32_t colour) {
    for (char c : text) {
        if (const char* rows = rowsOf(c))
            for (int i = 0; i < 15; ++i)
                if (rows[i] == '#') fillRect(canvas, x + (i % 3) * scale, y + (i / 3) * scale, scale, scale, colour);
        x += 4 * scale;
    }
}

int textWidth(const std::string& text, int scale) { return text.empty() ? 0 : (4 * int(text.size()) - 1) * scale; }
