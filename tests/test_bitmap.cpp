// loadBitmap on files from encoders that are not ours: python3's standard library writes
// the BMP bytes at test time (tests/bmp_encoder.py), /usr/bin/convert decodes the reference
// PNG, and the shared BMP suite, where it is present, brings good, questionable and bad
// files. The hostile headers of every class the loader refuses (width, height, offset,
// compression, bit count, truncation) are patched into a page written by our own bitmap
// writer, so they run in every build, python3 or not. Whatever a file says, the loader
// must draw exactly the pixels it holds or refuse and leave the page alone.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <vector>

#include "test_fixtures.h"
#include "tools/scenario/scenario_runner.h"

namespace fs = std::filesystem;

namespace {

// Pixel (x, y), y counted from the top, of every generated bitmap.
uint32_t patternPixel(int x, int y) {
    uint32_t blue = uint32_t(x * 5 + y) & 255, green = uint32_t(x * 3 + y * 7) & 255, red = uint32_t(x ^ y) & 255;
    return red << 16 | green << 8 | blue;
}

// For tests/bmp_encoder.py, an encoder that is not ours. Each line: file name, width,
// height, pixel-data offset; junk fills the gap before the rows.
const char* generatedFiles =
    "full.bmp 320 240 54\n"
    "tall.bmp 320 300 54\n"
    "small.bmp 100 50 54\n"
    "w1.bmp 1 3 54\n"
    "w3.bmp 3 5 54\n"
    "w5.bmp 5 4 54\n"
    "w7.bmp 7 2 54\n"
    "wide.bmp 321 10 54\n"
    "palette.bmp 9 6 1078\n"
    "offset61.bmp 8 4 58\n";

std::vector<char> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

void putU32(std::vector<char>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = char(value >> (8 * i) & 0xFF);
}

const std::string testData = CROWDFIRE_TESTDATA_DIR "/bmpsuite";

}  // namespace

class Bitmaps : public HeadlessScreen {
protected:
    static void SetUpTestSuite() {
        folder = fs::temp_directory_path() / ("crowdfire-bitmaps-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        std::ofstream(folder / "list.txt") << generatedFiles;
        std::string command = "python3 '" CROWDFIRE_SOURCE_DIR "/tests/bmp_encoder.py' '" + folder.string() + "' < '" +
                              (folder / "list.txt").string() + "'";
        encoderRan = std::system(command.c_str()) == 0;
        // The whole page in the pattern, through the scenario runner's page writer.
        std::vector<uint32_t> page(320 * 240);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) page[size_t(y) * 320 + x] = patternPixel(x, y);
        std::string error;
        ownWritten = writePageBitmap(file("own.bmp"), page.data(), error);
        ownError = error;
    }
    static void TearDownTestSuite() { fs::remove_all(folder); }

    void SetUp() override {
        HeadlessScreen::SetUp();
        ASSERT_TRUE(ownWritten) << ownError;
        // A page that is not black, so untouched pixels can be told from written ones.
        auto grey = solidImage(320, 240, 0x00777777);
        putImage(0, 0, grey.data(), opaque, -1);
    }

    static std::string file(const char* name) { return (folder / name).string(); }
    static std::vector<uint32_t> workPage() {
        const uint32_t* page = pagePixels(workPageIndex());
        return {page, page + 320 * 240};
    }
    // Every pixel: the pattern inside width x height (clipped to the page), grey outside.
    static void expectPattern(int width, int height, const char* what) {
        int mismatches = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                uint32_t expected = x < width && y < height ? patternPixel(x, y) : 0x00777777u;
                mismatches += workPixel(x, y) != expected;
            }
        EXPECT_EQ(mismatches, 0) << what;
    }

    static inline fs::path folder;
    static inline bool encoderRan = false;
    static inline bool ownWritten = false;
    static inline std::string ownError;
};

TEST_F(Bitmaps, SizesFillTheirCornerOfThePage) {
    if (!encoderRan) GTEST_SKIP() << "python3 could not write the test bitmaps";
    EXPECT_EQ(loadBitmap(file("full.bmp").c_str()), resultOk);
    expectPattern(320, 240, "320 x 240 fills the page exactly");
    EXPECT_EQ(loadBitmap(file("tall.bmp").c_str()), resultOk);
    expectPattern(320, 240, "320 x 300 keeps its top 240 rows");
    auto grey = solidImage(320, 240, 0x00777777);
    putImage(0, 0, grey.data(), opaque, -1);
    EXPECT_EQ(loadBitmap(file("small.bmp").c_str()), resultOk);
    expectPattern(100, 50, "100 x 50 changes only its corner");
}

TEST_F(Bitmaps, OddWidthsSkipTheirRowPadding) {
    if (!encoderRan) GTEST_SKIP() << "python3 could not write the test bitmaps";
    const struct {
        const char* name;
        int width, height;
    } cases[] = {{"w1.bmp", 1, 3}, {"w3.bmp", 3, 5}, {"w5.bmp", 5, 4}, {"w7.bmp", 7, 2}, {"wide.bmp", 321, 10}};
    auto grey = solidImage(320, 240, 0x00777777);
    for (const auto& c : cases) {
        putImage(0, 0, grey.data(), opaque, -1);
        EXPECT_EQ(loadBitmap(file(c.name).c_str()), resultOk) << c.name;
        expectPattern(c.width, c.height, c.name);
    }
}

TEST_F(Bitmaps, RowsStartAfterWholeColourEntries) {
    if (!encoderRan) GTEST_SKIP() << "python3 could not write the test bitmaps";
    EXPECT_EQ(loadBitmap(file("palette.bmp").c_str()), resultOk);
    expectPattern(9, 6, "a 256-entry palette is passed over");
    // The rows of offset61.bmp sit at byte 58; its header is patched to say 61, and
    // (61 - 54) / 4 = 1 colour entry puts them at 58 all the same.
    auto bytes = readFile(file("offset61.bmp"));
    putU32(bytes, 10, 61);
    writeFile(file("offset61-patched.bmp"), bytes);
    auto grey = solidImage(320, 240, 0x00777777);
    putImage(0, 0, grey.data(), opaque, -1);
    EXPECT_EQ(loadBitmap(file("offset61-patched.bmp").c_str()), resultOk);
    expectPattern(8, 4, "offset 61 reads rows at 58");
}

TEST_F(Bitmaps, TruncatedFileKeepsTheRowsAlreadyDrawn) {
    auto bytes = readFile(file("own.bmp"));
    bytes.resize(54 + 960 * 100 + 17);  // 100 whole rows and part of the next
    writeFile(file("cut.bmp"), bytes);
    EXPECT_EQ(loadBitmap(file("cut.bmp").c_str()), resultBadFile);
    int mismatches = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            uint32_t expected = y >= 140 ? patternPixel(x, y) : 0x00777777u;  // bottom rows come first
            mismatches += workPixel(x, y) != expected;
        }
    EXPECT_EQ(mismatches, 0);
}

// The mended fault: header fields are untrusted. Each of these is refused and the page stays.
TEST_F(Bitmaps, LyingHeadersAreRefusedAndLeaveThePage) {
    auto good = readFile(file("own.bmp"));
    const struct {
        const char* what;
        size_t at;
        uint32_t value;
        int result;
    } lies[] = {
        {"width 0", 18, 0, resultBadFile},
        {"negative width", 18, uint32_t(-100), resultBadFile},
        {"width beyond 32768", 18, 32769, resultBadFile},
        {"width 2^31 - 1", 18, 0x7FFFFFFF, resultBadFile},
        {"offset below 54", 10, 20, resultBadFile},
        {"offset beyond the file", 10, 1u << 30, resultBadFile},
        {"compression 1", 30, 1, resultBadFile},
        {"8 bits per pixel", 28, 8, resultBadFile},
        {"32 bits per pixel", 28, 32, resultBadFile},
        {"16 bits per pixel", 28, 16, resultInvalid},
        {"15 bits per pixel", 28, 15, resultInvalid},
        {"information header of 12 bytes", 14, 12, resultBadFile},
        {"huge height, small file", 22, 0x7FFFFFFF, resultBadFile},
        {"height beyond the rows held", 22, 241, resultBadFile},
    };
    auto before = workPage();
    for (const auto& lie : lies) {
        auto bytes = good;
        if (lie.at == 28) {  // bits per pixel is 16-bit; keep planes intact
            bytes[28] = char(lie.value & 0xFF);
            bytes[29] = char(lie.value >> 8);
        } else {
            putU32(bytes, lie.at, lie.value);
        }
        writeFile(file("lie.bmp"), bytes);
        EXPECT_EQ(loadBitmap(file("lie.bmp").c_str()), lie.result) << lie.what;
        if (lie.at != 22) {
            EXPECT_EQ(workPage(), before) << lie.what;
        }
    }
    // 241 rows claimed, 240 held: the file's rows land one lower, on page rows 1 to 239,
    // and the missing last row makes it a read error.
    EXPECT_EQ(workPixel(0, 1), patternPixel(0, 0));
    EXPECT_EQ(workPixel(0, 0), 0x00777777u);
}

TEST_F(Bitmaps, NotABitmapOrNoFile) {
    auto before = workPage();
    writeFile(file("empty.bmp"), {});
    EXPECT_EQ(loadBitmap(file("empty.bmp").c_str()), resultBadFile);
    writeFile(file("text.bmp"), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(loadBitmap(file("text.bmp").c_str()), resultBadFile);
    writeFile(file("short.bmp"), {'B', 'M', 0, 0});
    EXPECT_EQ(loadBitmap(file("short.bmp").c_str()), resultBadFile);
    auto bytes = readFile(file("own.bmp"));
    bytes[1] = 'A';
    writeFile(file("ba.bmp"), bytes);
    EXPECT_EQ(loadBitmap(file("ba.bmp").c_str()), resultBadFile);
    EXPECT_EQ(loadBitmap(file("no such file.bmp").c_str()), resultNotFound);
    EXPECT_EQ(loadBitmap(folder.string().c_str()), resultNotFound) << "a folder is not a file";
    EXPECT_EQ(workPage(), before);
}

// Opening a FIFO for reading waits for a writer: a picture that is one must be refused at
// once, not hang the start-up. Should the loader wait, the test lets it go (a reader and
// writer open at once) so that it fails instead of hanging.
TEST_F(Bitmaps, FifoIsRefusedWithoutWaiting) {
    std::string fifo = file("fifo.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto loading = std::async(std::launch::async, [&] { return loadBitmap(fifo.c_str()); });
    bool waited = loading.wait_for(std::chrono::seconds(2)) != std::future_status::ready;
    if (waited) close(open(fifo.c_str(), O_RDWR));
    EXPECT_FALSE(waited) << "loadBitmap waited for a writer on a FIFO";
    EXPECT_EQ(loading.get(), resultNotFound);
}

TEST_F(Bitmaps, FlatOrTopDownHeightsDrawNothing) {
    auto before = workPage();
    auto bytes = readFile(file("own.bmp"));
    for (uint32_t height : {0u, uint32_t(-50), 0x80000000u}) {
        putU32(bytes, 22, height);
        writeFile(file("flat.bmp"), bytes);
        EXPECT_EQ(loadBitmap(file("flat.bmp").c_str()), resultOk) << int32_t(height);
    }
    EXPECT_EQ(workPage(), before);
}

TEST_F(Bitmaps, DirtyRowsOnlyWhenLoadingOntoTheShownPage) {
    setPages(1, 0);
    setPages(0, 1);  // all rows dirty now; the display takes them
    uint8_t* dirty = const_cast<uint8_t*>(dirtyFlags());
    std::fill(dirty, dirty + 240, 0);
    ASSERT_EQ(loadBitmap(file("own.bmp").c_str()), resultOk);
    EXPECT_EQ(std::count(dirty, dirty + 240, 1), 0) << "page 0 is hidden";
    setPages(1, 1);
    ASSERT_EQ(loadBitmap(file("own.bmp").c_str()), resultOk);
    EXPECT_EQ(std::count(dirty, dirty + 240, 1), 240);
}

// Every file of the suite loads or is refused, without a crash or a sanitizer report; the
// only ones drawn are the 24-bit uncompressed files with the 40-byte header.
TEST_F(Bitmaps, SuiteFilesLoadOrAreRefused) {
    if (!fs::is_directory(testData)) GTEST_SKIP() << "no shared BMP suite at " << testData;
    const std::vector<std::string> drawable = {"g/rgb24.bmp", "g/rgb24pal.bmp", "q/rgb24largepal.bmp"};
    int seen = 0;
    for (const char* group : {"b", "q", "g"}) {
        for (const auto& entry : fs::directory_iterator(testData + "/" + group)) {
            std::string name = std::string(group) + "/" + entry.path().filename().string();
            auto before = workPage();
            int result = loadBitmap(entry.path().c_str());
            bool shouldDraw = std::find(drawable.begin(), drawable.end(), name) != drawable.end();
            if (shouldDraw) {
                EXPECT_EQ(result, resultOk) << name;
            } else {
                EXPECT_TRUE(result == resultInvalid || result == resultBadFile) << name << " gave " << result;
                EXPECT_EQ(workPage(), before) << name;
            }
            ++seen;
        }
    }
    EXPECT_GT(seen, 80) << "the suite is where " << testData << " says";
}

TEST_F(Bitmaps, Rgb24MatchesItsReferencePicture) {
    if (!fs::is_directory(testData)) GTEST_SKIP() << "no shared BMP suite at " << testData;
    if (access("/usr/bin/convert", X_OK) != 0) GTEST_SKIP() << "/usr/bin/convert (ImageMagick) is not installed";
    fs::path raw = folder / "rgb24.rgb";
    std::string command =
        "/usr/bin/convert '" + testData + "/reference/rgb24.png' -depth 8 'rgb:" + raw.string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    auto reference = readFile(raw);
    ASSERT_EQ(reference.size(), size_t(127 * 64 * 3));
    for (const char* name : {"/g/rgb24.bmp", "/g/rgb24pal.bmp", "/q/rgb24largepal.bmp"}) {
        ASSERT_EQ(loadBitmap((testData + name).c_str()), resultOk) << name;
        int mismatches = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 127; ++x) {
                const auto* rgb = reinterpret_cast<const uint8_t*>(&reference[size_t(y * 127 + x) * 3]);
                uint32_t expected = uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
                mismatches += workPixel(x, y) != expected;
            }
        EXPECT_EQ(mismatches, 0) << name;
    }
}
