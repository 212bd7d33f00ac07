// libFuzzer entry for the screen monkey (built with clang only).
#include "tests/SourceApp/application/forms/monkey/screen_monkey.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tdx::test::MonkeyVerdict verdict = tdx::test::runScreenMonkey(data, size);
    if (!verdict.sound) {
        std::fputs(verdict.report.c_str(), stderr);
        std::abort();
    }
    return 0;
}
