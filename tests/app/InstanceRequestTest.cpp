// SPDX-License-Identifier: MIT
// The single-instance socket's request lines: files of any name survive the trip, many files are
// split under the size bound, and anything malformed is refused whole; the command line's files.
#include "app/InstanceRequest.h"

#include <gtest/gtest.h>

using instance::DecodeRequest;
using instance::EncodeRequests;
using instance::FilesFromArguments;

namespace {

// Everything the lines carry, in order, or a note of the first line refused.
QStringList RoundTrip(const QList<QByteArray>& lines) {
    QStringList files;
    for (const QByteArray& line : lines) {
        const std::optional<instance::Request> request = DecodeRequest(line);
        if (!request)
            return {QStringLiteral("<refused>")};
        files += request->files;
    }
    return files;
}

} // namespace

TEST(InstanceRequest, FilesOfAnyNameSurviveTheTrip) {
    const QStringList files{QStringLiteral("/home/u/a b.png"),
                            QStringLiteral("/tmp/line\nbreak.jpg"),
                            QStringLiteral("/tmp/Ünïcødé 画像.gif"), QStringLiteral("/x")};
    const QList<QByteArray> lines = EncodeRequests(files);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.front().count('\n'), 1) << "one line, however the names look";
    EXPECT_EQ(RoundTrip(lines), files);
    // Without files the running instance only comes forward.
    const QList<QByteArray> activate = EncodeRequests({});
    ASSERT_EQ(activate.size(), 1);
    const std::optional<instance::Request> request = DecodeRequest(activate.front());
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->files.isEmpty());
}

TEST(InstanceRequest, ManyFilesAreSplitUnderTheBound) {
    QStringList files;
    for (int i = 0; i < 200; ++i)
        files << QStringLiteral("/photos/%1/%2.png").arg(QString(1000, u'd')).arg(i);
    const QList<QByteArray> lines = EncodeRequests(files);
    EXPECT_GT(lines.size(), 1);
    for (const QByteArray& line : lines)
        EXPECT_LE(line.size(), instance::kMaxRequestBytes);
    EXPECT_EQ(RoundTrip(lines), files);
}

TEST(InstanceRequest, PathsThatNameNoFileAreNotSent) {
    QStringList rejected;
    const QList<QByteArray> lines =
        EncodeRequests({QStringLiteral("relative.png"), QStringLiteral("/a/../etc/passwd"),
                        QStringLiteral("/ok.png"), QStringLiteral("/") + QString(5000, u'x')},
                       &rejected);
    EXPECT_EQ(RoundTrip(lines), QStringList{QStringLiteral("/ok.png")});
    EXPECT_EQ(rejected.size(), 3);
}

TEST(InstanceRequest, MalformedLinesAreRefusedWhole) {
    const QByteArray good = QByteArray("/ok.png").toBase64();
    const auto b64 = [](const QByteArray& path) { return path.toBase64(); };
    const QByteArray refused[] = {
        "",
        "activate",                 // no newline
        "activate now\n",           // extra words
        "ACTIVATE\n",               // not the verb
        "close\n",                  // unknown verb
        "open\n",                   // nothing to open
        "open " + good,             // no newline
        "open " + good + "  \n",    // an empty part
        "open " + good + " !!!!\n", // not base64
        "open " + good + " " + b64("rel/a.png") + "\n",
        "open " + good + " " + b64("/a/./b.png") + "\n",
        "open " + good + " " + b64("/a//b.png") + "\n",
        "open " + good + " " + b64(QByteArray("/a\0b.png", 8)) + "\n",
        "open " + good + " " + b64("/" + QByteArray(5000, 'x')) + "\n",
        "open " + good + " " + QByteArray(instance::kMaxRequestBytes, 'A') + "\n",
    };
    for (const QByteArray& line : refused)
        EXPECT_FALSE(DecodeRequest(line)) << line.left(80).toStdString();
    EXPECT_TRUE(DecodeRequest("open " + good + "\n"));
}

TEST(InstanceRequest, CommandLineFilesAreMadeAbsolute) {
    const QStringList arguments{QStringLiteral("quorvi-studio"),
                                QStringLiteral("a.png"),
                                QStringLiteral("--some-option"),
                                QStringLiteral("../up/b.png"),
                                QStringLiteral("/abs//c.png"),
                                QStringLiteral("file:///url/d%20e.png"),
                                QStringLiteral("--"),
                                QStringLiteral("-dash.png")};
    EXPECT_EQ(FilesFromArguments(arguments, QStringLiteral("/work/dir")),
              (QStringList{QStringLiteral("/work/dir/a.png"), QStringLiteral("/work/up/b.png"),
                           QStringLiteral("/abs/c.png"), QStringLiteral("/url/d e.png"),
                           QStringLiteral("/work/dir/-dash.png")}));
    EXPECT_TRUE(
        FilesFromArguments({QStringLiteral("quorvi-studio")}, QStringLiteral("/")).isEmpty());
}

TEST(InstanceRequest, ACaptureIsAskedForByItsNameOnly) {
    const std::optional<instance::Request> request =
        DecodeRequest(instance::EncodeCaptureRequest(QStringLiteral("repeat-last")));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->strCapture, QStringLiteral("repeat-last"));
    EXPECT_TRUE(request->files.isEmpty());
    for (const QByteArray& line :
         {QByteArray("capture\n"), QByteArray("capture sideways\n"),
          QByteArray("capture desktop extra\n"), QByteArray("capture desktop")})
        EXPECT_FALSE(DecodeRequest(line)) << line.toStdString();
}

TEST(InstanceRequest, TheCaptureOptionNamesAnActionAndNoFile) {
    const QString strProgram = QStringLiteral("quorvi-studio");
    QString strError;
    EXPECT_EQ(instance::CaptureFromArguments(
                  {strProgram, QStringLiteral("--capture"), QStringLiteral("ellipse")}, &strError),
              QStringLiteral("ellipse"));
    EXPECT_EQ(instance::CaptureFromArguments({strProgram, QStringLiteral("--capture=desktop")},
                                             &strError),
              QStringLiteral("desktop"));
    EXPECT_EQ(instance::CaptureFromArguments({strProgram, QStringLiteral("a.png")}, &strError),
              QString());
    // After "--" it is a file name.
    EXPECT_EQ(instance::CaptureFromArguments(
                  {strProgram, QStringLiteral("--"), QStringLiteral("--capture=x")}, &strError),
              QString());
    EXPECT_FALSE(instance::CaptureFromArguments(
        {strProgram, QStringLiteral("--capture"), QStringLiteral("Desktop")}, &strError));
    EXPECT_NE(strError.indexOf(QStringLiteral("(not \"Desktop\")")), -1) << strError.toStdString();
    EXPECT_EQ(FilesFromArguments({strProgram, QStringLiteral("--capture"),
                                  QStringLiteral("desktop"), QStringLiteral("b.png")},
                                 QStringLiteral("/w")),
              QStringList{QStringLiteral("/w/b.png")});
}

TEST(InstanceRequest, AnOptionThatIsNoneOfOursIsNamed) {
    const auto unknown = [](QStringList arguments) {
        arguments.prepend(QStringLiteral("quorvi-studio"));
        return instance::UnknownOption(arguments).value_or(QString()).toStdString();
    };
    EXPECT_EQ(unknown({"-dash.png"}), "-dash.png");
    EXPECT_EQ(unknown({"a.png", "--frobnicate"}), "--frobnicate");
    EXPECT_EQ(unknown({"--capture", "desktop", "a.png", "--capture=window"}), "");
    EXPECT_EQ(unknown({"--", "-dash.png"}), "") << "after \"--\" it is a file";
}
