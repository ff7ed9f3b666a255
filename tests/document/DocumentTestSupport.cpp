// SPDX-License-Identifier: MIT
// The display-less application of the document tests.
#include "DocumentTestSupport.h"

#include "codecs/PictureSave.h"
#include "framework/CmdUI.h"
#include "image/ImageFilter.h"
#include "image/MemoryBitmap.h"

#include <QDir>
#include <QFile>

#include <sstream>

namespace doctest {

std::optional<QString> CScriptedFiles::PromptFileName(const FilePrompt& prompt) {
    ++m_nPrompts;
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected file prompt: " << prompt.strTitle.toStdString();
        return std::nullopt;
    }
    const QString strAnswer = m_answers.front();
    m_answers.pop_front();
    if (strAnswer.isEmpty())
        return std::nullopt;
    return strAnswer;
}

CTestApp::CTestApp() {
    Ui().SetMessageBoxes(&m_boxes);
    Ui().SetFileDialogs(&m_files);
    Ui().SetStatusText(&m_status);
    Ui().SetWaitCursor(&m_cursor);
    Ui().SetProgress(&m_progress);
}

CTestApp::~CTestApp() {
    EXPECT_TRUE(m_boxes.m_answers.empty()) << "message box answers left unused";
    EXPECT_TRUE(m_files.m_answers.empty()) << "file prompt answers left unused";
    EXPECT_EQ(m_cursor.m_nDepth, 0) << "wait cursor left on";
    Ui().SetMessageBoxes(nullptr);
    Ui().SetFileDialogs(nullptr);
    Ui().SetStatusText(nullptr);
    Ui().SetWaitCursor(nullptr);
    Ui().SetProgress(nullptr);
}

void CScriptedDialogs::RunSizeDialog(ESizeDialog kind, CTavixCaptureDoc& doc) {
    ++m_nRuns;
    if (m_sizeDialog)
        m_sizeDialog(kind, doc);
}

CTestHost::CTestHost() : m_settings("/nonexistent/quorvi-document-test/quorvi-studio") {}

bool CTestHost::CopyImageToClipboard(const CImageBitmap& image) {
    m_pClipboard = CopyOf(image);
    return true;
}

int CRecordingView::CountKind(ViewUpdate::EKind kind) const {
    int n = 0;
    for (const ViewUpdate& update : m_updates)
        n += update.kind == kind ? 1 : 0;
    return n;
}

std::unique_ptr<CImageBitmap> MakeTestImage(int width, int height, unsigned seed) {
    auto image = std::make_unique<CMemoryBitmap>();
    image->Create(width, height, 32);
    unsigned state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y) {
        RGBQuad* row = image->Row<RGBQuad>(y);
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            row[x] = RGBQuad{std::uint8_t(state >> 16), std::uint8_t(x * 37 + y),
                             std::uint8_t(y * 53 + x * 3), 0};
        }
    }
    return image;
}

std::unique_ptr<CImageBitmap> MakePaletteImage(int width, int height) {
    auto image = std::make_unique<CMemoryBitmap>();
    image->Create(width, height, 8);
    std::span<RGBQuad> palette = image->PaletteSpan();
    for (int i = 0; i < 256; ++i)
        palette[std::size_t(i)] =
            RGBQuad{std::uint8_t(255 - i), std::uint8_t(i * 7), std::uint8_t(i * 3), 0};
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image->Line(y);
        for (int x = 0; x < width; ++x)
            row[x] = std::uint8_t(x * 11 + y * 29);
    }
    return image;
}

std::string CompareImages(const CImageBitmap& a, const CImageBitmap& b, bool ignoreFourth) {
    std::ostringstream out;
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Depth() != b.Depth()) {
        out << a.Width() << "x" << a.Height() << "@" << a.Depth() << " vs " << b.Width() << "x"
            << b.Height() << "@" << b.Depth();
        return out.str();
    }
    for (int i = 0; i < a.PaletteSize(); ++i) {
        if (!(a.Palette()[i] == b.Palette()[i])) {
            out << "palette entry " << i << " differs";
            return out.str();
        }
    }
    const std::size_t rowBytes = a.PixelBytesPerLine();
    for (int y = 0; y < a.Height(); ++y) {
        for (std::size_t i = 0; i < rowBytes; ++i) {
            if (ignoreFourth && a.Depth() == 32 && i % 4 == 3)
                continue;
            if (a.Line(y)[i] != b.Line(y)[i]) {
                out << "row " << y << " byte " << i << ": " << int(a.Line(y)[i]) << " vs "
                    << int(b.Line(y)[i]);
                return out.str();
            }
        }
    }
    return {};
}

std::unique_ptr<CImageBitmap> CopyOf(const CImageBitmap& image) {
    auto copy = std::make_unique<CMemoryBitmap>();
    copy->CreateCopy(image);
    copy->SetAlpha(image.HasAlpha());
    return copy;
}

std::unique_ptr<CImageBitmap> FilteredCopy(const CImageBitmap& image, CImageFilter& filter) {
    std::unique_ptr<CImageBitmap> copy = CopyOf(image);
    filter.ApplyInPlace(*copy);
    return copy;
}

DocumentTest::DocumentTest() : m_dir(m_temp.Path()), m_oldCwd(std::filesystem::current_path()) {}

DocumentTest::~DocumentTest() {
    // Opening a file makes its folder the current one.
    std::filesystem::current_path(m_oldCwd);
}

std::unique_ptr<CTavixCaptureDoc> DocumentTest::NewDocument(const QString& strTitle) {
    auto doc = std::make_unique<CTavixCaptureDoc>(m_host, m_app.Ui());
    doc->SetTitle(strTitle);
    if (m_host.m_pCapture) {
        EXPECT_TRUE(doc->OnNewDocument(*m_host.m_pCapture, CTavixCaptureDoc::ENewImage::Capture));
    } else if (m_host.m_pPending) {
        const std::unique_ptr<CImageBitmap> pImage = std::move(m_host.m_pPending);
        EXPECT_TRUE(doc->OnNewDocument(*pImage, CTavixCaptureDoc::ENewImage::Image));
    } else {
        EXPECT_TRUE(doc->OnNewDocument());
    }
    return doc;
}

std::unique_ptr<CTavixCaptureDoc> DocumentTest::OpenDocument(const std::filesystem::path& path) {
    auto doc = std::make_unique<CTavixCaptureDoc>(m_host, m_app.Ui());
    EXPECT_TRUE(doc->OnOpenDocument(QString::fromStdString(path.string())));
    return doc;
}

std::filesystem::path DocumentTest::WriteFile(const CImageBitmap& image, const std::string& name) {
    const std::filesystem::path path = m_dir / name;
    codec::SavePicture(path.string(), image, JpegOptions{});
    return path;
}

bool DocumentTest::Run(CTavixCaptureDoc& doc, unsigned nID) {
    return doc.OnCmdMsg(nID, ECmdKind::Command, nullptr);
}

bool DocumentTest::IsEnabled(CTavixCaptureDoc& doc, unsigned nID) {
    CCmdUI cmdUI(nID);
    EXPECT_TRUE(doc.OnCmdMsg(nID, ECmdKind::Update, &cmdUI));
    return cmdUI.IsEnabled();
}

} // namespace doctest
