// SPDX-License-Identifier: MIT
// Program path, the output folder rule and the help topic table.
#include "platform/ProgramPaths.h"

#include "platform/FileAccess.h"
#include "platform/XdgPaths.h"

#include <cerrno>
#include <cstdio>
#include <iterator>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view kHelpTopics[] = {
    "index.htm",
    "dialog.htm#generaloption",
    "dialog.htm#resizedialog",
    "dialog.htm#rotatedialog",
    "dialog.htm#printlayout",
    "dialog.htm#contrastdialog",
    "dialog.htm#brightnessdialog",
    "dialog.htm#windowsmanage",
    "dialog.htm#intensitydialog",
};

bool IsUnreservedUrlByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

} // namespace

std::string RunningModulePath() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string ResolveProgramPath(std::string modulePath, const HiveLocations& locations) {
    CRegistryStore store(CRegistryStore::Direction::Load, locations);
    if (!store.OpenLocalMachineRoot())
        return modulePath;
    std::string installPath;
    store.String("InstallPath", installPath);
    // A longer value would be a cut, and so wrong, path: it is not taken at all.
    if (installPath.starts_with('/') && CountCharacters(installPath) <= kMaxProgramPath)
        return installPath;
    return modulePath;
}

std::filesystem::path ProgramDirectory(std::string_view programPath) {
    const std::size_t slash = programPath.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    return slash == 0 ? std::filesystem::path("/")
                      : std::filesystem::path(programPath.substr(0, slash));
}

std::filesystem::path DefaultOutputDirectory(std::string_view programPath) {
    const std::filesystem::path dir = ProgramDirectory(programPath);
    if (!programPath.empty() && ::access(dir.c_str(), W_OK) == 0)
        return dir / "Output";
    return xdg::PicturesDir() / "Quorvi Studio";
}

bool EnsureOutputDirectory(const std::filesystem::path& dir, std::string* pError) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
        if (pError)
            *pError =
                "cannot create " + dir.string() + ": " + (ec ? ec.message() : ErrnoText(ENOTDIR));
        return false;
    }
    return true;
}

std::string_view HelpTopicName(int nTopic) {
    return nTopic >= 1 && nTopic < int(std::size(kHelpTopics)) ? kHelpTopics[nTopic]
                                                               : kHelpTopics[0];
}

HelpPage HelpTopicPage(std::string_view programPath, int nTopic) {
    const std::string_view topic = HelpTopicName(nTopic);
    const std::size_t hash = topic.find('#');
    HelpPage page;
    page.file = ProgramDirectory(programPath) / "help" / topic.substr(0, hash);
    if (hash != std::string_view::npos)
        page.anchor = topic.substr(hash + 1);
    return page;
}

std::string HelpPage::Url() const {
    std::string url = "file://";
    for (char ch : std::filesystem::absolute(file).string()) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreservedUrlByte(c)) {
            url += ch;
        } else {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            url += buffer;
        }
    }
    if (!anchor.empty())
        url += "#" + anchor;
    return url;
}

} // namespace platform
