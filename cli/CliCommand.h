// SPDX-License-Identifier: MIT
// Sub-commands of the `quorvi` tool. Each lives in its own file and registers itself with
// QUORVI_CLI_COMMAND; main() dispatches by name.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace cli {

// Exit codes of every sub-command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the error text is on stderr
inline constexpr int kExitUsage = 2;   // bad arguments; usage is on stderr

// Thrown by a command for bad arguments; main() prints the message and the command's usage.
struct UsageError {
    std::string message;
};

struct CCliCommand {
    std::string name;
    std::string usage;   // arguments after the name, e.g. "FILE..."
    std::string summary; // one line for --help
    std::function<int(std::span<const std::string> args)> run;
};

std::vector<CCliCommand>& Registry();

struct CCommandRegistrar {
    explicit CCommandRegistrar(CCliCommand command) { Registry().push_back(std::move(command)); }
};

} // namespace cli

#define QUORVI_CLI_CONCAT2(a, b) a##b
#define QUORVI_CLI_CONCAT(a, b) QUORVI_CLI_CONCAT2(a, b)
#define QUORVI_CLI_COMMAND(...)                                                                    \
    static const ::cli::CCommandRegistrar QUORVI_CLI_CONCAT(s_registrar, __LINE__)(                \
        ::cli::CCliCommand{__VA_ARGS__})
