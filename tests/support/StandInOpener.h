// SPDX-License-Identifier: MIT
// A stand-in xdg-open first in PATH for its lifetime: each run appends its arguments to a log
// and exits with the status the test asks for, so tests see what the program hands the desktop
// and how it takes each answer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

class CStandInOpener {
public:
    // The script and its log live in dir.
    explicit CStandInOpener(const std::filesystem::path& dir, int nStatus = 0);
    ~CStandInOpener();
    CStandInOpener(const CStandInOpener&) = delete;
    CStandInOpener& operator=(const CStandInOpener&) = delete;

    // The next runs exit with nStatus; with holdUntil they first wait until that file exists
    // (as xdg-open does while the program it started runs).
    void SetExitStatus(int nStatus, const std::filesystem::path& holdUntil = {});
    // No xdg-open on PATH at all.
    void RemoveFromPath();
    // The arguments of each run so far, in order.
    std::vector<std::vector<std::string>> Runs() const;

private:
    std::filesystem::path m_bin;
    std::filesystem::path m_log;
    std::string m_strSavedPath;
};

} // namespace testsupport
