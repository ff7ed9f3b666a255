// SPDX-License-Identifier: MIT
// The single-instance lock: held against other holders, freed by any end of its holder (a kill
// included), not passed to programs the holder starts; the runtime directory rules.
#include "platform/InstanceLock.h"
#include "support/TempXdgTest.h"
#include "support/Wait.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {

using platform::CInstanceLock;
using EResult = platform::CInstanceLock::EResult;
using InstanceLock = testsupport::CTempXdgTest;

} // namespace

TEST_F(InstanceLock, OneHolderAtATimeAndFreedWhenTheHolderGoes) {
    const auto file = platform::RuntimeDir() / "test.lock";
    auto pFirst = std::make_unique<CInstanceLock>();
    ASSERT_EQ(pFirst->TryAcquire(file), EResult::Acquired);
    CInstanceLock second;
    EXPECT_EQ(second.TryAcquire(file), EResult::HeldByAnother);
    EXPECT_FALSE(second.IsHeld());
    pFirst.reset();
    EXPECT_EQ(second.TryAcquire(file), EResult::Acquired);
    EXPECT_TRUE(second.IsHeld());
}

TEST_F(InstanceLock, AHolderKilledOutrightLeavesNoLockBehind) {
    const auto file = platform::RuntimeDir() / "test.lock";
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CInstanceLock lock;
        const char c = lock.TryAcquire(file) == EResult::Acquired ? 'y' : 'n';
        (void)!write(fds[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(fds[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    CInstanceLock mine;
    EXPECT_EQ(mine.TryAcquire(file), EResult::HeldByAnother);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(mine.TryAcquire(file), EResult::Acquired);
    close(fds[0]);
    close(fds[1]);
}

TEST_F(InstanceLock, ProgramsTheHolderStartsDoNotKeepIt) {
    const auto file = platform::RuntimeDir() / "test.lock";
    auto pHolder = std::make_unique<CInstanceLock>();
    ASSERT_EQ(pHolder->TryAcquire(file), EResult::Acquired);
    // A program started by the holder (a browser for Help) outlives the holder's lock.
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execlp("sleep", "sleep", "5", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Until it has started the program, the child is a copy of the holder with its descriptors.
    const std::string comm = "/proc/" + std::to_string(pid) + "/comm";
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        return testsupport::ReadFileText(comm) == "sleep\n";
    })) << testsupport::ReadFileText(comm);
    pHolder.reset();
    CInstanceLock next;
    EXPECT_EQ(next.TryAcquire(file), EResult::Acquired);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST_F(InstanceLock, UnusableFilesAndDirectoriesAreReported) {
    CInstanceLock lock;
    std::string strError;
    EXPECT_EQ(lock.TryAcquire(Root() / "missing" / "test.lock", &strError), EResult::Failed);
    EXPECT_NE(strError.find("missing"), std::string::npos) << strError;
    // A link put where the lock file goes is not followed.
    std::filesystem::create_symlink(Root() / "elsewhere.lock", Root() / "linked.lock");
    EXPECT_EQ(lock.TryAcquire(Root() / "linked.lock", &strError), EResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(Root() / "elsewhere.lock"));
}

TEST_F(InstanceLock, RuntimeDirIsPrivateOrReplaced) {
    // The fixture's runtime directory is private: taken as it is.
    EXPECT_EQ(platform::RuntimeDir(), Root() / "runtime");
    const std::filesystem::path fallback = "/tmp/quorvi-studio-" + std::to_string(getuid());
    // One that others may write to, or a link, is not used.
    std::filesystem::permissions(Root() / "runtime", std::filesystem::perms::all);
    EXPECT_EQ(platform::RuntimeDir(), fallback);
    std::filesystem::permissions(Root() / "runtime", std::filesystem::perms::owner_all);
    std::filesystem::create_directory_symlink(Root() / "runtime", Root() / "runtime-link");
    setenv("XDG_RUNTIME_DIR", (Root() / "runtime-link").c_str(), 1);
    EXPECT_EQ(platform::RuntimeDir(), fallback);
    // Unset: the fallback, private to this user.
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::RuntimeDir(), fallback);
    struct stat st {};
    ASSERT_EQ(lstat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, getuid());
    EXPECT_EQ(st.st_mode & 0077, 0u);
}
