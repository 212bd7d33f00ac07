#include "SourceHost/api_lib/scratch_folder.h"
#include "SourceHost/api_lib/sdcard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tdx {
namespace {

class SdCard : public test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        unsetenv("TDX410_SDCARD");
        sdcard_set_folder("");
        sdcard_set_inserted(true);
    }
    void TearDown() override {
        unsetenv("TDX410_SDCARD");
        sdcard_set_folder("");
        sdcard_set_inserted(true);
        ScratchFolder::TearDown();
    }

    static std::vector<std::string> findAll(const std::string& pattern) {
        FileFind finder(pattern);
        std::vector<std::string> names;
        std::string name;
        while (finder.find(name)) {
            names.push_back(name);
        }
        return names;
    }
};

TEST_F(SdCard, FolderIsSdcardInTheWorkingDirectoryUnlessTheEnvironmentOrTheHostSaysOtherwise) {
    EXPECT_EQ(sdcard_folder(), "sdcard");
    setenv("TDX410_SDCARD", "/media/card", 1);
    EXPECT_EQ(sdcard_folder(), "/media/card");
    sdcard_set_folder("cards/one");
    EXPECT_EQ(sdcard_folder(), "cards/one") << "the command line wins over the environment";
    sdcard_set_folder("");
    EXPECT_EQ(sdcard_folder(), "/media/card");
    EXPECT_EQ(sdcard_is_inserted(), 1);

    std::filesystem::create_directories("media/card");
    writeFile("media/card/update.fw", "x");
    sdcard_set_folder("media/card/");
    EXPECT_EQ(findAll("*.fw"), (std::vector<std::string>{"media/card/update.fw"})) << "a trailing slash";
}

TEST_F(SdCard, FindsOnlyFirmwarePackagesInAnyCaseSortedByName) {
    std::filesystem::create_directory("sdcard");
    for (const char* name :
         {"zeta.fw", "alpha.fw", "notes.txt", "beta.fw.bak", "MID.FW", ".hidden.fw", "FW"}) {
        writeFile(std::string("sdcard/") + name, "x");
    }
    std::filesystem::create_directory("sdcard/folder.fw");
    std::filesystem::create_directory("sdcard/sub");
    writeFile("sdcard/sub/deep.fw", "x");

    EXPECT_EQ(findAll("*.fw"),
              (std::vector<std::string>{"sdcard/MID.FW", "sdcard/alpha.fw", "sdcard/zeta.fw"}));
}

TEST_F(SdCard, NoMatchAMissingCardOrAPatternWithAFolderPartFindNothing) {
    std::filesystem::create_directories("sdcard/sub");
    EXPECT_TRUE(findAll("*.fw").empty());
    writeFile("sdcard/readme.txt", "x");
    writeFile("sdcard/sub/deep.fw", "x");
    writeFile("outside.fw", "x");
    for (const char* pattern : {"*.fw", "sub/*.fw", "../*.fw", ""}) {
        EXPECT_TRUE(findAll(pattern).empty()) << pattern;
    }

    sdcard_set_folder("no-such-card");
    EXPECT_TRUE(findAll("*.fw").empty());
    writeFile("plain-file", "x");
    sdcard_set_folder("plain-file");
    EXPECT_TRUE(findAll("*").empty());
}

TEST_F(SdCard, RemovedCardShowsNoFilesUntilItIsBack) {
    std::filesystem::create_directory("sdcard");
    writeFile("sdcard/a.fw", "x");
    writeFile("sdcard/b.fw", "x");

    sdcard_set_inserted(false);
    EXPECT_EQ(sdcard_is_inserted(), 0);
    EXPECT_TRUE(findAll("*.fw").empty());

    sdcard_set_inserted(true);
    FileFind finder("*.fw");
    std::string name;
    ASSERT_TRUE(finder.find(name));
    EXPECT_EQ(name, "sdcard/a.fw");
    sdcard_set_inserted(false);
    EXPECT_FALSE(finder.find(name)) << "a card taken out during a search ends it";
}

} // namespace
} // namespace tdx
