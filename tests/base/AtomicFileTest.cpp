// SPDX-License-Identifier: MIT
// Replacing files: links, permissions, failures and the leftovers of crashed writers.
#include "support/TestSupport.h"

#include "base/AtomicFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::FileNames;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

base::ReplaceResult Replace(const fs::path& file, const std::string& text) {
    return base::ReplaceFileAtomically(
        file, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

mode_t ModeOf(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
    return st.st_mode & 07777;
}

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_old(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_old); }

private:
    mode_t m_old;
};

class AtomicFile : public ::testing::Test {
protected:
    testsupport::CTempDir m_dir;
    fs::path m_file = m_dir.Path() / "picture.png";
};

TEST_F(AtomicFile, ALinkKeepsPointingAtItsTargetWhichIsReplaced) {
    WriteText(m_file, "old");
    ASSERT_EQ(::chmod(m_file.c_str(), 0640), 0);
    const fs::path link = m_dir.Path() / "link.png";
    fs::create_symlink("picture.png", link);
    ASSERT_TRUE(Replace(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "picture.png");
    EXPECT_EQ(ReadText(m_file), "new");
    EXPECT_EQ(ModeOf(m_file), 0640u);
    EXPECT_EQ(FileNames(m_dir.Path()), (std::vector<std::string>{"link.png", "picture.png"}));
}

TEST_F(AtomicFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    WriteText(m_file, "old file");
    {
        testsupport::CFileSizeLimit limit(100);
        const base::ReplaceResult result = Replace(m_file, std::string(1000, 'x'));
        EXPECT_FALSE(result);
        EXPECT_EQ(result.nError, EFBIG);
        EXPECT_FALSE(result.bNoTemporary);
    }
    EXPECT_EQ(ReadText(m_file), "old file");
    EXPECT_EQ(FileNames(m_dir.Path()), std::vector<std::string>{"picture.png"});
}

TEST_F(AtomicFile, AWriterThatFailsHalfWayLeavesTheOldFileAndNoTemporary) {
    WriteText(m_file, "old file");
    const auto fillThenFail = [](base::CFileWriter& out) {
        const std::string half(5000, 'x');
        out.Write({reinterpret_cast<const std::uint8_t*>(half.data()), half.size()});
        throw std::runtime_error("encoder failed");
    };
    EXPECT_THROW(base::ReplaceFileAtomically(m_file, fillThenFail), std::runtime_error);
    EXPECT_EQ(ReadText(m_file), "old file");
    EXPECT_EQ(FileNames(m_dir.Path()), std::vector<std::string>{"picture.png"});
}

TEST_F(AtomicFile, AFolderThatTakesNoFileIsReportedBeforeAnythingIsWritten) {
    const base::ReplaceResult result = Replace(m_dir.Path() / "missing" / "x.png", "new");
    EXPECT_EQ(result.nError, ENOENT);
    EXPECT_TRUE(result.bNoTemporary);
    EXPECT_TRUE(FileNames(m_dir.Path()).empty());
}

TEST_F(AtomicFile, NewFilesFollowTheUmaskAndTheUmaskStays) {
    {
        UmaskScope mask(027);
        ASSERT_TRUE(Replace(m_file, "new"));
        EXPECT_EQ(::umask(027), 027u);
    }
    EXPECT_EQ(ModeOf(m_file), 0640u);
    UmaskScope open(0);
    ASSERT_TRUE(Replace(m_dir.Path() / "other.png", "new"));
    EXPECT_EQ(ModeOf(m_dir.Path() / "other.png"), 0666u);
}

TEST_F(AtomicFile, LeftoversOfCrashedWritesGoButWritesInProgressStay) {
    WriteText(m_file, "old");
    WriteText(m_dir.Path() / ".picture.png.tmp-Ab12Cd", "half");
    WriteText(m_dir.Path() / "picture.png.tmp-Zz9Yy8", "half, older kind");
    // Names that only look alike belong to someone else.
    WriteText(m_dir.Path() / ".picture.png.backup", "mine");
    WriteText(m_dir.Path() / ".other.png.tmp-Ab12Cd", "another file's");
    // A writer still busy holds a lock on its temporary.
    const fs::path busy = m_dir.Path() / ".picture.png.tmp-Busy01";
    WriteText(busy, "being written");
    const int fd = ::open(busy.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    ASSERT_TRUE(Replace(m_file, "new"));
    ::close(fd);
    EXPECT_EQ(ReadText(m_file), "new");
    EXPECT_EQ(FileNames(m_dir.Path()),
              (std::vector<std::string>{".other.png.tmp-Ab12Cd", ".picture.png.backup",
                                        ".picture.png.tmp-Busy01", "picture.png"}));
}

} // namespace
