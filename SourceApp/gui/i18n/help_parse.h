// Help texts: plain text with section marker lines. A marker line starts with "#!" and reads
//     #! Title [picture_resource_name]
// where the bracketed name is optional. Text before the first marker (the banner) and the text under each
// marker are text runs.
#pragma once

#include <string>

namespace tdx {

enum parse_node_kind : int {
    PARSE_NODE_TEXT = 1,    // a run of text before, between or after marker lines
    PARSE_NODE_SECTION = 2, // a marker line
};

struct parse_node {
    parse_node* next;
    parse_node* prev;
    parse_node_kind kind;
    std::string
        text; // a run as written, or a marker's title: from its first non-blank up to '[' or the line end
    std::string target; // a marker's picture name; empty when it names none
};

// Parses text into a doubly linked list of nodes in text order. Runs of blank characters only make no node;
// a text without any node (empty, or blank) gives one empty text node. Returns 0 and the first node in
// *first, or -1 and nullptr for a null text, a '[' without ']' on its line, or a picture name holding a blank
// or tab.
int help_parse(const char* text, parse_node** first);

// Frees the whole list that node belongs to; nullptr is allowed.
void help_free_parse_node(parse_node* node);

} // namespace tdx
