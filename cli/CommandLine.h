// SPDX-License-Identifier: MIT
// Rules every sub-command applies to its command line: where the options end, and how a name
// from it is shown in output and messages.
#pragma once

#include <string>

namespace cli {

// The POSIX rule: "--" ends the options, and every argument after it is an operand even when it
// starts with "-" (`quorvi info -- -dash.png`). Asked about each argument in order.
class COptionEnd {
public:
    // True for the "--" that ends the options; the caller skips it.
    bool IsEndMarker(const std::string& arg) {
        if (m_bEnded || arg != "--")
            return false;
        m_bEnded = true;
        return true;
    }
    // "-x" or "--name" before the end marker; "-" alone is an operand.
    bool IsOption(const std::string& arg) const noexcept {
        return !m_bEnded && arg.size() > 1 && arg[0] == '-';
    }

private:
    bool m_bEnded = false;
};

// The usage error for an option no sub-command knows, with the way to name such a file.
std::string UnknownOptionText(const std::string& arg);

// name as it prints today when it holds no control character, else quoted as a shell reads it
// back ($'a\nb.png'), so that a newline in a name cannot split an output line. A name that
// itself starts with $' is quoted too, so that no plain name passes for a quoted one.
std::string ShownName(const std::string& name);

// text with every occurrence of name shown as ShownName shows it.
std::string WithShownName(std::string text, const std::string& name);

} // namespace cli
