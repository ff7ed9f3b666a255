// SPDX-License-Identifier: MIT
#include "support/TestSupport.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

std::string JoinedLogs(const std::filesystem::path& dir, std::initializer_list<const char*> names) {
    std::string text;
    for (const char* name : names) {
        std::ifstream in(dir / name);
        std::stringstream buffer;
        buffer << in.rdbuf();
        text += std::string("--- ") + name + "\n" + buffer.str();
    }
    return text;
}

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

std::vector<std::string> FileNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

CFileSizeLimit::CFileSizeLimit(rlim_t limit) {
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit lowered = m_old;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
}

CFileSizeLimit::~CFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
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
