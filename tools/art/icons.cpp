// The application icon at 32, 48, 64, 128 and 256 pixels (and for the browser version
// at 32, 192 and 512): the first walking frame of the
// first kind of person, filling the width, with the crosshair on their chest. Both are
// scaled from the game's own sheets by whole factors with no filtering, so the pixels
// stay sharp; the key colour becomes transparent.
#include "icons.h"

#include <filesystem>

#include "art.h"
#include "png_writer.h"

namespace {

// Cut rectangles as the game takes them: walking frame 1 of a person is 16 x 13 at
// (0, 0) of a people sheet, the crosshair 17 x 18 at (0, 0) of the sprite sheet with
// its aiming point at (8, 8).
constexpr int personWidth = 16, personHeight = 13;
constexpr int crosshairWidth = 17, crosshairHeight = 18, crosshairAim = 8;
constexpr int chestX = 6, chestY = 7;  // the person pixel the crosshair covers

void drawScaled(const Canvas& sheet, int width, int height, int scale, int left, int top, RgbaPicture& icon) {
    for (int y = 0; y < height * scale; ++y)
        for (int x = 0; x < width * scale; ++x) {
            uint32_t colour = pixelAt(sheet, x / scale, y / scale);
            int ix = left + x, iy = top + y;
            if (colour == keyColour || ix < 0 || iy < 0 || ix >= icon.width || iy >= icon.height) continue;
            icon.pixels[size_t(iy) * size_t(icon.width) + size_t(ix)] = 0xFF000000u | colour;
        }
}

RgbaPicture drawIcon(int size, const Canvas& people, const Canvas& sprites) {
    RgbaPicture icon{size, size, std::vector<uint32_t>(size_t(size) * size_t(size), 0)};
    const int personScale = size / personWidth;
    const int crosshairScale = std::max(1, personScale / 2);
    const int personTop = (size - personHeight * personScale) / 2;
    drawScaled(people, personWidth, personHeight, personScale, 0, personTop, icon);
    const int aimX = chestX * personScale + personScale / 2;
    const int aimY = personTop + chestY * personScale + personScale / 2;
    drawScaled(sprites, crosshairWidth, crosshairHeight, crosshairScale, aimX - crosshairAim * crosshairScale,
               aimY - crosshairAim * crosshairScale, icon);
    return icon;
}

// Written beside its place and renamed over it, so the web build never copies half a file.
bool writeIconFile(const std::filesystem::path& path, const RgbaPicture& icon, std::string& error) {
    const std::filesystem::path partial = path.string() + ".part";
    if (!writeRgbaPng(partial.string(), icon, error)) return false;
    std::error_code failure;
    std::filesystem::rename(partial, path, failure);
    if (!failure) return true;
    error = "cannot rename " + partial.string() + " to " + path.string();
    return false;
}

}  // namespace

bool writeIcons(const std::string& directory, const std::string& appId, std::string& error) {
    const Canvas people = paintPeopleSheet(1);
    const Canvas sprites = paintSpriteSheet();
    for (int size : {32, 48, 64, 128, 256}) {
        std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
        std::filesystem::path folder = std::filesystem::path(directory) / "hicolor" / sizeName / "apps";
        std::error_code failure;
        std::filesystem::create_directories(folder, failure);
        if (failure) {
            error = "cannot create " + folder.string();
            return false;
        }
        if (!writeRgbaPng((folder / (appId + ".png")).string(), drawIcon(size, people, sprites), error)) return false;
    }
    return true;
}

bool writeWebIcons(const std::string& directory, std::string& error) {
    const Canvas people = paintPeopleSheet(1);
    const Canvas sprites = paintSpriteSheet();
    std::error_code failure;
    std::filesystem::create_directories(directory, failure);
    if (failure) {
        error = "cannot create " + directory;
        return false;
    }
    struct WebIcon {
        int size;
        const char* name;
    };
    constexpr WebIcon webIcons[] = {{32, "favicon.png"}, {192, "icon-192.png"}, {512, "icon-512.png"}};
    for (const WebIcon& web : webIcons)
        if (!writeIconFile(std::filesystem::path(directory) / web.name, drawIcon(web.size, people, sprites), error))
            return false;
    return true;
}
