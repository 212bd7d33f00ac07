// The simulator's --link: a fixed path that names whichever pseudo-terminal the running simulator serves.
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/simcu_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tdx::test {
namespace {

namespace fs = std::filesystem;

std::string linkTarget(const std::string& path) {
    std::error_code error;
    return fs::read_symlink(path, error).string();
}

TEST(PortLink, TheLinkNamesTheRunningSimulatorsPortAndGoesWithIt) {
    TempDir folder;
    const std::string link = folder / "port";
    // A link left by an earlier simulator (one that was killed) is replaced.
    fs::create_symlink("/dev/pts/nothing", link);
    {
        SimProcess first({"--quiet", "--link", link});
        ASSERT_TRUE(first.ok()) << first.slave();
        EXPECT_EQ(linkTarget(link), first.slave());
        EXPECT_EQ(first.stop(), 0);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    // A second simulator takes the link over while the first still runs: the first, ending later, leaves the
    // second's link in place.
    SimProcess first({"--quiet", "--link", link});
    ASSERT_TRUE(first.ok());
    SimProcess second({"--quiet", "--link", link});
    ASSERT_TRUE(second.ok());
    EXPECT_NE(first.slave(), second.slave());
    EXPECT_EQ(linkTarget(link), second.slave());
    EXPECT_EQ(first.stop(), 0);
    EXPECT_EQ(linkTarget(link), second.slave());
    EXPECT_EQ(second.stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    // Nothing else is left beside it.
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(PortLink, APathThatIsNoLinkIsLeftAloneAndTheSimulatorDoesNotStart) {
    TempDir folder;
    struct Case {
        const char* what;
        std::string path;
    };
    folder.write("file", "the user's own");
    fs::create_directory(folder / "folder");
    const Case cases[] = {
        {"a file", folder / "file"},
        {"a folder", folder / "folder"},
        {"no folder to put it in", folder / "missing/port"},
    };
    for (const Case& c : cases) {
        SimProcess simulator({"--quiet", "--link", c.path});
        EXPECT_FALSE(simulator.ok()) << c.what;
        EXPECT_EQ(simulator.stop(), 1) << c.what;
    }
    EXPECT_EQ(folder.read("file"), "the user's own");
    EXPECT_TRUE(fs::is_directory(folder / "folder"));
    EXPECT_TRUE(fs::is_empty(folder / "folder"));
}

} // namespace
} // namespace tdx::test
