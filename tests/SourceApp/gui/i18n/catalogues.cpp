#include "catalogues.h"

#include "tools/pocompile/po_compile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace tdx::test {

std::string sourceDir() {
    const char* fromEnvironment = std::getenv("TDX_SOURCE_DIR");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : TDX_TEST_SOURCE_DIR;
}

std::string readSourceFile(const std::string& relativePath) {
    std::ifstream in(sourceDir() + "/" + relativePath, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << relativePath;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::vector<uint8_t>& compiledCatalogue(const std::string& relativePath) {
    static std::map<std::string, std::vector<uint8_t>> compiled;
    auto found = compiled.find(relativePath);
    if (found == compiled.end()) {
        std::vector<uint8_t> mo;
        std::string error;
        EXPECT_EQ(po_compile_file(sourceDir() + "/" + relativePath, mo, error), 0) << error;
        found = compiled.emplace(relativePath, std::move(mo)).first;
    }
    return found->second;
}

std::vector<uint8_t> msgfmtCatalogue(const std::string& relativePath) {
    const TempDir folder;
    const std::string out = folder / "out.mo";
    std::string output;
    const int status = runCommand(
        "msgfmt --check --output-file='" + out + "' '" + sourceDir() + "/" + relativePath + "'", output);
    EXPECT_EQ(status, 0) << "msgfmt " << relativePath << ":\n" << output;
    std::ifstream in(out, std::ios::binary);
    std::vector<uint8_t> mo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return mo;
}

std::span<const uint8_t> repositoryCatalogues(uint16_t resourceId) {
    switch (resourceId) {
        case 75:
            return compiledCatalogue("resources/po/cs.po");
        case 76:
            return compiledCatalogue("resources/po/da.po");
        case 77:
            return compiledCatalogue("resources/help/en.po");
        case 78:
            return compiledCatalogue("resources/po/nl.po");
        default:
            return {};
    }
}

} // namespace tdx::test
