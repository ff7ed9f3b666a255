// SPDX-License-Identifier: MIT
// Rules every sub-command applies to its command line: where the options end, and how a name
// from it is shown in output and messages.
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace cli {

// Walks a sub-command's arguments by the POSIX rule: "--" ends the options, and every argument
// after it is an operand even when it starts with "-" (`quorvi info -- -dash.png`); "-" alone is
// an operand. onOption(i) and onOperand(i) handle args[i] and return how many arguments they
// took (at least one).
template <class OnOption, class OnOperand>
void ForEachArgument(std::span<const std::string> args, OnOption onOption, OnOperand onOperand) {
    bool bOptionsEnded = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& arg = args[i];
        if (!bOptionsEnded && arg == "--") {
            bOptionsEnded = true;
            ++i;
        } else if (!bOptionsEnded && arg.size() > 1 && arg[0] == '-') {
            i += onOption(i);
        } else {
            i += onOperand(i);
        }
    }
}

// The usage error for an option no sub-command knows, with the way to name such a file.
std::string UnknownOptionText(const std::string& arg);

// name as it prints today when it holds no control character, else quoted as a shell reads it
// back ($'a\nb.png'), so that a newline in a name cannot split an output line. A name that
// itself starts with $' is quoted too, so that no plain name passes for a quoted one.
std::string ShownName(const std::string& name);

// text with every occurrence of name shown as ShownName shows it.
std::string WithShownName(std::string text, const std::string& name);

} // namespace cli
