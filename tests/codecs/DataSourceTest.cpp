// SPDX-License-Identifier: MIT
// The readers' data source: bounds, byte order, progress steps.
#include "codecs/DataSource.h"
#include "CodecTestUtil.h"
#include "codecs/PictureDecoder.h"
#include "codecs/PictureSave.h"
#include "image/ProgressSink.h"
#include "support/TestSupport.h"

#include <chrono>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct RecordingSink : CProgressSink {
    std::vector<double> reports;
    void SetProgress(double f) override { reports.push_back(f); }
};

TEST(DataSource, ReadsBothByteOrdersAndStopsAtTheEnd) {
    const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    CDataSource s(bytes, sizeof bytes);
    EXPECT_EQ(s.U16LE(), 0x0201);
    EXPECT_EQ(s.U32BE(), 0x03040506u);
    EXPECT_TEXT_EXCEPTION(s.U16LE(), 11, "End of file reached while decoding.\n");
    EXPECT_EQ(s.Position(), 6u); // a failed read leaves the position alone
    EXPECT_EQ(s.U8(), 0x07);
    EXPECT_TEXT_EXCEPTION(s.Seek(8), 11, "End of file reached while decoding.\n");
}

TEST(DataSource, ReportsProgressWhenCrossingEach1024Bytes) {
    std::vector<std::uint8_t> bytes(4096);
    RecordingSink sink;
    CDataSource s(bytes.data(), bytes.size(), &sink);
    s.Skip(1000);
    EXPECT_TRUE(sink.reports.empty());
    s.Skip(100);  // crosses 1024
    s.Skip(2000); // crosses 2048 and 3072 in one read: one report
    ASSERT_EQ(sink.reports.size(), 2u);
    EXPECT_DOUBLE_EQ(sink.reports[0], 1100.0 / 4096.0);
    EXPECT_DOUBLE_EQ(sink.reports[1], 3100.0 / 4096.0);
}

TEST(DataSource, FileThatCannotBeOpenedNamesThePathAndTheReason) {
    EXPECT_TEXT_EXCEPTION(CDataSource::FromFile("/nonexistent/dir/x.bmp"), ENOENT,
                          "Opening /nonexistent/dir/x.bmp failed: No such file or directory");
}

TEST(DataSource, FileContentsSurviveAMove) {
    testsupport::CTempDir dir;
    const auto path = dir.Path() / "f.bin";
    std::ofstream(path, std::ios::binary) << "abc";
    CDataSource s = CDataSource::FromFile(path.string());
    CDataSource moved = std::move(s);
    EXPECT_EQ(moved.Size(), 3u);
    EXPECT_EQ(moved.U8(), 'a');
}

// A FIFO without a writer would hold open() forever: it is refused at once. Should the open
// wait all the same, a writer that comes and goes after 5 s ends the wait and the test fails.
TEST(DataSource, APipeIsRefusedWithoutWaitingForAWriter) {
    testsupport::CTempDir dir;
    const std::string path = (dir.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    auto opening = std::async(std::launch::async, [&] { CDataSource::FromFile(path); });
    if (opening.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
        ADD_FAILURE() << "opening the FIFO waited for a writer";
    }
    EXPECT_TEXT_EXCEPTION(opening.get(), 8, path + " is not a regular file");
}

// Another program cuts the file short while it is read: the pages past its new end would fault
// (SIGBUS) in the mapping; the load instead ends in an error and the image is left as it was.
TEST(DataSource, AFileCutShortWhileItIsReadIsRefusedWithoutACrash) {
    testsupport::CTempDir dir;
    const std::string path = (dir.Path() / "cut.bmp").string();
    codec::SavePicture(path, *codectest::Pattern32(512, 512), {});
    struct CuttingSink : CProgressSink {
        std::string path;
        bool bCut = false;
        void SetProgress(double) override {
            if (!bCut)
                bCut = ::truncate(path.c_str(), 4096) == 0;
        }
    } sink;
    sink.path = path;
    const auto pBefore = codectest::Pattern32(3, 2);
    CMemoryBitmap bitmap;
    bitmap.CreateCopy(*pBefore);
    EXPECT_TEXT_EXCEPTION(CPictureDecoder().LoadFromFile(path, bitmap, 0, &sink), 11,
                          "The file was cut short while it was read.\n");
    EXPECT_TRUE(sink.bCut);
    EXPECT_EQ(bitmap.Width(), 3);
    // The next file is read as usual.
    codec::SavePicture(path, *codectest::Pattern32(7, 5), {});
    CPictureDecoder().LoadFromFile(path, bitmap, 0, nullptr);
    EXPECT_EQ(bitmap.Width(), 7);
}

} // namespace
