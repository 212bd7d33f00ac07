// The real catalogues of the repository, compiled at test time, and the helpers around them.
#pragma once

#include "SourceHost/api_lib/scratch_folder.h"
#include "tests/support/child_process.h"
#include "tests/support/trace_capture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tdx::test {

// The repository's root folder.
std::string sourceDir();

// The text of a file of the repository ("resources/po/cs.po"); fails the test when it cannot be read.
std::string readSourceFile(const std::string& relativePath);

// The .mo image compiled from a .po file of the repository ("resources/po/cs.po"); fails the test and
// returns an empty image when the file does not compile. Images stay resident for the whole run.
const std::vector<uint8_t>& compiledCatalogue(const std::string& relativePath);

// What msgfmt makes of the same file; empty (and the test failed) when msgfmt rejects it.
std::vector<uint8_t> msgfmtCatalogue(const std::string& relativePath);

// The resource reader start-up would install: the compiled catalogues under their resource ids.
std::span<const uint8_t> repositoryCatalogues(uint16_t resourceId);

} // namespace tdx::test
