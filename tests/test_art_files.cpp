// The artwork files as files: the format the game reads, what an independent reader and
// the game's own loader make of them, and a generator that writes the same bytes on
// every run and loses nothing when it cannot write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "test_art_files.h"
#include "test_fixtures.h"

using namespace art_test;
namespace fs = std::filesystem;

TEST(ArtFiles, AreWhole24BitBottomUpBitmapsOfOnePage) {
    for (const char* name : artFiles()) {
        Bitmap bmp = readBitmap(runPath(name));
        EXPECT_EQ(bmp.problem, "") << name;
        EXPECT_EQ(bmp.width, 320) << name;
        EXPECT_EQ(bmp.height, 240) << name;
        std::vector<uint8_t> bytes = fileBytes(runPath(name));
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(little(bytes, 10, 4), 54u) << name << ": no colour table before the pixels";
    }
}

std::string commandOutput(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        pclose(pipe);
    }
    return output;
}

TEST(ArtFiles, AnIndependentReaderSeesTheSameFormat) {
    if (!fs::exists("/usr/bin/identify")) GTEST_SKIP() << "ImageMagick's identify is not installed";
    for (const char* name : artFiles()) {
        std::string said =
            commandOutput("/usr/bin/identify -format '%w %h %z %[compression]' '" + runPath(name) + "' 2>&1");
        EXPECT_EQ(said, "320 240 8 None") << name;
    }
}

using ArtOnThePage = HeadlessScreen;

// What the game does at start-up: each file drawn onto the work page at its corner.
TEST_F(ArtOnThePage, LoadBitmapPutsExactlyTheFilesPixelsOnThePage) {
    setPages(0, 1);
    for (const char* name : artFiles()) {
        Bitmap bmp = readBitmap(runPath(name));
        ASSERT_EQ(bmp.problem, "");
        ASSERT_EQ(loadBitmap(runPath(name).c_str()), resultOk) << name;
        int differing = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) differing += workPixel(x, y) != bmp.at(x, y);
        EXPECT_EQ(differing, 0) << name;
    }
}

#ifdef CROWDFIRE_MAKE_ART
fs::path freshDirectory(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("crowdfire_art_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

int runMakeArt(const std::string& arguments) {
    std::string command = std::string("'") + CROWDFIRE_MAKE_ART + "' " + arguments + " 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ArtGenerator, TwoRunsWriteTheSameBytesAsTheBuild) {
    fs::path first = freshDirectory("first"), second = freshDirectory("second");
    ASSERT_EQ(runMakeArt("'" + first.string() + "'"), 0);
    ASSERT_EQ(runMakeArt("'" + second.string() + "'"), 0);
    for (const char* name : artFiles()) {
        std::vector<uint8_t> a = fileBytes((first / name).string()), b = fileBytes((second / name).string());
        ASSERT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between two runs";
        EXPECT_TRUE(a == fileBytes(runPath(name))) << name << " differs from the build's copy";
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(first), fs::directory_iterator()), 7) << "only the seven bitmaps";
    fs::remove_all(first);
    fs::remove_all(second);
}

TEST(ArtGenerator, RefusesAMissingDirectoryOrArgumentAndWritesNothing) {
    fs::path parent = freshDirectory("refused");
    EXPECT_NE(runMakeArt("'" + (parent / "no" / "such").string() + "'"), 0);
    EXPECT_NE(runMakeArt(""), 0) << "no directory given";
    EXPECT_NE(runMakeArt("a b"), 0) << "two directories given";
    EXPECT_TRUE(fs::is_empty(parent));
    fs::remove_all(parent);
}

// The contact sheet is a PNG that other programs read, and the one in docs/ shows the art
// as the tool draws it now (redraw it with the contact_sheet target after changing art).
TEST(ArtGenerator, ContactSheetIsAReadablePngOfTheCurrentArt) {
    fs::path dir = freshDirectory("sheet");
    fs::path sheet = dir / "art.png";
    ASSERT_EQ(runMakeArt("--contact-sheet '" + sheet.string() + "'"), 0);
    if (fs::exists("/usr/bin/convert")) {
        std::string said =
            commandOutput("/usr/bin/convert '" + sheet.string() + "' -format '%m %w %z %[fx:mean>0]' info: 2>&1");
        EXPECT_EQ(said, "PNG 800 8 1") << "decoded in full, pixels and all";
    }
    EXPECT_TRUE(fileBytes(sheet.string()) == fileBytes(std::string(CROWDFIRE_SOURCE_DIR) + "/docs/art.png"))
        << "docs/art.png is out of date";
    fs::remove_all(dir);
}

// A bitmap that cannot be replaced stays as it was: no half-written file where the game
// reads it.
TEST(ArtGenerator, AFailedWriteLeavesTheOldFileWhole) {
    fs::path dir = freshDirectory("blocked");
    fs::create_directory(dir / "sprites124.BMP");  // a directory where a file should go
    EXPECT_NE(runMakeArt("'" + dir.string() + "'"), 0);
    EXPECT_TRUE(fs::is_directory(dir / "sprites124.BMP"));
    EXPECT_FALSE(fs::exists(dir / "sprites124.BMP.part"));
    fs::remove_all(dir);
}
#endif
