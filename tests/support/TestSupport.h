// SPDX-License-Identifier: MIT
// Small helpers shared by the tests.
#pragma once

#include "image/TextException.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include <sys/resource.h>

// Expects stmt to throw CTextException with the given code and text.
#define EXPECT_TEXT_EXCEPTION(stmt, code, text)                                                    \
    do {                                                                                           \
        try {                                                                                      \
            stmt;                                                                                  \
            ADD_FAILURE() << "no CTextException from " #stmt;                                      \
        } catch (const CTextException& e) {                                                        \
            EXPECT_EQ(e.Code(), (code));                                                           \
            EXPECT_EQ(e.Text(), std::string(text));                                                \
        }                                                                                          \
    } while (0)

namespace testsupport {

// The named log files of a helper process's folder, each under a "--- name" line, for failure
// messages (a file that is missing reads as empty).
std::string JoinedLogs(const std::filesystem::path& dir, std::initializer_list<const char*> names);

// A fresh directory under the system's temporary folder, removed with the object.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::filesystem::path& Path() const noexcept { return m_path; }

private:
    std::filesystem::path m_path;
};

// The names of the entries of dir, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& dir);

// Files larger than limit cannot be written while this lives: write() then fails with EFBIG, as
// on a full disk.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t limit);
    ~CFileSizeLimit();
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

// The public format test suites, or an empty path when they are not beside the project.
std::filesystem::path CorporaDir();
// True when the tests run in CI (CI=true), where a missing corpus is a broken set-up.
bool RunningInCi();

} // namespace testsupport

// Skips the current test, saying why, when the corpora are absent; in CI that fails it instead,
// so that a lost corpus does not quietly turn its tests into skips.
#define SKIP_WITHOUT_CORPORA()                                                                     \
    do {                                                                                           \
        if (testsupport::CorporaDir().empty()) {                                                   \
            if (testsupport::RunningInCi())                                                        \
                FAIL() << "public test suites not found at " QUORVI_CORPORA_DIR " (CI=true)";      \
            GTEST_SKIP() << "public test suites not found at " QUORVI_CORPORA_DIR;                 \
        }                                                                                          \
    } while (0)
