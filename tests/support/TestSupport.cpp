// SPDX-License-Identifier: MIT
#include "support/TestSupport.h"

#include <cstdlib>
#include <stdexcept>

namespace testsupport {

CTempDir::CTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvi-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path CorporaDir() {
    std::filesystem::path dir(QUORVI_CORPORA_DIR);
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

bool RunningInCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string(ci) == "true";
}

} // namespace testsupport
