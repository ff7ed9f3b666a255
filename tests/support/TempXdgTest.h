// SPDX-License-Identifier: MIT
// CTempXdgTest: a test fixture whose HOME and XDG directories live in a fresh temporary folder.
#pragma once

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Points HOME, XDG_{CONFIG,DATA,CACHE,STATE}_HOME, XDG_RUNTIME_DIR and XDG_{CONFIG,DATA}_DIRS at
// folders of a temporary directory, so nothing leaks between tests or into the user's files.
// TearDown restores the environment.
class CTempXdgTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& Root() const { return m_dir->Path(); }
    std::filesystem::path Home() const { return Root() / "home"; }
    std::filesystem::path ConfigHome() const { return Root() / "config"; }
    // The one entry of XDG_CONFIG_DIRS (stands in for /etc/xdg).
    std::filesystem::path SystemConfigDir() const { return Root() / "etc-xdg"; }

private:
    std::unique_ptr<CTempDir> m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// Reads a whole file as bytes ("" when it cannot be read).
std::string ReadFileText(const std::filesystem::path& file);
// Writes a whole file, creating its folder.
void WriteFileText(const std::filesystem::path& file, std::string_view text);

// Runs a program with the current environment; stdout and stderr are captured.
struct ProcessResult {
    int exitCode = -1; // -1 when it did not exit normally
    std::string out;
    std::string err;
};
ProcessResult RunProgram(const std::vector<std::string>& argv);

} // namespace testsupport
