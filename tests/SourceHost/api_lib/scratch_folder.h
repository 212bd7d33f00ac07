// A fresh temporary folder that is the working directory for the length of one test, so that the files the
// program keeps in its working directory ("config.bin", "sdcard/") never land in the source tree.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace tdx::test {

// While it lives, writing a file past `bytes` fails part-way, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &mPrevious);
        mHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = mPrevious;
        small.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &mPrevious);
        std::signal(SIGXFSZ, mHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit mPrevious{};
    void (*mHandler)(int) = SIG_DFL;
};

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        mPrevious = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "tdx-port-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mFolder = pattern;
        std::filesystem::current_path(mFolder);
    }

    void TearDown() override {
        std::filesystem::current_path(mPrevious);
        std::error_code ignored;
        std::filesystem::remove_all(mFolder, ignored);
    }

    static void writeFile(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path mFolder;

private:
    std::filesystem::path mPrevious;
};

} // namespace tdx::test
