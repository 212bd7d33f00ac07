// Temporary folders of the tests: one that lives as long as its object, and a fixture that makes one the
// working directory for the length of a test, so that the files the program keeps in its working directory
// ("config.bin", "sdcard/") never land in the source tree.
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

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tdx-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            mPath = pattern;
        } else {
            ADD_FAILURE() << "cannot create a folder from " << pattern;
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return mPath; }
    std::string operator/(const std::string& relative) const { return mPath + "/" + relative; }

    // Writes a file, creating its folders.
    void write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path file = *this / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(*this / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string mPath;
};

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        mPrevious = std::filesystem::current_path();
        ASSERT_FALSE(mTemp.path().empty());
        mFolder = mTemp.path();
        std::filesystem::current_path(mFolder);
    }

    void TearDown() override { std::filesystem::current_path(mPrevious); }

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
    TempDir mTemp;
    std::filesystem::path mPrevious;
};

} // namespace tdx::test
