// mkresources: the build-time resource generator.
//
//   mkresources --manifest resources/manifest.txt --fonts-dir /usr/share/fonts/truetype --out FILE
//       writes the resources file: fonts rasterised with FreeType, icons from the icon font, the drawn
//       pictures and the message catalogues, one entry per compiled-in resource name.
//   mkresources --fonts-dir DIR --console-font FILE
//       writes the console's glyph table as C++ source.
#include "SourceApp/application/resources/resource_names.h"
#include "SourceHost/api_lib/resfile.h"
#include "tools/mkresources/mkresources.h"
#include "tools/pocompile/po_compile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>

#include <unistd.h>

namespace tdx::mkres {
namespace {

constexpr const char* ICON_FONT = "material-design-icons-iconfont/MaterialIcons-Regular.ttf";

struct Options {
    std::string manifest;
    std::string fonts_dir;
    std::string out;
    std::string console_font;
};

// The argument at index of a manifest line; a missing one throws naming the line.
const std::string& argument(const ManifestLine& line, size_t index) {
    if (index >= line.args.size())
        throw std::runtime_error("manifest line " + std::to_string(line.line) + ": argument " +
                                 std::to_string(index + 1) + " missing");
    return line.args[index];
}

int number(const ManifestLine& line, size_t index, int lo, int hi) {
    return parse_int(argument(line, index), lo, hi, "manifest line " + std::to_string(line.line));
}

uint32_t code_of(const ManifestLine& line, size_t index) {
    return parse_code(argument(line, index), "manifest line " + std::to_string(line.line));
}

void write_file(const std::string& path, const void* data, size_t size) {
    const std::filesystem::path target(path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path());
    // Written beside the target and renamed over it, so that a reader never sees half a file; the temporary
    // name is the process's own, as several build folders may remake the same file at once.
    const std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            throw std::runtime_error(temporary + ": cannot be written");
    }
    std::filesystem::rename(temporary, target);
}

resfile_blob build_entry(const ManifestLine& line, const Options& options, const std::string& base_dir,
                         Face& icons, std::map<std::string, std::unique_ptr<Face>>& faces) {
    const std::string where = "manifest line " + std::to_string(line.line) + " (" + line.name + ")";
    if (line.kind == "font") {
        if (line.args.size() != 2)
            throw std::runtime_error(where + ": expected \"font <file> <em>\"");
        auto& face = faces[line.args[0]];
        if (!face)
            face = std::make_unique<Face>(options.fonts_dir + "/" + line.args[0]);
        return {RESFILE_FONT, make_font(*face, number(line, 1, 6, 64))};
    }
    if (line.kind == "icon") {
        // icon <glyph name> U+XXXX <px> [square]: the name says which glyph was meant, the code finds it.
        // "square" keeps the whole em square instead of cropping to the ink, so that a family of icons (the
        // signal bars) lines up when they replace one another.
        const bool square = line.args.size() == 4 && line.args[3] == "square";
        if (line.args.size() != 3 && !square)
            throw std::runtime_error(where + ": expected \"icon <glyph name> U+XXXX <px> [square]\"");
        return {RESFILE_IMAGE, image_of(make_icon(icons, code_of(line, 1), number(line, 2, 4, 128), square))};
    }
    if (line.kind == "drawn") {
        if (line.args.empty())
            throw std::runtime_error(where + ": expected \"drawn <picture> <arguments>\"");
        const std::vector<std::string> rest(line.args.begin() + 1, line.args.end());
        return {RESFILE_IMAGE, image_of(make_drawn(line.args[0], rest, icons, options.fonts_dir))};
    }
    if (line.kind == "translation") {
        if (line.args.size() != 1)
            throw std::runtime_error(where + ": expected \"translation <file.po>\"");
        // A catalogue whose .po file is not written yet stays empty: the program then shows English.
        const std::string po = base_dir + "/" + line.args[0];
        if (!std::filesystem::exists(po)) {
            std::cout << "mkresources: " << line.name << ": " << po << " not there yet, entry left empty\n";
            return {RESFILE_EMPTY, {}};
        }
        resfile_blob blob{RESFILE_TRANSLATION, {}};
        std::string error;
        if (po_compile_file(po, blob.bytes, error) != 0)
            throw std::runtime_error(where + ": " + error);
        return blob;
    }
    throw std::runtime_error(where + ": unknown kind \"" + line.kind + "\"");
}

void make_resources(const Options& options) {
    const std::vector<ManifestLine> lines = read_manifest(options.manifest);
    const std::string base_dir = std::filesystem::path(options.manifest).parent_path().string();
    Face icons(options.fonts_dir + "/" + ICON_FONT);
    std::map<std::string, std::unique_ptr<Face>> faces;
    std::vector<resfile_blob> blobs;
    for (const ManifestLine& line : lines)
        blobs.push_back(build_entry(line, options, base_dir.empty() ? "." : base_dir, icons, faces));
    const std::vector<uint8_t> file = resfile_build(resfile_names_crc(resource_names, RESOURCE_COUNT), blobs);
    write_file(options.out, file.data(), file.size());
}

int run(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            throw std::runtime_error("option " + arg + " needs a value");
        const std::string value = argv[++i];
        if (arg == "--manifest")
            options.manifest = value;
        else if (arg == "--fonts-dir")
            options.fonts_dir = value;
        else if (arg == "--out")
            options.out = value;
        else if (arg == "--console-font")
            options.console_font = value;
        else
            throw std::runtime_error("unknown option " + arg);
    }
    if (options.fonts_dir.empty())
        throw std::runtime_error("--fonts-dir is required");
    if (!options.console_font.empty()) {
        Face mono(options.fonts_dir + "/dejavu/DejaVuSansMono.ttf");
        const std::string source = make_console_font(mono);
        write_file(options.console_font, source.data(), source.size());
    }
    if (!options.out.empty()) {
        if (options.manifest.empty())
            throw std::runtime_error("--out needs --manifest");
        make_resources(options);
    }
    return 0;
}

} // namespace
} // namespace tdx::mkres

int main(int argc, char** argv) {
    try {
        return tdx::mkres::run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkresources: %s\n", e.what());
        return 1;
    }
}
