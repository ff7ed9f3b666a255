// SPDX-License-Identifier: MIT
// Tests of the program's folders, help pages and start-up entry.
#include "platform/ProgramPaths.h"
#include "platform/StartupEntry.h"

#include "support/TempXdgTest.h"

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

namespace {

class ProgramPathsTest : public testsupport::CTempXdgTest {};

// The Exec value read back as a desktop environment does: undo the string escapes, then the
// quoting of the single argument.
std::string UnquoteExec(std::string_view value) {
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char c = value[++i];
            unescaped += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 's' ? ' ' : c;
        } else {
            unescaped += value[i];
        }
    }
    EXPECT_TRUE(unescaped.size() >= 2 && unescaped.front() == '"' && unescaped.back() == '"')
        << unescaped;
    std::string arg;
    for (std::size_t i = 1; i + 1 < unescaped.size(); ++i) {
        if (unescaped[i] == '\\')
            ++i;
        else if (unescaped[i] == '%')
            ++i; // "%%" is a literal '%'
        arg += unescaped[i];
    }
    return arg;
}

std::string ExecValue(const std::string& entry) {
    const std::size_t start = entry.find("\nExec=");
    if (start == std::string::npos)
        return {};
    const std::size_t end = entry.find('\n', start + 1);
    return entry.substr(start + 6, end - start - 6);
}

} // namespace

TEST_F(ProgramPathsTest, OutputGoesBesideAWritableProgramElsePictures) {
    std::filesystem::create_directories(Root() / "portable");
    EXPECT_EQ(DefaultOutputDirectory((Root() / "portable" / "quorvi-studio").string()),
              Root() / "portable" / "Output");
    // A folder the program cannot write to (here: one that does not exist).
    const std::string installed = (Root() / "usr" / "bin" / "quorvi-studio").string();
    EXPECT_EQ(DefaultOutputDirectory(installed), Home() / "Pictures" / "Quorvi Studio");
    WriteFileText(ConfigHome() / "user-dirs.dirs",
                  "# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                  "XDG_PICTURES_DIR=\"$HOME/Bilder \\\"2024\\\"\"\n");
    EXPECT_EQ(DefaultOutputDirectory(installed), Home() / "Bilder \"2024\"" / "Quorvi Studio");
    WriteFileText(ConfigHome() / "user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/shots\"\n");
    EXPECT_EQ(DefaultOutputDirectory(installed), std::filesystem::path("/srv/shots/Quorvi Studio"));
}

TEST_F(ProgramPathsTest, OutputDirectoryIsCreatedOrTheReasonGiven) {
    const std::filesystem::path dir = Root() / "portable" / "Output";
    std::string error;
    ASSERT_TRUE(EnsureOutputDirectory(dir, &error)) << error;
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_TRUE(EnsureOutputDirectory(dir, &error)); // already there
    WriteFileText(Root() / "blocked", "a file");
    EXPECT_FALSE(EnsureOutputDirectory(Root() / "blocked" / "Output", &error));
    EXPECT_NE(error.find("blocked"), std::string::npos) << error;
}

TEST_F(ProgramPathsTest, RunningModulePathIsThisTest) {
    const std::string path = RunningModulePath();
    EXPECT_TRUE(path.ends_with("/test_platform")) << path;
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(HelpTopics, MapNumbersToPagesUnderTheHelpFolder) {
    const std::pair<int, const char*> topics[] = {
        {1, "dialog.htm#generaloption"},
        {2, "dialog.htm#resizedialog"},
        {3, "dialog.htm#rotatedialog"},
        {4, "dialog.htm#printlayout"},
        {5, "dialog.htm#contrastdialog"},
        {6, "dialog.htm#brightnessdialog"},
        {7, "dialog.htm#windowsmanage"},
        {0, "index.htm"},
        {8, "dialog.htm#intensitydialog"},
        {9, "index.htm"},
        {-1, "index.htm"},
    };
    for (const auto& [number, topic] : topics)
        EXPECT_EQ(HelpTopicName(number), topic) << number;
    const HelpPage page = HelpTopicPage("/opt/Quorvi Studio/bin/quorvi-studio", HelpPrintLayout);
    EXPECT_EQ(page.file, std::filesystem::path("/opt/Quorvi Studio/bin/help/dialog.htm"));
    EXPECT_EQ(page.anchor, "printlayout");
    EXPECT_EQ(page.Url(), "file:///opt/Quorvi%20Studio/bin/help/dialog.htm#printlayout");
    const HelpPage index = HelpTopicPage("/opt/q/quorvi-studio", 99);
    EXPECT_EQ(index.file, std::filesystem::path("/opt/q/help/index.htm"));
    EXPECT_EQ(index.Url(), "file:///opt/q/help/index.htm");
}

TEST_F(ProgramPathsTest, StartupEntrySwitchesOnAndOff) {
    const std::string program = (Root() / "my \"odd\" $dir\\with%signs" / "quorvi-studio").string();
    EXPECT_FALSE(QueryStartupEntry());
    std::string error;
    ASSERT_TRUE(SetStartupEntry(true, program, &error)) << error;
    EXPECT_TRUE(QueryStartupEntry());
    const std::string entry = ReadFileText(ConfigHome() / "autostart" / "QuorviStudio.desktop");
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n")) << entry;
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_EQ(UnquoteExec(ExecValue(entry)), program);

    ASSERT_TRUE(SetStartupEntry(false, program, &error)) << error;
    EXPECT_FALSE(QueryStartupEntry());
    EXPECT_FALSE(std::filesystem::exists(StartupEntryPath()));
    EXPECT_TRUE(SetStartupEntry(false, program, &error)); // already off
    EXPECT_FALSE(SetStartupEntry(true, "", &error));
    EXPECT_FALSE(QueryStartupEntry());
}

TEST_F(ProgramPathsTest, StartupEntryHiddenByTheDesktopCountsAsOff) {
    ASSERT_TRUE(SetStartupEntry(true, "/usr/bin/quorvi-studio"));
    WriteFileText(StartupEntryPath(), ReadFileText(StartupEntryPath()) + "Hidden = true\n");
    EXPECT_FALSE(QueryStartupEntry());
    WriteFileText(StartupEntryPath(), "[Desktop Entry]\nExec=x\n[Other Group]\nHidden=true\n");
    EXPECT_TRUE(QueryStartupEntry());
}

TEST_F(ProgramPathsTest, StartupEntryThatCannotBeWrittenSaysWhy) {
    WriteFileText(ConfigHome() / "autostart", "a file where the folder belongs");
    std::string error;
    EXPECT_FALSE(SetStartupEntry(true, "/usr/bin/quorvi-studio", &error));
    EXPECT_NE(error.find("autostart"), std::string::npos) << error;
    EXPECT_FALSE(QueryStartupEntry());
}
