// SPDX-License-Identifier: MIT
// Saving never destroys the file it replaces: failures at every stage leave the old file as it
// was and no temporary behind.
#include "CodecTestUtil.h"
#include "support/TestSupport.h"

#include "codecs/GIFEncoder.h"
#include "codecs/PNGEncoder.h"
#include "codecs/PictureSave.h"

namespace {

namespace fs = std::filesystem;
using testsupport::FileNames;

// Writers whose output stops after a few bytes, as a full disk would.
template <class Encoder> class CFailingOutput : public Encoder {
public:
    bool Append(std::vector<std::uint8_t>& out, const std::uint8_t* data,
                std::size_t size) noexcept override {
        return out.size() + size <= 64 && Encoder::Append(out, data, size);
    }
};

class AtomicSave : public ::testing::Test {
protected:
    void SetUp() override {
        m_target = m_dir.Path() / "picture.png";
        codectest::WriteBytes(m_target, m_old);
    }
    void ExpectOldFileAlone() {
        EXPECT_EQ(codectest::ReadBytes(m_target), m_old);
        EXPECT_EQ(FileNames(m_dir.Path()), std::vector<std::string>{"picture.png"});
    }
    testsupport::CTempDir m_dir;
    fs::path m_target;
    const std::vector<std::uint8_t> m_old{'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
};

TEST_F(AtomicSave, AFailingWriteLeavesTheOldFileAndNoTemporary) {
    const auto image = codectest::Pattern32(64, 64);
    {
        testsupport::CFileSizeLimit limit(1000); // the PNG of this image is larger
        try {
            codec::SavePicture(m_target.string(), *image, {});
            ADD_FAILURE() << "the save succeeded past the file size limit";
        } catch (const CTextException& e) {
            EXPECT_EQ(e.Code(), EFBIG);
            EXPECT_EQ(e.Text().rfind("Writing " + m_target.string() + " failed", 0), 0u)
                << e.Text();
        }
    }
    ExpectOldFileAlone();
    // Without the limit the same save replaces the file completely.
    codec::SavePicture(m_target.string(), *image, {});
    EXPECT_EQ(codectest::Load(m_target)->Width(), 64);
    EXPECT_EQ(FileNames(m_dir.Path()), std::vector<std::string>{"picture.png"});
}

TEST_F(AtomicSave, LibraryWriteFailuresAreErrorsWithTheLibraryText) {
    const auto image = codectest::Pattern32(40, 40);
    CFailingOutput<CPNGEncoder> png;
    EXPECT_TEXT_EXCEPTION(png.SaveToFile(m_target.string(), *image), 6, "Error writting file");
    ExpectOldFileAlone();
    // giflib's failure is an error, not a trace line followed by success.
    CFailingOutput<CGIFEncoder> gif;
    EXPECT_TEXT_EXCEPTION(gif.SaveToFile(m_target.string(), *image), 6,
                          "Failed to write to given file");
    ExpectOldFileAlone();
}

TEST_F(AtomicSave, AFolderThatCannotBeWrittenGivesTheOpeningErrorAndItsReason) {
    const std::string missing = (m_dir.Path() / "no-such-folder" / "x.png").string();
    EXPECT_TEXT_EXCEPTION(codec::SavePicture(missing, *codectest::Pattern32(2, 2), {}), ENOENT,
                          "Opening " + missing + " failed: No such file or directory");
    EXPECT_EQ(FileNames(m_dir.Path()), std::vector<std::string>{"picture.png"});
}

} // namespace
