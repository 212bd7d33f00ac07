// The layering of the source tree, checked on every #include: a layer includes itself and the layers it
// builds on, never one above; only the host includes the desktop toolkit; every folder belongs to a layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tdx {
namespace {

namespace fs = std::filesystem;

enum Layer { Host, Screens, Application, Widgets, Gui, Model, Network, Port, Base, None };
const char* const NAMES[] = {"host",       "screens",        "application framework", "widgets", "GUI engine",
                             "data model", "device network", "platform port",         "base",    "no layer"};

// Folder -> layer; the longest folder that starts a path decides.
const std::map<std::string, Layer> FOLDERS = {
    {"SourceHost/", Host},
    {"SourceApp/application/forms/", Screens},
    {"SourceApp/application/", Application},
    {"SourceApp/system/", Application},
    {"SourceApp/drivers/", Application},
    {"SourceApp/application/controls/", Widgets},
    {"SourceApp/application/commands/", Widgets},
    {"SourceApp/gui/", Gui},
    {"SourceApp/application/resources/", Gui},
    {"SourceApp/big_table/", Model},
    {"SourceApp/storage/", Model},
    {"Libraries/link_bus/", Network},
    {"Libraries/tavi_net/", Network},
    {"SourceHost/api_lib/", Port},
    {"SourceHost/config/", Port},
    {"SourceHost/application/", Port},
    {"Libraries/base/", Base},
    {"Libraries/misc/", Base},
    {"SourceApp/task/", Base},
    {"SourceApp/application/utils/", Base},
    {"SourceApp/libs/", Base},
};

// What each layer may include besides itself. The application framework reaches the screens through the
// registry only (checked apart).
const std::map<Layer, std::set<Layer>> BELOW = {
    {Host, {Screens, Application, Widgets, Gui, Model, Network, Port, Base}},
    {Screens, {Application, Widgets, Gui, Model, Base}},
    {Application, {Screens, Widgets, Gui, Model, Network, Port, Base}},
    {Widgets, {Gui, Model, Port, Base}},
    {Gui, {Port, Base}},
    {Model, {Network, Port, Base}},
    {Network, {Port, Base}},
    {Port, {Base}},
    {Base, {}},
};

Layer layerOf(const std::string& path) {
    Layer layer = None;
    size_t longest = 0;
    for (const auto& [folder, owner] : FOLDERS) {
        if (path.starts_with(folder) && folder.size() > longest) {
            layer = owner;
            longest = folder.size();
        }
    }
    return layer;
}

// Angle-bracket headers below the host: the standard library and POSIX, no toolkit and no other library.
bool isSystemHeader(const std::string& header) {
    static const std::regex toolkit(R"(^Q[A-Z].*|^Qt.*)");
    if (std::regex_match(header, toolkit)) {
        return false;
    }
    const size_t slash = header.find('/');
    if (slash == std::string::npos) {
        return true;
    }
    static const std::set<std::string> posix = {"sys", "arpa", "netinet", "linux"};
    return posix.count(header.substr(0, slash)) != 0;
}

// Every breach of the rules in one file (path from the source root), one line each.
std::vector<std::string> breaches(const std::string& path, std::istream& text) {
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<std::string> found;
    const Layer layer = layerOf(path);
    if (layer == None) {
        found.push_back(path + ": in no layer");
        return found;
    }
    std::string line;
    for (int number = 1; std::getline(text, line); ++number) {
        std::smatch m;
        if (!std::regex_search(line, m, include)) {
            continue;
        }
        const std::string header = m[2];
        const std::string where = path + ":" + std::to_string(number) + ": " + header;
        if (m[1] == "<") {
            if (layer != Host && !isSystemHeader(header)) {
                found.push_back(where + ": only the host uses libraries beyond the standard one and POSIX");
            }
            continue;
        }
        const Layer target = layerOf(header);
        if (target == None) {
            found.push_back(where + ": not included by its path from the source root");
        } else if (target != layer && BELOW.at(layer).count(target) == 0) {
            found.push_back(where + ": " + NAMES[layer] + " includes " + NAMES[target]);
        } else if (layer == Application && target == Screens) {
            std::string file = fs::path(path).filename().string();
            std::transform(file.begin(), file.end(), file.begin(), ::tolower);
            if (file.find("registry") == std::string::npos) {
                found.push_back(where + ": only the screen registry knows the screens");
            }
        }
    }
    return found;
}

std::vector<std::string> check(const std::string& path, const std::string& text) {
    std::istringstream in(text);
    return breaches(path, in);
}

TEST(Layers, TheSourceTreeKeepsTheIncludeRules) {
    const fs::path root = TDX_SOURCE_DIR;
    std::vector<std::string> found;
    int files = 0;
    for (const char* top : {"Libraries", "SourceApp", "SourceHost"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
                continue;
            }
            std::ifstream in(entry.path());
            const std::vector<std::string> more = breaches(fs::relative(entry.path(), root).string(), in);
            found.insert(found.end(), more.begin(), more.end());
            ++files;
        }
    }
    EXPECT_GT(files, 100);
    for (const std::string& breach : found) {
        ADD_FAILURE() << breach;
    }
}

// The checker itself must see a breach of each kind.
TEST(Layers, EachKindOfBreachIsFound) {
    const struct {
        const char* path;
        const char* text;
        const char* breach; // empty: none
    } cases[] = {
        {"Libraries/base/a.cpp", "#include \"Libraries/base/fmt.h\"\n#include <vector>\n", ""},
        {"Libraries/base/a.cpp", "#include \"SourceHost/api_lib/file.h\"\n", "base includes platform port"},
        {"SourceApp/gui/a.cpp", "#include \"SourceApp/storage/Value.h\"\n", "GUI engine includes data model"},
        {"SourceApp/storage/a.h", "  #  include \"SourceApp/gui/gfx/gfx.h\"\n",
         "data model includes GUI engine"},
        {"SourceApp/application/forms/room/F.cpp", "#include \"Libraries/tavi_net/tnet.h\"\n",
         "screens includes device network"},
        {"SourceApp/application/App.cpp", "#include \"SourceApp/application/forms/FormHome.h\"\n",
         "only the screen registry"},
        {"SourceApp/application/ScreenRegistry.cpp", "#include \"SourceApp/application/forms/FormHome.h\"\n",
         ""},
        {"SourceApp/application/controls/B.cpp", "#include <QWidget>\n", "only the host"},
        {"SourceApp/gui/a.cpp", "#include <nlohmann/json.hpp>\n", "only the host"},
        {"SourceHost/inspector/I.cpp", "#include <QWidget>\n#include \"SourceApp/gui/gfx/gfx.h\"\n", ""},
        {"SourceApp/gui/a.cpp", "#include \"gfx.h\"\n", "path from the source root"},
        {"SourceApp/newfolder/a.cpp", "", "in no layer"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> found = check(c.path, c.text);
        if (c.breach[0] == '\0') {
            EXPECT_TRUE(found.empty()) << c.path << ": " << (found.empty() ? "" : found[0]);
        } else {
            ASSERT_EQ(found.size(), 1u) << c.path << " " << c.text;
            EXPECT_NE(found[0].find(c.breach), std::string::npos) << found[0];
        }
    }
}

} // namespace
} // namespace tdx
