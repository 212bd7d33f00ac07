// mkpackage: builds a firmware package item from a data file and a device descriptor and writes it to a
// package file (replacing it, or appended with --append to build a package of several items).
#include "tools/mkpackage/package_builder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const char* const USAGE =
    "usage: mkpackage --data FILE --hw CODE --sw CODE --version MAJOR.MINOR -o PACKAGE.fw\n"
    "                 [--hw-versions LO-HI] [--variants LO-HI] [--magic XX] [--protocol N] [--type N]\n"
    "                 [--append]\n"
    "Builds one package item: the data file (at least 4 bytes) with the device descriptor given by the\n"
    "options. Ranges default to 0-255, the magic to TB, the protocol and the type to 1.\n";

bool parseByte(const char* text, uint8_t& out) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || value > 255) {
        return false;
    }
    out = static_cast<uint8_t>(value);
    return true;
}

// "LO-HI" or one number for both; "MAJOR.MINOR" with '.' as the separator.
bool parsePair(const char* text, char separator, uint8_t& first, uint8_t& second) {
    const char* split = std::strchr(text, separator);
    if (split == nullptr) {
        return separator == '-' && parseByte(text, first) && parseByte(text, second);
    }
    const std::string head(text, split);
    return parseByte(head.c_str(), first) && parseByte(split + 1, second);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "mkpackage: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    tdx::mkpackage::Item item;
    std::string dataPath;
    std::string outPath;
    bool append = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--append") {
            append = true;
            continue;
        }
        if (option == "-h" || option == "--help") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            return fail("option " + option + " needs a value\n" + USAGE);
        }
        const char* value = argv[++i];
        tdx::mkpackage::Descriptor& d = item.descriptor;
        bool ok = true;
        if (option == "--data") {
            dataPath = value;
        } else if (option == "-o" || option == "--out") {
            outPath = value;
        } else if (option == "--hw") {
            d.hwCode = value;
        } else if (option == "--sw") {
            d.swCode = value;
        } else if (option == "--magic") {
            d.magic = value;
        } else if (option == "--version") {
            ok = parsePair(value, '.', d.versionMajor, d.versionMinor);
        } else if (option == "--hw-versions") {
            ok = parsePair(value, '-', d.hwMin, d.hwMax);
        } else if (option == "--variants") {
            ok = parsePair(value, '-', d.variantMin, d.variantMax);
        } else if (option == "--protocol") {
            ok = parseByte(value, d.protocol);
        } else if (option == "--type") {
            ok = parseByte(value, item.type);
        } else {
            return fail("unknown option " + option + "\n" + USAGE);
        }
        if (!ok) {
            return fail("bad value '" + std::string(value) + "' for " + option);
        }
    }
    if (dataPath.empty() || outPath.empty() || item.descriptor.hwCode.empty() ||
        item.descriptor.swCode.empty()) {
        return fail(std::string("--data, --hw, --sw and -o are needed\n") + USAGE);
    }

    std::ifstream data(dataPath, std::ios::binary);
    if (!data) {
        return fail("cannot read " + dataPath);
    }
    item.data.assign(std::istreambuf_iterator<char>(data), std::istreambuf_iterator<char>());
    std::string error;
    const std::vector<uint8_t> bytes = tdx::mkpackage::build_item(item, error);
    if (bytes.empty()) {
        return fail(error);
    }
    std::ofstream out(outPath, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        return fail("cannot write " + outPath);
    }
    return 0;
}
