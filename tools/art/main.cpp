// make_art DIRECTORY: draws the game's artwork and writes the seven bitmaps there.
#include <cstdio>
#include <string>

#include "art.h"
#include "bmp_writer.h"
#include "game/crowd.h"

namespace {

// Written beside the target and renamed over it, so a failed run never leaves a
// half-written bitmap where the game would read it.
bool writeAsset(const std::string& directory, const std::string& name, const Canvas& canvas) {
    std::string path = directory + "/" + name;
    std::string partial = path + ".part";
    std::string error;
    if (!writeBitmap(partial, canvas, error)) {
        std::fprintf(stderr, "make_art: %s\n", error.c_str());
        std::remove(partial.c_str());
        return false;
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "make_art: cannot rename %s to %s\n", partial.c_str(), path.c_str());
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

Canvas halfOfScene(const Canvas& scene, int half) {
    Canvas canvas = makeCanvas(sheetWidth, sheetHeight, 0);
    copyRect(scene, half * sheetWidth, 0, sheetWidth, sheetHeight, canvas, 0, 0);
    return canvas;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art DIRECTORY\n");
        return 2;
    }
    std::string directory = argv[1];
    Canvas scene = paintScene();
    bool ok = writeAsset(directory, "BACKG11a24.BMP", halfOfScene(scene, 0));
    ok = ok && writeAsset(directory, "BACKG12a24.BMP", halfOfScene(scene, 1));
    ok = ok && writeAsset(directory, "sprites124.BMP", paintSpriteSheet());
    for (int kind = firstManKind; kind <= womanKind && ok; ++kind) {
        std::string name = "stooge" + std::to_string(kind) + "24.BMP";
        ok = writeAsset(directory, name, paintPeopleSheet(kind));
    }
    return ok ? 0 : 1;
}
