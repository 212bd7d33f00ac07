// Text helpers.
#pragma once

#include <string>

namespace tdx {

// The 17-character serial-number text "PPPP-DD-DDDD-DDDD": the prefix modulo 10000 as four digits, then the
// serial as ten digits with leading zeros, grouped 2-4-4. (1530, 1234) -> "1530-00-0000-1234".
std::string format_serial_number(unsigned short prefix, unsigned int serial);

// A copy of text without leading and trailing white space (blank, \t, \n, \v, \f, \r).
std::string trim(const std::string& text);

} // namespace tdx
