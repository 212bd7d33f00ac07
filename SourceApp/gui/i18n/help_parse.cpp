#include "SourceApp/gui/i18n/help_parse.h"

#include "Libraries/base/dbg.h"

#include <cstring>
#include <string_view>

namespace tdx {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

class ListBuilder {
public:
    ListBuilder() = default;
    ListBuilder(const ListBuilder&) = delete;
    ListBuilder& operator=(const ListBuilder&) = delete;
    ~ListBuilder() { help_free_parse_node(mFirst); }

    void append(parse_node_kind kind, std::string_view text, std::string_view target) {
        auto* node = new parse_node{nullptr, mLast, kind, std::string(text), std::string(target)};
        (mLast != nullptr ? mLast->next : mFirst) = node;
        mLast = node;
    }

    // A run of text; blank runs (the line breaks around markers, empty lines) are no node.
    void appendRun(std::string_view run) {
        for (char c : run) {
            if (!isBlank(c) && c != '\n' && c != '\r') {
                append(PARSE_NODE_TEXT, run, {});
                return;
            }
        }
    }

    bool empty() const { return mFirst == nullptr; }

    parse_node* release() {
        parse_node* first = mFirst;
        mFirst = mLast = nullptr;
        return first;
    }

private:
    parse_node* mFirst = nullptr;
    parse_node* mLast = nullptr;
};

// A marker line without its "#!" and line break.
bool appendSection(ListBuilder& list, std::string_view line, unsigned number) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    size_t start = 0;
    while (start < line.size() && isBlank(line[start])) {
        ++start;
    }
    const size_t open = line.find('[', start);
    if (open == std::string_view::npos) {
        list.append(PARSE_NODE_SECTION, line.substr(start), {});
        return true;
    }
    const size_t close = line.find(']', open);
    if (close == std::string_view::npos) {
        dbg_printf_h("help: line %u: '[' without ']'", number);
        return false;
    }
    const std::string_view target = line.substr(open + 1, close - open - 1);
    if (target.find_first_of(" \t\r") != std::string_view::npos) {
        dbg_printf_h("help: line %u: blank in the picture name \"%s\"", number, target);
        return false;
    }
    list.append(PARSE_NODE_SECTION, line.substr(start, open - start), target);
    return true;
}

} // namespace

int help_parse(const char* text, parse_node** first) {
    if (first == nullptr) {
        return -1;
    }
    *first = nullptr;
    if (text == nullptr) {
        dbg_printf_h("help: no text");
        return -1;
    }
    const std::string_view all(text);
    ListBuilder list;
    size_t runStart = 0;
    size_t lineStart = 0;
    unsigned number = 1;
    while (lineStart < all.size()) {
        size_t lineEnd = all.find('\n', lineStart);
        const size_t next = lineEnd == std::string_view::npos ? all.size() : lineEnd + 1;
        if (lineEnd == std::string_view::npos) {
            lineEnd = all.size();
        }
        if (all.compare(lineStart, 2, "#!") == 0) {
            list.appendRun(all.substr(runStart, lineStart - runStart));
            if (!appendSection(list, all.substr(lineStart + 2, lineEnd - lineStart - 2), number)) {
                return -1;
            }
            runStart = next;
        }
        lineStart = next;
        ++number;
    }
    list.appendRun(all.substr(runStart));
    if (list.empty()) {
        list.append(PARSE_NODE_TEXT, {}, {});
    }
    *first = list.release();
    return 0;
}

void help_free_parse_node(parse_node* node) {
    if (node == nullptr) {
        return;
    }
    while (node->prev != nullptr) {
        node = node->prev;
    }
    while (node != nullptr) {
        parse_node* next = node->next;
        delete node;
        node = next;
    }
}

} // namespace tdx
