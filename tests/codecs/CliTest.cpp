// SPDX-License-Identifier: MIT
// `quorvi info` and `quorvi convert` as a user runs them: listings, exit status, options,
// operations, and the loader's trace lines.
#include "CodecTestUtil.h"
#include "support/TestSupport.h"

#include "codecs/PNGEncoder.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef QUORVI_CLI_PATH

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Reads fd to its end. A child still writing at the deadline is killed: a run that hangs or
// grows without end fails its test instead of holding up the suite.
std::string Slurp(int fd, pid_t child, std::chrono::steady_clock::time_point deadline) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, int(left.count())) == 0) {
            ::kill(child, SIGKILL);
            deadline = std::chrono::steady_clock::time_point::max();
            continue;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return text;
}

// Runs quorvi with args in the folder of errFile; the error stream goes to that file so that
// neither pipe can fill up. A run killed at the deadline has status -1.
Result Quorvi(const std::vector<std::string>& args, const fs::path& errFile, bool trace = false,
              std::chrono::seconds timeout = std::chrono::seconds(60)) {
    int out[2];
    if (::pipe(out) != 0)
        return {};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(err, 2);
        if (::chdir(errFile.parent_path().c_str()) != 0)
            ::_exit(126);
        if (trace)
            ::setenv("QUORVI_TRACE", "1", 1);
        else
            ::unsetenv("QUORVI_TRACE");
        std::vector<char*> argv{const_cast<char*>(QUORVI_CLI_PATH)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    Result r;
    r.out = Slurp(out[0], pid, deadline);
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto err = codectest::ReadBytes(errFile);
    r.err.assign(err.begin(), err.end());
    return r;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        m_png = (m_dir.Path() / "in.png").string();
        CPNGEncoder().SaveToFile(m_png, *codectest::Pattern32(30, 20, true));
    }
    Result Run(const std::vector<std::string>& args, bool trace = false,
               std::chrono::seconds timeout = std::chrono::seconds(60)) {
        return Quorvi(args, m_dir.Path() / "stderr.txt", trace, timeout);
    }
    std::string Path(const std::string& name) const { return (m_dir.Path() / name).string(); }
    testsupport::CTempDir m_dir;
    std::string m_png;
};

TEST_F(Cli, InfoListsEveryFileAndFailsForTheBadOnes) {
    const std::string junk = Path("junk.png");
    codectest::WriteBytes(junk, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    const Result r = Run({"info", m_png, junk, Path("missing.png"), m_png});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, m_png + ": format=PNG width=30 height=20 depth=32 alpha=1\n" + m_png +
                         ": format=PNG width=30 height=20 depth=32 alpha=1\n");
    EXPECT_NE(r.err.find(junk + ": error 8: Unknown file type."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("missing.png: error 2: Opening "), std::string::npos) << r.err;
    EXPECT_EQ(Run({"info", m_png}).status, 0);
    EXPECT_EQ(Run({"info"}).status, 2);
    // Asking a command for help is not a mistake: its usage on stdout, status 0.
    const Result help = Run({"convert", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: quorvi convert IN OUT", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("--rotate DEG"), std::string::npos);
}

// Devices and FIFOs are refused at once, never read without end (/dev/zero) or waited on (a
// FIFO without a writer); every refusal says why.
TEST_F(Cli, InfoRefusesWhatIsNotARegularFileAtOnceWithTheReason) {
    const std::string fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = m_dir.Path().string();
    const Result r =
        Run({"info", "/dev/zero", fifo, folder, m_png}, false, std::chrono::seconds(5));
    ASSERT_NE(r.status, -1) << "still running after 5 s";
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "/dev/zero: error 8: /dev/zero is not a regular file\n" + fifo +
                         ": error 8: " + fifo + " is not a regular file\n" + folder +
                         ": error 21: Opening " + folder + " failed: Is a directory\n");
    EXPECT_EQ(r.out, m_png + ": format=PNG width=30 height=20 depth=32 alpha=1\n");
}

// "--" ends the options of every command, so that a name may start with "-"; a name holding a
// control character is shown quoted as a shell reads it back, so that it keeps to its line.
TEST_F(Cli, DoubleDashEndsTheOptionsAndUnusualNamesAreQuoted) {
    fs::copy_file(m_png, Path("-dash.png"));
    fs::copy_file(m_png, Path("new\nline.png"));
    const std::string listing = ": format=PNG width=30 height=20 depth=32 alpha=1\n";
    Result r = Run({"info", "--", "-dash.png", "new\nline.png", "gone\t.png"});
    EXPECT_EQ(r.out, "-dash.png" + listing + "$'new\\nline.png'" + listing);
    EXPECT_EQ(r.err, "$'gone\\t.png': error 2: Opening $'gone\\t.png' failed: No such file or "
                     "directory\n");
    EXPECT_EQ(Run({"info", "-dash.png"}).status, 2) << "an unknown option";
    ASSERT_EQ(Run({"convert", "--", "-dash.png", "-out.bmp"}).status, 0);
    EXPECT_EQ(codectest::Load(Path("-out.bmp"))->Width(), 30);
    r = Run({"convert", "new\nline.png", "gone/a\nb.png"});
    EXPECT_EQ(r.err,
              "quorvi convert: Opening $'gone/a\\nb.png' failed: No such file or directory\n");
}

TEST_F(Cli, ConvertAppliesOptionsAndOperationsThenSaves) {
    const Result r =
        Run({"convert", m_png, Path("out.jpg"), "--quality", "40", "--optimize", "--smoothing",
             "10", "--dpi", "300,200", "--flip-h", "--crop", "0,0,10,8"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto jpg = codectest::ReadBytes(Path("out.jpg"));
    ASSERT_GT(jpg.size(), 20u);
    EXPECT_EQ(jpg[13], 1);
    EXPECT_EQ((jpg[14] << 8) | jpg[15], 300);
    EXPECT_EQ((jpg[16] << 8) | jpg[17], 200);
    const auto image = codectest::Load(Path("out.jpg"));
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Height(), 8);

    // Lossless round trip through the operations: flipping twice gives the input back.
    const std::string opaque = Path("opaque.png");
    CPNGEncoder().SaveToFile(opaque, *codectest::Pattern32(30, 20));
    ASSERT_EQ(Run({"convert", opaque, Path("twice.png"), "--flip-v", "--flip-v"}).status, 0);
    const auto original = codectest::Load(opaque);
    const auto twice = codectest::Load(Path("twice.png"));
    ASSERT_EQ(twice->Width(), 30);
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(std::memcmp(original->Line(y), twice->Line(y), 30 * 4), 0) << y;
}

TEST_F(Cli, ConvertRefusesBadArgumentsWithoutWritingAnything) {
    EXPECT_EQ(Run({"convert", m_png, Path("a.jpg"), "--quality", "101"}).status, 2);
    EXPECT_EQ(Run({"convert", m_png, Path("a.jpg"), "--dpi", "x"}).status, 2);
    EXPECT_EQ(Run({"convert", m_png, Path("a.jpg"), "--bogus"}).status, 2);
    EXPECT_EQ(Run({"convert", m_png}).status, 2);
    const Result r = Run({"convert", m_png, Path("a.webp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(".bmp, .jpg, .png, .tif or .gif"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("a.jpg")));
    EXPECT_FALSE(fs::exists(Path("a.webp")));
}

TEST_F(Cli, TraceShowsDecodingRecognitionAndErrors) {
    Result r = Run({"info", m_png}, true);
    EXPECT_NE(r.err.find("--- Decoding file " + m_png + ". ---\nPNG file recognized.\n"),
              std::string::npos)
        << r.err;
    const std::string wmf = Path("x.wmf.png");
    codectest::WriteBytes(wmf, std::vector<std::uint8_t>(100, 'x'));
    r = Run({"info", wmf}, true);
    EXPECT_NE(
        r.err.find("WMF file recognized.\nDecoder error: No header information in metafile\n"),
        std::string::npos)
        << r.err;
    r = Run({"convert", m_png, Path("t.bmp")}, true);
    EXPECT_NE(r.err.find("--- Encoding file " + Path("t.bmp") + ". ---\n"), std::string::npos)
        << r.err;
    // Without the variable the trace stays silent.
    EXPECT_EQ(Run({"info", m_png}).err, "");
}

TEST_F(Cli, TraceNamesEveryRecognisedFormat) {
    const fs::path seeds = fs::path(QUORVI_TEST_DATA_DIR) / "fuzz-seeds";
    const std::pair<const char*, const char*> cases[] = {
        {"bmp/rle8.bmp", "Windows bitmap recognized.\n"},
        {"pict/v1bits.pict", "Mac PICT recognized.\nSkipping polygon or region.\n"},
        {"tga/rgb24.tga", "TGA file recognized.\n"},
        {"tiff/rgb8.tif", "TIFF file recognized.\n"},
        {"jpeg/baseline.jpg", "JPEG file recognized.\n"},
        {"png/grey8.png", "PNG file recognized.\n"},
        {"picture/preview.eps", "TIFF preview in EPS file recognized.\n"},
        {"wmf/shapes.wmf", "WMF file recognized.\n"},
        {"emf/shapes.emf", "EMF file recognized.\n"},
        {"pcx/rgb24.pcx", "PCX file recognized.\n"},
        {"pgm/p5.pgm", "PGM file recognized.\n"},
        {"gif/plain.gif", "GIF file recognized.\n"},
    };
    for (const auto& [file, trace] : cases) {
        const std::string path = (seeds / file).string();
        const Result r = Run({"info", path}, true);
        EXPECT_EQ(r.status, 0) << file;
        EXPECT_EQ(r.err.rfind("--- Decoding file " + path + ". ---\n" + trace, 0), 0u) << r.err;
        EXPECT_EQ(r.err.find("Decoder error"), std::string::npos) << r.err;
    }
}

} // namespace

#endif
