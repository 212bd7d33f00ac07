#include "tools/pocompile/po_compile.h"
#include "Libraries/base/bytes.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

namespace tdx {

namespace {

constexpr uint32_t MO_MAGIC = 0x950412DE;
constexpr size_t MO_HEADER_SIZE = 28;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes one quoted string that makes up the whole of s; appends it to out.
bool decodeString(std::string_view s, std::string& out, std::string& reason) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') {
        reason = "expected a quoted string";
        return false;
    }
    s = s.substr(1, s.size() - 2);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            reason = "unescaped '\"' inside a string";
            return false;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == s.size()) {
            reason = "string ends with a lone backslash";
            return false;
        }
        c = s[i];
        switch (c) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'a':
                out += '\a';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'v':
                out += '\v';
                break;
            case '\\':
            case '"':
            case '\'':
            case '?':
                out += c;
                break;
            case 'x': {
                int value = 0;
                size_t digits = 0;
                while (i + 1 < s.size() && hexValue(s[i + 1]) >= 0 && digits < 2) {
                    value = value * 16 + hexValue(s[++i]);
                    ++digits;
                }
                if (digits == 0) {
                    reason = "\\x without hexadecimal digits";
                    return false;
                }
                out += static_cast<char>(value);
                break;
            }
            default:
                if (c >= '0' && c <= '7') {
                    int value = c - '0';
                    for (int n = 0; n < 2 && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7'; ++n) {
                        value = value * 8 + (s[++i] - '0');
                    }
                    if (value > 0xFF) {
                        reason = "octal escape out of range";
                        return false;
                    }
                    out += static_cast<char>(value);
                    break;
                }
                reason = std::string("unknown escape \\") + c;
                return false;
        }
    }
    return true;
}

// The charset a header declares in its Content-Type line, or "" when it declares none.
std::string headerCharset(const std::string& header) {
    static constexpr std::string_view KEY = "charset=";
    size_t line = header.find("Content-Type:");
    if (line == std::string::npos) {
        return {};
    }
    size_t end = header.find('\n', line);
    size_t at = header.find(KEY, line);
    if (at == std::string::npos || (end != std::string::npos && at > end)) {
        return {};
    }
    at += KEY.size();
    size_t stop = at;
    while (stop < header.size() && header[stop] != '\n' && header[stop] != ';' && !isBlank(header[stop])) {
        ++stop;
    }
    std::string charset = header.substr(at, stop - at);
    std::transform(charset.begin(), charset.end(), charset.begin(),
                   [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); });
    return charset;
}

class Parser {
public:
    Parser(std::vector<PoEntry>& entries, std::string& error)
        : mEntries(entries)
        , mError(error) {}

    bool parse(std::string_view text) {
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            ++mLine;
            if (!line(trimmed(text.substr(pos, end - pos)))) {
                return false;
            }
            pos = end + 1;
        }
        return finishEntry();
    }

private:
    enum class Field { None, Context, Id, Translation };

    bool fail(const std::string& reason) {
        mError = "line " + std::to_string(mLine) + ": " + reason;
        return false;
    }

    bool line(std::string_view s) {
        if (s.empty()) {
            mField = Field::None; // a blank line ends the strings of a keyword, not the entry
            return true;
        }
        if (s.front() == '#') {
            if (s.starts_with("#,") && s.find("fuzzy") != std::string_view::npos) {
                if (mSeen == Field::Translation && !finishEntry()) {
                    return false;
                }
                mFuzzy = true;
            }
            return true;
        }
        if (s.front() == '"') {
            if (mField == Field::None) {
                return fail("string outside of msgctxt, msgid or msgstr");
            }
            std::string reason;
            return decodeString(s, *target(), reason) || fail(reason);
        }
        size_t space = s.find_first_of(" \t");
        std::string_view keyword = s.substr(0, space);
        std::string_view rest =
            space == std::string_view::npos ? std::string_view{} : trimmed(s.substr(space));
        if (keyword == "msgid_plural" || keyword.starts_with("msgstr[")) {
            return fail("plural forms are not supported");
        }
        Field field;
        if (keyword == "msgctxt") {
            field = Field::Context;
        } else if (keyword == "msgid") {
            field = Field::Id;
        } else if (keyword == "msgstr") {
            field = Field::Translation;
        } else {
            return fail("unknown keyword '" + std::string(keyword) + "'");
        }
        if (!keywordLine(field)) {
            return false;
        }
        std::string reason;
        return decodeString(rest, *target(), reason) || fail(reason);
    }

    // Checks the order msgctxt? msgid msgstr and starts a new entry where one begins.
    bool keywordLine(Field field) {
        if (field != Field::Translation && mSeen >= Field::Translation && !finishEntry()) {
            return false;
        }
        switch (field) {
            case Field::Context:
                if (mSeen != Field::None) {
                    return fail("msgctxt out of place");
                }
                mCurrent.hasContext = true;
                break;
            case Field::Id:
                if (mSeen == Field::Id) {
                    return fail("msgid without msgstr");
                }
                mCurrent.line = mLine;
                break;
            case Field::Translation:
                if (mSeen != Field::Id) {
                    return fail(mSeen == Field::Translation ? "second msgstr" : "msgstr without msgid");
                }
                break;
            case Field::None:
                break;
        }
        mField = field;
        mSeen = field;
        return true;
    }

    std::string* target() {
        switch (mField) {
            case Field::Context:
                return &mCurrent.context;
            case Field::Id:
                return &mCurrent.id;
            default:
                return &mCurrent.translation;
        }
    }

    bool finishEntry() {
        if (mSeen == Field::None) {
            return true;
        }
        if (mSeen != Field::Translation) {
            return fail("entry without msgstr");
        }
        if (mCurrent.context.find('\x04') != std::string::npos ||
            mCurrent.id.find('\x04') != std::string::npos) {
            mLine = mCurrent.line;
            return fail("context or id contains the context separator \\x04");
        }
        mCurrent.fuzzy = mFuzzy;
        std::string key = po_key(mCurrent);
        if (!mKeys.insert(key).second) {
            mLine = mCurrent.line;
            return fail("duplicate entry for \"" + mCurrent.id + "\"");
        }
        if (key.empty()) {
            std::string charset = headerCharset(mCurrent.translation);
            // A template (.pot) leaves the charset open as "CHARSET".
            if (!charset.empty() && charset != "UTF-8" && charset != "CHARSET") {
                mLine = mCurrent.line;
                return fail("the header declares charset " + charset + "; catalogues must be UTF-8");
            }
        }
        mEntries.push_back(std::move(mCurrent));
        mCurrent = PoEntry{};
        mFuzzy = false;
        mField = Field::None;
        mSeen = Field::None;
        return true;
    }

    std::vector<PoEntry>& mEntries;
    std::string& mError;
    std::set<std::string> mKeys;
    PoEntry mCurrent;
    bool mFuzzy = false;
    Field mField = Field::None; // the keyword that continuation strings extend
    Field mSeen = Field::None;  // the last keyword of the current entry
    int mLine = 0;
};

} // namespace

std::string po_key(const PoEntry& entry) {
    return entry.hasContext ? entry.context + '\x04' + entry.id : entry.id;
}

int po_parse(std::string_view text, std::vector<PoEntry>& entries, std::string& error) {
    std::vector<PoEntry> parsed;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    if (!Parser(parsed, error).parse(text)) {
        return -1;
    }
    entries = std::move(parsed);
    return 0;
}

std::vector<uint8_t> po_build_mo(const std::vector<PoEntry>& entries) {
    std::vector<std::pair<std::string, const std::string*>> messages;
    for (const PoEntry& entry : entries) {
        std::string key = po_key(entry);
        bool header = key.empty();
        if (entry.translation.empty() || (entry.fuzzy && !header)) {
            continue; // the program falls back to the id
        }
        messages.emplace_back(std::move(key), &entry.translation);
    }
    // std::string compares its bytes as unsigned char, like strcmp.
    std::sort(messages.begin(), messages.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    const size_t count = messages.size();
    const size_t keyTable = MO_HEADER_SIZE;
    const size_t valueTable = keyTable + 8 * count;
    const size_t strings = valueTable + 8 * count;
    std::vector<uint8_t> out(strings);
    put_le32(&out[0], MO_MAGIC);
    put_le32(&out[4], 0);
    put_le32(&out[8], count);
    put_le32(&out[12], keyTable);
    put_le32(&out[16], valueTable);
    put_le32(&out[20], 0);       // no hash table
    put_le32(&out[24], strings); // where it would be
    auto append = [&out](size_t slot, const std::string& s) {
        put_le32(&out[slot], s.size());
        put_le32(&out[slot + 4], out.size());
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    };
    for (size_t i = 0; i < count; ++i) {
        append(keyTable + 8 * i, messages[i].first);
    }
    for (size_t i = 0; i < count; ++i) {
        append(valueTable + 8 * i, *messages[i].second);
    }
    return out;
}

int po_compile_file(const std::string& path, std::vector<uint8_t>& mo, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open";
        return -1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path + ": read error";
        return -1;
    }
    std::vector<PoEntry> entries;
    if (po_parse(text, entries, error) != 0) {
        error = path + ": " + error;
        return -1;
    }
    mo = po_build_mo(entries);
    return 0;
}

} // namespace tdx
