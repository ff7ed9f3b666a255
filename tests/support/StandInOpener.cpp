// SPDX-License-Identifier: MIT
// The stand-in xdg-open.
#include "support/StandInOpener.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testsupport {

namespace {

// Single-quoted for the shell.
std::string Quoted(const std::filesystem::path& path) {
    std::string strQuoted = "'";
    for (char c : path.string())
        strQuoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return strQuoted + "'";
}

} // namespace

CStandInOpener::CStandInOpener(const std::filesystem::path& dir, int nStatus)
    : m_bin(dir / "opener-bin"), m_log(dir / "opener-runs.txt") {
    const char* pszPath = std::getenv("PATH");
    m_strSavedPath = pszPath != nullptr ? pszPath : "";
    std::filesystem::create_directories(m_bin);
    SetExitStatus(nStatus);
    setenv("PATH", (m_bin.string() + ":" + m_strSavedPath).c_str(), 1);
}

CStandInOpener::~CStandInOpener() {
    setenv("PATH", m_strSavedPath.c_str(), 1);
}

void CStandInOpener::SetExitStatus(int nStatus, const std::filesystem::path& holdUntil) {
    const std::filesystem::path script = m_bin / "xdg-open";
    {
        std::ofstream out(script, std::ios::trunc);
        out << "#!/bin/sh\n"
            << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> " << Quoted(m_log) << "\n"
            << "echo >> " << Quoted(m_log) << "\n";
        if (!holdUntil.empty())
            out << "while [ ! -e " << Quoted(holdUntil) << " ]; do sleep 0.05; done\n";
        out << "exit " << nStatus << "\n";
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

void CStandInOpener::RemoveFromPath() {
    std::filesystem::remove(m_bin / "xdg-open");
    setenv("PATH", m_bin.string().c_str(), 1);
}

std::vector<std::vector<std::string>> CStandInOpener::Runs() const {
    std::ifstream in(m_log);
    std::vector<std::vector<std::string>> runs;
    std::vector<std::string> current;
    for (std::string strLine; std::getline(in, strLine);) {
        if (!strLine.empty()) {
            current.push_back(strLine);
        } else if (!current.empty()) {
            runs.push_back(std::move(current));
            current.clear();
        }
    }
    return runs;
}

} // namespace testsupport
