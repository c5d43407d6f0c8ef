// What a player may get wrong before the desktop game starts: a mistyped command line,
// and a settings file that has been damaged, hand-edited or made unreadable; and which
// replays a full folder lets go.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sdl/command_line.h"
#include "sdl/remembered_settings.h"
#include "sdl/replay_keeping.h"
#include "sdl/settings_file.h"
#include "sdl/user_folders.h"
#include "sdl/write_aside.h"
#include "sound/sound_device.h"

namespace {

CommandLineVerdict readLine(std::initializer_list<const char*> words, RunChoices& choices, std::string& refusal) {
    std::vector<std::string> kept{"crowdfire"};
    kept.insert(kept.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : kept) argv.push_back(word.data());
    argv.push_back(nullptr);
    return readCommandLine(int(kept.size()), argv.data(), choices, refusal);
}

TEST(CommandLine, RefusesWhatItCannotTakeAndNamesIt) {
    const struct {
        std::initializer_list<const char*> words;
        const char* named;
    } refused[] = {
        {{"--fulscreen"}, "'--fulscreen'"},
        {{"-x"}, "'-x'"},
        {{"--scale"}, "'--scale' needs a value"},
        {{"--scale=0"}, "'0'"},
        {{"--scale", "3x"}, "'3x'"},
        {{"--scale=99999999999"}, "'99999999999'"},
        {{"--effects=5"}, "'5'"},
        {{"-e", "-1"}, "'-1'"},
        {{"--mute=yes"}, "'--mute' takes no value"},
        {{"--window", "level3"}, "'level3'"},
        {{"--help", "--bogus"}, "'--bogus'"},
        {{"--replay"}, "'--replay' needs a value"},
        {{"--replay="}, "a replay file"},
    };
    for (const auto& line : refused) {
        RunChoices choices;
        std::string refusal;
        EXPECT_EQ(readLine(line.words, choices, refusal), CommandLineVerdict::refused) << *line.words.begin();
        EXPECT_NE(refusal.find(line.named), std::string::npos) << refusal;
    }
}

TEST(CommandLine, TakesWhatAPlayerTypes) {
    RunChoices choices;
    std::string refusal;
    ASSERT_EQ(readLine({"--win", "--scale", "3", "-e2", "--mute"}, choices, refusal), CommandLineVerdict::play)
        << refusal;
    EXPECT_EQ(choices.form, RunChoices::Form::window) << "an unambiguous abbreviation, as GNU programs take";
    EXPECT_EQ(choices.windowScale, 3);
    EXPECT_EQ(choices.effectsLevel, 2);
    EXPECT_TRUE(choices.mute);
    ASSERT_EQ(readLine({"-w", "--fullscreen"}, choices, refusal), CommandLineVerdict::play);
    EXPECT_EQ(choices.form, RunChoices::Form::fullScreen) << "the last of two forms counts";
    ASSERT_EQ(readLine({}, choices, refusal), CommandLineVerdict::play);
    EXPECT_EQ(choices.form, RunChoices::Form::remembered) << "a second reading starts afresh";
    EXPECT_EQ(readLine({"--version", "--help"}, choices, refusal), CommandLineVerdict::help);
    ASSERT_EQ(readLine({"-r", "old game.cfreplay"}, choices, refusal), CommandLineVerdict::play);
    EXPECT_EQ(choices.replayFile, "old game.cfreplay");
}

// Names sort by the time they hold, then by their number: as bytes, "-10" and "-2" would
// come before the second's first file, and the newest of a busy second would go first.
TEST(ReplayFolder, TheOldestReplaysGoAndNothingElse) {
    const std::vector<std::string> names = {
        ".",
        "..",
        "notes.txt",
        "crowdfire-2024-05-01_10-00-00-10.cfreplay",
        "crowdfire-2024-05-02_09-00-00.cfreplay",
        "crowdfire-2024-05-01_10-00-00-2.cfreplay",
        "crowdfire-2024-05-01_10-00-00.cfreplay",
        "crowdfire-2023-01-01_00-00-00.png",
        "crowdfire-2023-01-01_00-00-00-02.cfreplay",
        "crowdfire-2023-01-01_00-00-0x.cfreplay",
        "crowdfire-2023-01-01_00-00-00.cfreplay.old",
    };
    EXPECT_EQ(replaysToLetGo(names, 2), (std::vector<std::string>{"crowdfire-2024-05-01_10-00-00.cfreplay",
                                                                  "crowdfire-2024-05-01_10-00-00-2.cfreplay"}));
    EXPECT_TRUE(replaysToLetGo(names, 4).empty()) << "only files named as replays count";
}

TEST(SettingsFile, DamagedLinesAreNamedAndTakeTheDefault) {
    std::string text =
        "effects = 9\n"
        "mute = maybe\n"
        "fullscreen = no\r\n"  // saved by a Windows editor
        "colour = red\n"
        "scale 3\n"
        "\x89PNG\x01\x02\xff\n";
    text += std::string("\0\0\n", 3) + "# the player's note\n";
    std::vector<std::string> complaints;
    const SettingsText read = readSettingsText(text, complaints);
    EXPECT_EQ(read.settings.effectsLevel, Settings{}.effectsLevel);
    EXPECT_EQ(read.settings.muted, Settings{}.muted);
    EXPECT_FALSE(read.settings.fullScreen) << "a good line among bad ones still counts";
    ASSERT_EQ(complaints.size(), 6u);
    EXPECT_EQ(complaints[0].rfind("line 1: effects", 0), 0u) << complaints[0];
    EXPECT_NE(complaints[2].find("'colour'"), std::string::npos) << complaints[2];
    EXPECT_EQ(complaints[5].rfind("line 7:", 0), 0u) << complaints[5];

    Settings changed = read.settings;
    changed.effectsLevel = 3;
    const std::string written = settingsFileText(changed, read.lines);
    EXPECT_NE(written.find("colour = red\n"), std::string::npos) << "unknown lines are kept";
    EXPECT_NE(written.find("# the player's note\n"), std::string::npos);
    EXPECT_EQ(written.find("effects = 9"), std::string::npos) << "a bad value gives way to the one in use";
    complaints.clear();
    const SettingsText again = readSettingsText(written, complaints);
    EXPECT_EQ(again.settings.effectsLevel, 3);
    EXPECT_FALSE(again.settings.fullScreen);
    EXPECT_EQ(settingsFileText(again.settings, again.lines), written) << "writing again changes nothing";
}

TEST(SettingsFile, ARepeatedSettingIsWrittenOnceAndMissingOnesAreAdded) {
    std::vector<std::string> complaints;
    const SettingsText read = readSettingsText("effects = 2\nscale = 4\neffects = 3\n", complaints);
    EXPECT_TRUE(complaints.empty());
    EXPECT_EQ(read.settings.effectsLevel, 3) << "the later line counts";
    EXPECT_EQ(read.settings.windowScale, 4);
    const std::string written = settingsFileText(read.settings, read.lines);
    EXPECT_EQ(written.substr(written.find('\n') + 1), "effects = 3\nscale = 4\nmute = no\nfullscreen = yes\n");
}

// Environment variables a test changes, put back as they were when it ends.
struct KeptVariables {
    std::vector<std::pair<const char*, std::optional<std::string>>> kept;
    explicit KeptVariables(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            kept.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~KeptVariables() {
        for (const auto& [name, value] : kept) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
};

// The replay folder has no other user yet: this is where its rule is held to.
TEST(UserFolders, AnAbsoluteXdgFolderWinsElseHomeElseNone) {
    const struct {
        std::string (*folder)();
        const char* variable;
        const char* underHome;
    } folders[] = {
        {settingsFolder, "XDG_CONFIG_HOME", "/home/p/.config/crowdfire"},
        {screenshotFolder, "XDG_PICTURES_DIR", "/home/p/Pictures/crowdfire"},
        {replayFolder, "XDG_DATA_HOME", "/home/p/.local/share/crowdfire/replays"},
    };
    const KeptVariables kept{"HOME", "XDG_CONFIG_HOME", "XDG_PICTURES_DIR", "XDG_DATA_HOME"};
    for (const auto& user : folders) {
        setenv("HOME", "/home/p", 1);
        setenv(user.variable, "/elsewhere", 1);
        EXPECT_EQ(user.folder().rfind("/elsewhere/crowdfire", 0), 0u) << user.variable;
        setenv(user.variable, "relative", 1);
        EXPECT_EQ(user.folder(), user.underHome) << "a relative " << user.variable << " is ignored";
        unsetenv(user.variable);
        EXPECT_EQ(user.folder(), user.underHome);
        setenv("HOME", "home", 1);
        EXPECT_EQ(user.folder(), "") << "no absolute home: nothing is kept";
    }
}

class SettingsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("crowdfire-settings-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_;
};

TEST_F(SettingsFolder, ReplacingLeavesOneWholeFileAndNothingBeside) {
    const std::string path = (folder_ / "new" / "crowdfire" / "settings.conf").string();
    std::string problem, text;
    ASSERT_TRUE(readWholeFile(path, text, problem)) << "no file yet is no problem";
    ASSERT_TRUE(replaceFile(path, "effects = 2\n", problem)) << problem;
    ASSERT_TRUE(replaceFile(path, "effects = 3\n", problem)) << problem;
    ASSERT_TRUE(readWholeFile(path, text, problem));
    EXPECT_EQ(text, "effects = 3\n");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "new" / "crowdfire"))
        files += entry.exists();
    EXPECT_EQ(files, 1) << "the file written beside was renamed over the old one";
}

TEST_F(SettingsFolder, AFolderThatCannotBeMadeOrAFileThatCannotBeReadIsReported) {
    std::ofstream(folder_ / "plain-file") << "not a folder";
    std::string problem, text;
    const std::string underAFile = (folder_ / "plain-file" / "crowdfire" / "settings.conf").string();
    EXPECT_TRUE(readWholeFile(underAFile, text, problem)) << "no file to read: the defaults, and a save is tried";
    EXPECT_FALSE(replaceFile(underAFile, "x\n", problem));
    EXPECT_NE(problem.find("plain-file"), std::string::npos) << problem;
    problem.clear();
    std::filesystem::create_directories(folder_ / "settings.conf");
    EXPECT_FALSE(readWholeFile((folder_ / "settings.conf").string(), text, problem))
        << "a folder where the file should be";
    EXPECT_FALSE(problem.empty());
}

// A real file is a few hundred bytes; a huge one is no settings file: the game says so,
// plays with the defaults, and a change of level never writes over it.
TEST_F(SettingsFolder, AHugeFileIsRefusedAndKept) {
    const KeptVariables kept{"XDG_CONFIG_HOME"};
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    std::filesystem::create_directories(folder_ / "crowdfire");
    const std::string path = settingsFilePath();
    std::string lines;
    while (lines.size() <= largestSettingsFile) lines += "effects = 3\n";
    std::ofstream(path) << lines;

    testing::internal::CaptureStderr();
    const Settings settings = recallSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(settings.effectsLevel, Settings{}.effectsLevel);
    EXPECT_NE(said.find("larger than 64 KiB"), std::string::npos) << said;
    startRemembering(settings);
    soundSettingsChanged(2, false);
    finishWritingAside();
    std::string text, problem;
    EXPECT_FALSE(readWholeFile(path, text, problem));
    EXPECT_EQ(std::filesystem::file_size(path), lines.size()) << "the file was written over";
    lines.resize(largestSettingsFile);
    std::ofstream(path) << lines;
    EXPECT_TRUE(readWholeFile(path, text, problem)) << "a file of just the limit is read";
}

}  // namespace
