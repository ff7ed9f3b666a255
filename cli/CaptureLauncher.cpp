// SPDX-License-Identifier: MIT
// `quorvi capture ...` runs quorvi-capture: the screen grab, the Wayland portal (Qt's D-Bus and
// everything it loads) and the clipboard owner live in that program, so that the image commands
// of this one start without loading them, which costs a whole conversion about a fifth of its
// time.
#include "CaptureCommandInfo.h"
#include "CliCommand.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr const char* kHelperName = "quorvi-capture";

// Beside this program in the build tree; in the program's private folder when installed.
std::vector<std::filesystem::path> HelperCandidates() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {kHelperName};
    const std::filesystem::path dir = self.parent_path();
    std::vector<std::filesystem::path> candidates{dir / kHelperName};
#ifdef QUORVI_BIN_TO_PKG
    candidates.push_back(dir / QUORVI_BIN_TO_PKG / kHelperName);
#endif
    return candidates;
}

int RunCaptureHelper(std::span<const std::string> args) {
    std::vector<std::string> words{"quorvi", "capture"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::string tried;
    for (const std::filesystem::path& helper : HelperCandidates()) {
        ::execv(helper.c_str(), argv.data());
        tried += (tried.empty() ? "" : ", ") + helper.string() + ": " + std::strerror(errno);
    }
    throw std::runtime_error("cannot run the capture program (" + tried + ")");
}

} // namespace

QUORVI_CLI_COMMAND("capture", cli::kCaptureUsage, cli::kCaptureSummary, RunCaptureHelper);
