#include "SourceHost/api_lib/file.h"
#include "SourceHost/api_lib/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tdx {
namespace {

using Files = test::ScratchFolder;

TEST_F(Files, ReadGivesTheBytesInOrderFromAnAbsolutePositionThenZeroAtTheEnd) {
    writeFile("data.bin", std::string("0123456789", 10));
    File file("data.bin", FileOpenMode::Read);
    ASSERT_TRUE(file.isOpened());
    EXPECT_EQ(file.getFileName(), "data.bin");

    char buffer[16] = {};
    EXPECT_EQ(file.read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.getSize(), 10u) << "and the read position stays";
    EXPECT_EQ(file.read(buffer, 16), 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file.read(buffer, 16), 0u);
    ASSERT_TRUE(file.seek(1));
    ASSERT_EQ(file.read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "12");
    ASSERT_TRUE(file.seek(10));
    EXPECT_EQ(file.read(buffer, 2), 0u);
    EXPECT_EQ(file.write("x", 1), 0u) << "a file opened for reading takes no bytes";
    EXPECT_EQ(readFile("data.bin"), "0123456789");
}

TEST_F(Files, AppendCreatesAMissingFileAndAddsToTheEndOfAnExistingOne) {
    {
        File file("log.txt", FileOpenMode::Append);
        ASSERT_TRUE(file.isOpened());
        EXPECT_EQ(file.write("first;", 6), 6u);
        EXPECT_EQ(file.getSize(), 6u);
    }
    {
        File file("log.txt", FileOpenMode::Append);
        file.seek(0); // appending ignores the position
        EXPECT_EQ(file.write("second;", 7), 7u);
        EXPECT_EQ(file.getSize(), 13u);
    }
    EXPECT_EQ(readFile("log.txt"), "first;second;");
}

TEST_F(Files, WriteTruncatesAndReadWriteUpdatesInPlace) {
    writeFile("flash.bin", "0000000000");
    {
        File file("flash.bin", FileOpenMode::ReadWrite);
        ASSERT_TRUE(file.isOpened());
        char buffer[2];
        ASSERT_EQ(file.read(buffer, 2), 2u);
        EXPECT_EQ(file.write("ab", 2), 2u) << "a write straight after a read lands at the read position";
        ASSERT_EQ(file.read(buffer, 2), 2u);
        EXPECT_EQ(std::string(buffer, 2), "00");
        file.seek(8);
        EXPECT_EQ(file.write("yz", 2), 2u);
    }
    EXPECT_EQ(readFile("flash.bin"), "00ab0000yz");
    {
        File file("flash.bin", FileOpenMode::Write);
        EXPECT_EQ(file.write("new", 3), 3u);
    }
    EXPECT_EQ(readFile("flash.bin"), "new");
}

TEST_F(Files, FileThatIsNotOpenAnswersZeroAndKeepsItsName) {
    File missing("missing.bin", FileOpenMode::Read);
    EXPECT_FALSE(missing.isOpened());
    EXPECT_EQ(missing.getFileName(), "missing.bin");
    EXPECT_EQ(missing.getSize(), 0u);
    EXPECT_FALSE(missing.seek(3));
    char buffer[4];
    EXPECT_EQ(missing.read(buffer, 4), 0u);
    EXPECT_EQ(missing.write("abcd", 4), 0u);
    EXPECT_FALSE(std::filesystem::exists("missing.bin")) << "reading never creates a file";

    File updateMissing("missing.bin", FileOpenMode::ReadWrite);
    EXPECT_FALSE(updateMissing.isOpened());
    File noFolder("no/such/folder/log.txt", FileOpenMode::Append);
    EXPECT_FALSE(noFolder.isOpened());
    File badMode("data.bin", static_cast<FileOpenMode::Enum>(7));
    EXPECT_FALSE(badMode.isOpened());
    EXPECT_FALSE(std::filesystem::exists("data.bin"));
}

TEST_F(Files, AFolderIsNoFileInAnyMode) {
    std::filesystem::create_directory("update.fw");
    for (FileOpenMode::Enum mode :
         {FileOpenMode::Read, FileOpenMode::Write, FileOpenMode::ReadWrite, FileOpenMode::Append}) {
        File folder("update.fw", mode);
        EXPECT_FALSE(folder.isOpened()) << mode;
        EXPECT_EQ(folder.getSize(), 0u) << mode;
        char buffer[4];
        EXPECT_EQ(folder.read(buffer, 4), 0u) << mode;
    }
    EXPECT_TRUE(std::filesystem::is_directory("update.fw"));
}

} // namespace
} // namespace tdx
