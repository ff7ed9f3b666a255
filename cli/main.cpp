// SPDX-License-Identifier: MIT
// `quorvi`: the command-line front end on the image, codec and platform layers.
#include "CliCommand.h"
#include "CommandLine.h"

#include "image/TextException.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#ifndef QUORVI_VERSION
#define QUORVI_VERSION "0.0.0"
#endif

namespace cli {

std::vector<CCliCommand>& Registry() {
    static std::vector<CCliCommand> commands;
    return commands;
}

} // namespace cli

namespace {

void PrintHelp(std::ostream& out) {
    auto commands = cli::Registry();
    std::sort(commands.begin(), commands.end(), [](auto& a, auto& b) { return a.name < b.name; });
    out << "Usage: quorvi COMMAND [ARGS...]\n"
           "       quorvi --help | --version\n\n"
           "Commands:\n";
    for (const auto& c : commands)
        out << "  " << c.name << (c.usage.empty() ? "" : " ") << c.usage << "\n      " << c.summary
            << "\n";
    out << "\n-- ends a command's options: no argument after it is taken for one.\n"
           "Exit status: 0 success, 1 failure (message on stderr), 2 bad arguments.\n";
}

const cli::CCliCommand* Find(const std::string& name) {
    for (const auto& c : cli::Registry())
        if (c.name == name)
            return &c;
    return nullptr;
}

// A message naming arguments that hold control characters shows them quoted: one message, one
// line.
std::string Shown(std::string text, std::span<const std::string> args) {
    for (const std::string& arg : args)
        text = cli::WithShownName(std::move(text), arg);
    return text;
}

int RunCommand(const cli::CCliCommand& command, std::span<const std::string> args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "Usage: quorvi " << command.name << " " << command.usage << "\n";
        return cli::kExitOk;
    }
    const std::string prefix = "quorvi " + command.name + ": ";
    try {
        return command.run(args);
    } catch (const cli::UsageError& e) {
        std::cerr << prefix << Shown(e.message, args) << "\nUsage: quorvi " << command.name << " "
                  << command.usage << "\n";
        return cli::kExitUsage;
    } catch (const CTextException& e) {
        std::cerr << prefix << Shown(e.Text(), args) << "\n";
        return cli::kExitFailure;
    } catch (const std::exception& e) {
        std::cerr << prefix << Shown(e.what(), args) << "\n";
        return cli::kExitFailure;
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintHelp(std::cerr);
        return cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp(std::cout);
        return cli::kExitOk;
    }
    if (args[0] == "--version") {
        std::cout << "quorvi " QUORVI_VERSION "\n";
        return cli::kExitOk;
    }
    const cli::CCliCommand* command = Find(args[0]);
    if (!command) {
        std::cerr << "quorvi: unknown command '" << cli::ShownName(args[0]) << "'\n";
        PrintHelp(std::cerr);
        return cli::kExitUsage;
    }
    return RunCommand(*command, std::span<const std::string>(args).subspan(1));
}
