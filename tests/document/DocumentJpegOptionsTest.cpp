// SPDX-License-Identifier: MIT
// Which JPEG options a save uses: the stored set for an automatic capture save, the working set
// (the save dialog's) otherwise. ImageMagick reads the written files back.
#include "DocumentTestSupport.h"

#include "framework/CommandIds.h"
#include "support/Programs.h"

#include <QRegularExpression>

namespace doctest {
namespace {

struct JpegFacts {
    int nQuality = 0;
    QString strResolution;
    QString strUnits;
};

std::optional<JpegFacts> Identify(const std::filesystem::path& path) {
    const std::optional<std::string> text =
        testsupport::RunProgram({"identify", "-verbose", path.string()});
    if (!text)
        return std::nullopt;
    const QString out = QString::fromStdString(*text);
    JpegFacts facts;
    const auto field = [&](const char* name) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^\\s*%1: (.*)$").arg(QLatin1String(name)),
                               QRegularExpression::MultilineOption)
                .match(out);
        return m.hasMatch() ? m.captured(1).trimmed() : QString();
    };
    facts.nQuality = field("Quality").toInt();
    facts.strResolution = field("Resolution");
    facts.strUnits = field("Units");
    return facts;
}

class JpegOptionsTest : public DocumentTest {
protected:
    void SetUp() override {
        if (!testsupport::RunProgram({"identify", "-version"}))
            GTEST_SKIP() << "ImageMagick (identify) is not installed";
        platform::CAppSettings& settings = m_host.m_settings;
        settings.m_wJPEGQuality = 40;
        settings.m_sizeJPEGDIP = platform::SizeValue{300, 150};
        platform::JpegOptions& working = settings.WorkingJpegOptions();
        working.wQuality = 90;
        working.sizeDip = platform::SizeValue{72, 96};
        m_host.m_pCapture = MakeTestImage(64, 48);
    }
    QString Path(const char* name) const { return QString::fromStdString((m_dir / name).string()); }
};

TEST_F(JpegOptionsTest, AutoSaveUsesTheStoredSetAndOtherSavesTheWorkingSet) {
    auto doc = NewDocument();
    m_app.m_files.m_answers = {Path("auto.jpg")};
    ASSERT_TRUE(doc->AutoSave());
    std::optional<JpegFacts> facts = Identify(m_dir / "auto.jpg");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->nQuality, 40);
    EXPECT_EQ(facts->strResolution, "300x150");
    EXPECT_EQ(facts->strUnits, "PixelsPerInch");

    Run(*doc, ID_IMAGE_FLIP_H);
    ASSERT_TRUE(doc->DoSave(Path("again.JPG"))); // the extension is matched in lower case
    facts = Identify(m_dir / "again.JPG");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->nQuality, 90);
    EXPECT_EQ(facts->strResolution, "72x96");
}

TEST_F(JpegOptionsTest, ACancelledAutoSaveLeavesTheNextSaveOnTheWorkingSet) {
    auto doc = NewDocument();
    m_app.m_files.m_answers = {QString()};
    EXPECT_FALSE(doc->AutoSave());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "Quorv1 *");
    ASSERT_TRUE(doc->DoSave(Path("later.jpg")));
    const std::optional<JpegFacts> facts = Identify(m_dir / "later.jpg");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->nQuality, 90);
}

} // namespace
} // namespace doctest
