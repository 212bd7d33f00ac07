// A fresh temporary folder that is the working directory for the length of one test, so that the files the
// program keeps in its working directory ("config.bin", "sdcard/") never land in the source tree.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tdx::test {

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
