// make_art DIRECTORY: draws the game's artwork and writes the seven bitmaps there.
// make_art --icons DIRECTORY APP_ID: draws the application icons (PNG) there instead.
// make_art --web-icons DIRECTORY: draws the browser version's icons (PNG) there instead.
// make_art --contact-sheet FILE.png: writes one labelled picture of every cut instead.
#include <cstdio>
#include <cstring>
#include <string>

#include "art.h"
#include "bmp_writer.h"
#include "game/crowd.h"
#include "game/game_files.h"
#include "icons.h"
#include "png_writer.h"

namespace {

// Written beside the target and renamed over it, so a failed run never leaves a
// half-written file where it is read.
bool writeFile(const std::string& path, const Canvas& canvas, bool png) {
    std::string partial = path + ".part";
    std::string error;
    if (!(png ? writePng(partial, canvas, error) : writeBitmap(partial, canvas, error))) {
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

bool writeAsset(const std::string& directory, const std::string& name, const Canvas& canvas) {
    return writeFile(directory + "/" + name, canvas, false);
}

bool writeContactSheet(const std::string& path) {
    Canvas people[personKindCount];
    for (int kind = firstManKind; kind <= womanKind; ++kind) people[kind - 1] = paintPeopleSheet(kind);
    return writeFile(path, paintContactSheet(paintScene(), paintSpriteSheet(), people), true);
}

Canvas halfOfScene(const Canvas& scene, int half) {
    Canvas canvas = makeCanvas(sheetWidth, sheetHeight, 0);
    copyRect(scene, half * sheetWidth, 0, sheetWidth, sheetHeight, canvas, 0, 0);
    return canvas;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--icons") == 0) {
        std::string error;
        if (writeIcons(argv[2], argv[3], error)) return 0;
        std::fprintf(stderr, "make_art: %s\n", error.c_str());
        return 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--web-icons") {
        std::string error;
        if (writeWebIcons(argv[2], error)) return 0;
        std::fprintf(stderr, "make_art: %s\n", error.c_str());
        return 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--contact-sheet") return writeContactSheet(argv[2]) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: make_art DIRECTORY | make_art --icons DIRECTORY APP_ID | make_art --web-icons DIRECTORY | "
                     "make_art --contact-sheet FILE.png\n");
        return 2;
    }
    std::string directory = argv[1];
    Canvas scene = paintScene();
    bool ok = writeAsset(directory, backgroundPictures[0], halfOfScene(scene, 0));
    ok = ok && writeAsset(directory, backgroundPictures[1], halfOfScene(scene, 1));
    ok = ok && writeAsset(directory, spritesPicture, paintSpriteSheet());
    for (int kind = firstManKind; kind <= womanKind && ok; ++kind)
        ok = writeAsset(directory, peopleSheetPictures[kind - firstManKind], paintPeopleSheet(kind));
    return ok ? 0 : 1;
}
