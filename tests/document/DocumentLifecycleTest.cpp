// SPDX-License-Identifier: MIT
// The document's life: creation from a capture or the pending image, loading, saving, reloading
// and the title mark that follows the history and the file.
#include "DocumentTestSupport.h"

#include "framework/CommandIds.h"
#include "image/CommandDescriptions.h"

#include <QDir>

#include <fstream>
#include <iterator>

namespace doctest {
namespace {

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

using LifecycleTest = DocumentTest;

TEST_F(LifecycleTest, NewFromCaptureCopiesItAndIsMarkedAtOnce) {
    m_host.m_pCapture = MakeTestImage(7, 5);
    auto doc = NewDocument();
    ASSERT_NE(doc->GetImage(), nullptr);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *m_host.m_pCapture), "");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "Quorv1 *");
    EXPECT_EQ(doc->GetBaseTitle(), "Quorv1");
    EXPECT_EQ(m_host.m_nDocumentChanges, 1);
    // The frame keeps its capture until delivery is over; the document has its own copy.
    ASSERT_NE(m_host.m_pCapture, nullptr);
    EXPECT_NE(static_cast<const void*>(doc->GetImage()->Bits()), m_host.m_pCapture->Bits());
}

TEST_F(LifecycleTest, CapturesDeeperThanEightBitsBecomeTrueColourPaletteCapturesKeepTheirs) {
    auto rgb = std::make_unique<CDisplayBitmap>();
    rgb->CreateCopy(*MakeTestImage(5, 3), 24);
    m_host.m_pCapture = std::move(rgb);
    auto doc = NewDocument();
    ASSERT_EQ(doc->GetImage()->Depth(), 32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t* src = m_host.m_pCapture->Line(y) + 3 * x;
            const RGBQuad px = doc->GetImage()->Row<RGBQuad>(y)[x];
            EXPECT_EQ((RGBQuad{src[0], src[1], src[2], 0}),
                      (RGBQuad{px.blue, px.green, px.red, 0}));
        }
    }

    m_host.m_pCapture = MakePaletteImage(6, 4);
    auto paletteDoc = NewDocument(QStringLiteral("Quorv2"));
    EXPECT_EQ(CompareImages(*paletteDoc->GetImage(), *m_host.m_pCapture), "");
}

TEST_F(LifecycleTest, NewFromAnImageKeepsItsDepth) {
    std::unique_ptr<CImageBitmap> pending = MakePaletteImage(9, 2);
    std::unique_ptr<CImageBitmap> expected = CopyOf(*pending);
    m_host.m_pPending = std::move(pending);
    auto doc = NewDocument();
    ASSERT_NE(doc->GetImage(), nullptr);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *expected), "");
    EXPECT_EQ(doc->GetTitle(), "Quorv1 *");
}

TEST_F(LifecycleTest, NewWithNothingToTakeIsEmptyAndAsksNothingOnClose) {
    auto doc = NewDocument();
    EXPECT_EQ(doc->GetImage(), nullptr);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "Quorv1");
    EXPECT_TRUE(doc->SaveModified()); // no question (an unexpected box fails the test)
}

TEST_F(LifecycleTest, OpenLoadsTheFileWithACleanTitle) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(11, 6);
    const std::filesystem::path path = WriteFile(*image, "a.png");
    auto doc = OpenDocument(path);
    ASSERT_NE(doc->GetImage(), nullptr);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *image, true), "");
    EXPECT_EQ(doc->GetTitle(), "a.png");
    EXPECT_EQ(doc->GetBaseTitle(), "a.png");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetPathName(), Q(path));
    EXPECT_EQ(doc->Counters(), HistoryCounters{});
    EXPECT_EQ(m_host.m_nDocumentChanges, 1);
    EXPECT_EQ(std::filesystem::canonical(std::filesystem::current_path()),
              std::filesystem::canonical(m_dir));
}

TEST_F(LifecycleTest, OpenFailureNamesTheFileAndLeavesAnEmptyDocument) {
    const std::filesystem::path junk = m_dir / "junk.png";
    WriteBytes(junk, "this is no picture at all");
    m_app.m_boxes.m_answers = {EMsgResult::Ok, EMsgResult::Ok};
    CTavixCaptureDoc doc(m_host, m_app.Ui());
    EXPECT_FALSE(doc.OnOpenDocument(Q(junk)));
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_app.m_boxes.m_shown[0].strText, "junk.png: Unknown file type.");
    EXPECT_EQ(m_app.m_boxes.m_shown[0].buttons, EMsgButtons::Ok);
    EXPECT_EQ(doc.GetImage(), nullptr);
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_EQ(m_host.m_nDocumentChanges, 1);

    const std::filesystem::path missing = m_dir / "missing.png";
    EXPECT_FALSE(doc.OnOpenDocument(Q(missing)));
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), 2u);
    EXPECT_TRUE(m_app.m_boxes.m_shown[1].strText.startsWith("missing.png: Opening "))
        << m_app.m_boxes.m_shown[1].strText.toStdString();
    EXPECT_EQ(doc.GetImage(), nullptr);
    EXPECT_EQ(m_host.m_nDocumentChanges, 2);
}

TEST_F(LifecycleTest, SaveClearsTheMarkAndUndoingBackToTheSavedImageKeepsItClear) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(8, 8);
    const std::filesystem::path path = WriteFile(*image, "a.png");
    auto doc = OpenDocument(path);
    ASSERT_TRUE(Run(*doc, ID_IMAGE_INVERT));
    EXPECT_EQ(doc->GetTitle(), "a.png *");
    std::unique_ptr<CImageBitmap> inverted = CopyOf(*doc->GetImage());

    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "a.png");
    CDisplayBitmap onDisk;
    m_host.m_decoder.LoadFromFile(path.string(), onDisk, 0, nullptr);
    EXPECT_EQ(CompareImages(onDisk, *inverted, true), "");

    Run(*doc, ID_IMAGE_FLIP_H);
    EXPECT_EQ(doc->GetTitle(), "a.png *");
    Run(*doc, ID_EDIT_UNDO); // back to what the file holds
    EXPECT_EQ(doc->GetTitle(), "a.png");
    EXPECT_FALSE(doc->IsModified());
    Run(*doc, ID_EDIT_UNDO); // past the save: the image differs from the file again
    EXPECT_EQ(doc->GetTitle(), "a.png *");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(CompareImages(*doc->GetImage(), *image, true), "");
}

TEST_F(LifecycleTest, UndoBackToTheLoadedImageClearsTheMark) {
    auto doc = OpenDocument(WriteFile(*MakeTestImage(5, 5), "b.bmp"));
    Run(*doc, ID_IMAGE_INVERT);
    EXPECT_EQ(doc->Counters().nChangeCount, 1);
    EXPECT_EQ(doc->GetTitle(), "b.bmp *");
    EXPECT_TRUE(IsEnabled(*doc, ID_EDIT_UNDO));
    Run(*doc, ID_EDIT_UNDO);
    EXPECT_EQ(doc->Counters().nChangeCount, 0);
    EXPECT_EQ(doc->GetTitle(), "b.bmp");
    EXPECT_FALSE(IsEnabled(*doc, ID_EDIT_UNDO));
    EXPECT_TRUE(IsEnabled(*doc, ID_EDIT_REDO));
    std::unique_ptr<CImageBitmap> before = CopyOf(*doc->GetImage());
    Run(*doc, ID_EDIT_UNDO); // nothing left to undo
    EXPECT_EQ(doc->Counters().nChangeCount, 0);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *before), "");
}

TEST_F(LifecycleTest, TwelveOperationsAndTenUndosKeepTheMarkThoughNothingIsLeftToUndo) {
    auto doc = OpenDocument(WriteFile(*MakeTestImage(4, 3), "c.png"));
    for (int i = 0; i < 12; ++i)
        Run(*doc, i % 2 ? ID_IMAGE_INVERT : ID_IMAGE_FLIP_V);
    EXPECT_EQ(doc->Counters().nUndoCount, 10);
    EXPECT_EQ(doc->Counters().nChangeCount, 11);
    for (int i = 0; i < 10; ++i)
        Run(*doc, ID_EDIT_UNDO);
    EXPECT_EQ(doc->Counters().nUndoCount, 0);
    EXPECT_EQ(doc->Counters().nChangeCount, 1);
    EXPECT_FALSE(IsEnabled(*doc, ID_EDIT_UNDO));
    EXPECT_EQ(doc->GetTitle(), "c.png *");
}

TEST_F(LifecycleTest, SaveFailureKeepsTheMarkAndTheFileThatWasThere) {
    auto doc = OpenDocument(WriteFile(*MakeTestImage(6, 6), "d.png"));
    Run(*doc, ID_IMAGE_INVERT);
    const std::filesystem::path keep = m_dir / "keep.webp"; // no writer for "webp"
    WriteBytes(keep, "the file that was there");
    m_app.m_boxes.m_answers = {EMsgResult::Ok, EMsgResult::Ok};
    EXPECT_FALSE(doc->DoSave(Q(keep)));
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), 1u);
    const QString strText = m_app.m_boxes.m_shown[0].strText;
    EXPECT_TRUE(strText.startsWith("Error saving the file: ")) << strText.toStdString();
    EXPECT_GT(strText.size(), QString("Error saving the file: ").size());
    EXPECT_EQ(ReadBytes(keep), "the file that was there");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "d.png *");
    EXPECT_EQ(doc->GetPathName(), Q(m_dir / "d.png"));

    EXPECT_FALSE(doc->DoSave(Q(m_dir / "no-such-folder" / "e.png")));
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), 2u);
    EXPECT_TRUE(m_app.m_boxes.m_shown[1].strText.startsWith("Error saving the file: "));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->SaveCount(), 0u);
}

TEST_F(LifecycleTest, ReloadOfANeverSavedCaptureDoesNothing) {
    m_host.m_pCapture = MakeTestImage(5, 4);
    auto doc = NewDocument();
    Run(*doc, ID_IMAGE_INVERT);
    std::unique_ptr<CImageBitmap> before = CopyOf(*doc->GetImage());
    EXPECT_FALSE(IsEnabled(*doc, ID_FILE_RELOAD));
    EXPECT_TRUE(Run(*doc, ID_FILE_RELOAD)); // no question (an unexpected box fails the test)
    EXPECT_EQ(CompareImages(*doc->GetImage(), *before), "");
    EXPECT_EQ(doc->Counters().nUndoCount, 1);
}

TEST_F(LifecycleTest, ReloadAsksWhenModifiedAndThenRestoresTheFileInPlace) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(7, 3);
    const std::filesystem::path path = WriteFile(*image, "r.png");
    CRecordingView view;
    auto doc = OpenDocument(path);
    doc->AddView(&view);
    CDisplayBitmap* pImage = doc->GetImage();
    Run(*doc, ID_IMAGE_INVERT);
    std::unique_ptr<CImageBitmap> inverted = CopyOf(*pImage);
    EXPECT_TRUE(IsEnabled(*doc, ID_FILE_RELOAD));

    m_app.m_boxes.m_answers = {EMsgResult::No};
    Run(*doc, ID_FILE_RELOAD);
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_app.m_boxes.m_shown[0].strText,
              "The current image was modified. Do you discard these changes?");
    EXPECT_EQ(m_app.m_boxes.m_shown[0].buttons, EMsgButtons::YesNo);
    EXPECT_EQ(m_app.m_boxes.m_shown[0].nDefaultButton, 1);
    EXPECT_EQ(CompareImages(*pImage, *inverted), "");
    EXPECT_EQ(doc->Counters().nUndoCount, 1);

    m_app.m_boxes.m_answers = {EMsgResult::Yes};
    const int nImageUpdates = view.CountKind(ViewUpdate::EKind::Image);
    Run(*doc, ID_FILE_RELOAD);
    EXPECT_EQ(doc->GetImage(), pImage); // views keep their pointer
    EXPECT_EQ(CompareImages(*pImage, *image, true), "");
    EXPECT_EQ(doc->Counters(), HistoryCounters{});
    EXPECT_FALSE(IsEnabled(*doc, ID_EDIT_UNDO));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "r.png");
    EXPECT_GT(view.CountKind(ViewUpdate::EKind::Image), nImageUpdates);

    // Unmodified: no question; the file's new content comes in.
    std::unique_ptr<CImageBitmap> other = MakeTestImage(3, 9, 7);
    WriteFile(*other, "r.png");
    Run(*doc, ID_FILE_RELOAD);
    EXPECT_EQ(CompareImages(*pImage, *other, true), "");
    doc->RemoveView(&view);
}

TEST_F(LifecycleTest, ReloadOfAFileThatNoLongerLoadsKeepsTheImageAndItsHistory) {
    const std::filesystem::path path = WriteFile(*MakeTestImage(6, 2), "gone.png");
    auto doc = OpenDocument(path);
    Run(*doc, ID_IMAGE_INVERT);
    std::unique_ptr<CImageBitmap> inverted = CopyOf(*doc->GetImage());
    std::filesystem::remove(path);
    m_app.m_boxes.m_answers = {EMsgResult::Yes, EMsgResult::Ok};
    Run(*doc, ID_FILE_RELOAD);
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), 2u);
    EXPECT_TRUE(m_app.m_boxes.m_shown[1].strText.startsWith("gone.png: Opening "))
        << m_app.m_boxes.m_shown[1].strText.toStdString();
    ASSERT_NE(doc->GetImage(), nullptr);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *inverted), "");
    EXPECT_EQ(doc->Counters().nUndoCount, 1);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "gone.png *");
}

TEST_F(LifecycleTest, AutoSaveTakesTheNameFromThePromptAndRetitles) {
    m_host.m_pCapture = MakeTestImage(10, 4);
    auto doc = NewDocument();
    const std::filesystem::path path = m_dir / "Qorv00001.bmp";
    m_app.m_files.m_answers = {Q(path)};
    EXPECT_TRUE(doc->AutoSave());
    EXPECT_EQ(m_app.m_files.m_nPrompts, 1);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "Qorv00001.bmp");
    EXPECT_EQ(doc->GetPathName(), Q(path));
    CDisplayBitmap onDisk;
    m_host.m_decoder.LoadFromFile(path.string(), onDisk, 0, nullptr);
    EXPECT_EQ(CompareImages(onDisk, *m_host.m_pCapture, true), "");

    // A later operation marks it; the reload command is now available.
    Run(*doc, ID_IMAGE_FLIP_V);
    EXPECT_EQ(doc->GetTitle(), "Qorv00001.bmp *");
    EXPECT_TRUE(IsEnabled(*doc, ID_FILE_RELOAD));
}

TEST_F(LifecycleTest, DeleteContentsAndCloseEmptyTheDocumentAndTellTheMainWindow) {
    m_host.m_pCapture = MakeTestImage(3, 3);
    auto doc = NewDocument();
    Run(*doc, ID_IMAGE_INVERT);
    doc->DeleteContents();
    EXPECT_EQ(doc->GetImage(), nullptr);
    EXPECT_EQ(doc->Counters(), HistoryCounters{});
    // Commands do nothing on an empty document.
    for (unsigned id :
         {ID_IMAGE_INVERT, ID_IMAGE_ROTATE_CW, ID_EDIT_UNDO, ID_IMAGE_RESIZE, ID_EDIT_COPY_ALL})
        EXPECT_TRUE(Run(*doc, id));
    EXPECT_EQ(doc->GetImage(), nullptr);
    EXPECT_EQ(m_host.m_dialogs.m_nRuns, 0);
    EXPECT_EQ(m_host.m_pClipboard, nullptr);
    const int nBefore = m_host.m_nDocumentChanges;
    doc->OnCloseDocument();
    EXPECT_EQ(m_host.m_nDocumentChanges, nBefore + 1);
}

} // namespace
} // namespace doctest
