// SPDX-License-Identifier: MIT
// CTempXdgTest and small file and process helpers for tests that touch the user's folders.
#include "support/TempXdgTest.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

namespace {

const char* const kVariables[] = {
    "HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",   "XDG_CACHE_HOME",
    "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"};

} // namespace

void CTempXdgTest::SetUp() {
    m_dir = std::make_unique<CTempDir>();
    const std::pair<const char*, std::filesystem::path> targets[] = {
        {"HOME", Home()},
        {"XDG_CONFIG_HOME", ConfigHome()},
        {"XDG_DATA_HOME", Root() / "data"},
        {"XDG_CACHE_HOME", Root() / "cache"},
        {"XDG_STATE_HOME", Root() / "state"},
        {"XDG_RUNTIME_DIR", Root() / "runtime"},
        {"XDG_CONFIG_DIRS", SystemConfigDir()},
        {"XDG_DATA_DIRS", Root() / "usr-share"},
    };
    for (const char* name : kVariables) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    for (const auto& [name, dir] : targets) {
        std::filesystem::create_directories(dir);
        ::setenv(name, dir.c_str(), 1);
    }
    std::filesystem::permissions(Root() / "runtime", std::filesystem::perms::owner_all);
}

void CTempXdgTest::TearDown() {
    for (const auto& [name, value] : m_saved) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    m_saved.clear();
    m_dir.reset();
}

std::string ReadFileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileText(const std::filesystem::path& file, std::string_view text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

ProcessResult RunProgram(const std::vector<std::string>& argv) {
    CTempDir capture;
    const std::string outPath = (capture.Path() / "out").string();
    const std::string errPath = (capture.Path() / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ProcessResult result;
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return result;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = ReadFileText(outPath);
    result.err = ReadFileText(errPath);
    return result;
}

} // namespace testsupport
