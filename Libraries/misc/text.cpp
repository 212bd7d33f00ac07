#include "Libraries/misc/text.h"

#include "Libraries/base/fmt.h"

namespace tdx {

std::string format_serial_number(unsigned short prefix, unsigned int serial) {
    // "PPPP-" then the ten digits, with dashes after the second and the sixth of them.
    const std::string digits = fmt("%010u", serial);
    return fmt("%04u-%.2s-%.4s-%.4s", prefix % 10000u, digits.c_str(), digits.c_str() + 2,
               digits.c_str() + 6);
}

std::string trim(const std::string& text) {
    static constexpr const char* WHITE_SPACE = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(WHITE_SPACE);
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(WHITE_SPACE);
    return text.substr(first, last - first + 1);
}

} // namespace tdx
