// SPDX-License-Identifier: MIT
// The XDG autostart entry of the program.
#include "platform/StartupEntry.h"

#include "platform/FileAccess.h"
#include "platform/XdgPaths.h"

#include <cerrno>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kMaxEntryBytes = 64 * 1024;

std::string_view TrimSpaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Hidden=true in the [Desktop Entry] group: the desktop's own way of switching an entry off.
bool IsHidden(std::string_view text) {
    bool bInGroup = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = TrimSpaces(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line = TrimSpaces(line.substr(0, line.size() - 1));
        if (line.starts_with('[')) {
            bInGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (bInGroup && equals != std::string_view::npos &&
            TrimSpaces(line.substr(0, equals)) == "Hidden")
            return TrimSpaces(line.substr(equals + 1)) == "true";
    }
    return false;
}

} // namespace

std::filesystem::path StartupEntryPath() {
    return xdg::ConfigHome() / "autostart" / "QuorviStudio.desktop";
}

std::string DesktopExecArgument(std::string_view path) {
    // First the Exec quoting ("..." with \" \` \$ \\ escaped, %% for %), then the escaping of
    // every string value of a desktop file (\\ \n \t \r).
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

bool SetStartupEntry(bool bOn, std::string_view programPath, std::string* pError) {
    const std::filesystem::path file = StartupEntryPath();
    if (!bOn) {
        if (::unlink(file.c_str()) == 0 || errno == ENOENT)
            return true;
        if (pError)
            *pError = "cannot remove " + file.string() + ": " + ErrnoText(errno);
        return false;
    }
    if (programPath.empty()) { // an entry that runs nothing would fail at every login
        if (pError)
            *pError = "no program path for the start-up entry";
        return false;
    }
    const std::string text = "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Quorvi Studio\n"
                             "Comment=Screen capture and image editor\n"
                             "Exec=" +
                             DesktopExecArgument(programPath) +
                             "\n"
                             "Terminal=false\n"
                             "X-GNOME-Autostart-enabled=true\n";
    return WriteFileAtomically(file, text, pError);
}

bool QueryStartupEntry() {
    const FileText read = ReadWholeFile(StartupEntryPath(), kMaxEntryBytes);
    return read.status == ReadStatus::Ok && !IsHidden(read.text);
}

} // namespace platform
