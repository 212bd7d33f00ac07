#include "SourceApp/gui/i18n/help_parse.h"
#include "catalogues.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace tdx {
namespace {

struct Node {
    parse_node_kind kind;
    std::string text;
    std::string target;
    bool operator==(const Node&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Node& node) {
    return out << "{" << node.kind << ", \"" << node.text << "\", \"" << node.target << "\"}";
}

// The parsed list, checked for consistent links in both directions.
std::vector<Node> parsed(const char* text) {
    parse_node* first = reinterpret_cast<parse_node*>(1);
    EXPECT_EQ(help_parse(text, &first), 0) << text;
    std::unique_ptr<parse_node, void (*)(parse_node*)> list(first, &help_free_parse_node);
    std::vector<Node> nodes;
    const parse_node* previous = nullptr;
    for (const parse_node* node = first; node != nullptr; node = node->next) {
        EXPECT_EQ(node->prev, previous);
        nodes.push_back({node->kind, node->text, node->target});
        previous = node;
    }
    return nodes;
}

void expectRejected(const char* text) {
    parse_node* first = reinterpret_cast<parse_node*>(1);
    EXPECT_EQ(help_parse(text, &first), -1) << (text != nullptr ? text : "(null)");
    EXPECT_EQ(first, nullptr);
}

// Lines after the first that begin with "#!".
size_t countMarkers(const std::string& text) {
    size_t count = 0;
    for (size_t at = text.find("\n#!"); at != std::string::npos; at = text.find("\n#!", at + 1)) {
        ++count;
    }
    return count;
}

constexpr parse_node_kind TEXT = PARSE_NODE_TEXT;
constexpr parse_node_kind SECTION = PARSE_NODE_SECTION;

TEST(HelpParse, SplitsABannerAndSectionsWithTheirTexts) {
    const struct {
        const char* text;
        std::vector<Node> nodes;
    } cases[] = {
        {"Rooms\n"
         "#! Desired temperature [res_comfort]\n"
         "Tap the arrows.\nThe room follows.\n"
         "#!Schedule\n"
         "Pick a day.\n",
         {{TEXT, "Rooms\n", ""},
          {SECTION, "Desired temperature ", "res_comfort"},
          {TEXT, "Tap the arrows.\nThe room follows.\n", ""},
          {SECTION, "Schedule", ""},
          {TEXT, "Pick a day.\n", ""}}},
        // A marker right after a marker, and text only after the last.
        {"#! First [res_home]\n#! \t Second []\n\n  \n#! Third [res_eco] trailing words\nLast words",
         {{SECTION, "First ", "res_home"},
          {SECTION, "Second ", ""},
          {SECTION, "Third ", "res_eco"},
          {TEXT, "Last words", ""}}},
        {"#! Alone", {{SECTION, "Alone", ""}}},
        // Markers start at the beginning of a line.
        {" #! not a marker\nx #! neither", {{TEXT, " #! not a marker\nx #! neither", ""}}},
        {"#\n#!A [res_info]\r\nbody\r\n",
         {{TEXT, "#\n", ""}, {SECTION, "A ", "res_info"}, {TEXT, "body\r\n", ""}}},
        // Empty and blank texts give one empty text node.
        {"", {{TEXT, "", ""}}},
        {" \n\t\n", {{TEXT, "", ""}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parsed(c.text), c.nodes) << c.text;
    }
}

TEST(HelpParse, RejectsBadPictureNamesAndNoText) {
    test::TraceCapture trace;
    expectRejected(nullptr);
    expectRejected("Banner\n#! Title [res home]\nbody");
    expectRejected("#! Title [res_home\t]");
    expectRejected("#! Title [res_home\r]");
    expectRejected("Banner\n#! Fine [res_home]\ntext\n#! Title [res_home\n]\n");
    expectRejected("#! Title [");
    EXPECT_TRUE(trace.contains("help: line 2: blank in the picture name \"res home\""));
    EXPECT_TRUE(trace.contains("help: line 4: '[' without ']'"));
    EXPECT_EQ(help_parse("text", nullptr), -1);
}

// Texts made of the characters that matter to the parser, at random: a defined answer every time.
TEST(HelpParse, SurvivesRandomTexts) {
    static constexpr char ALPHABET[] = "#![] \t\r\nab";
    std::mt19937 random(7);
    test::TraceCapture trace;
    for (int round = 0; round < 5000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text) {
            c = ALPHABET[random() % (sizeof ALPHABET - 1)];
        }
        parse_node* first = reinterpret_cast<parse_node*>(1);
        const int result = help_parse(text.c_str(), &first);
        if (result != 0) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(first, nullptr);
            continue;
        }
        ASSERT_NE(first, nullptr) << text;
        EXPECT_EQ(first->prev, nullptr);
        size_t markers = 0;
        for (const parse_node* node = first; node != nullptr; node = node->next) {
            EXPECT_TRUE(node->next == nullptr || node->next->prev == node);
            EXPECT_EQ(node->target.find_first_of(" \t\r\n"), std::string::npos);
            markers += node->kind == PARSE_NODE_SECTION;
        }
        EXPECT_EQ(markers, static_cast<size_t>(text.starts_with("#!")) + countMarkers(text)) << text;
        help_free_parse_node(first);
    }
}

TEST(HelpParse, FreeingFromAnyNodeFreesTheWholeList) {
    parse_node* first = nullptr;
    ASSERT_EQ(help_parse("a\n#! b\nc\n#! d\n", &first), 0);
    ASSERT_NE(first->next, nullptr);
    help_free_parse_node(first->next->next); // the sanitizer run reports anything left behind
    help_free_parse_node(nullptr);
}

} // namespace
} // namespace tdx
