// SPDX-License-Identifier: MIT
// The document's editing commands: each gives the image its filter gives when applied directly,
// is announced with its description, asks before converting palette images, and the size
// dialogs work through the pending slot.
#include "DocumentTestSupport.h"

#include "framework/CommandIds.h"
#include "image/BrightnessFilter.h"
#include "image/CommandDescriptions.h"
#include "image/ContrastFilter.h"
#include "image/CropFilter.h"
#include "image/FlipHorizontalFilter.h"
#include "image/FlipVerticalFilter.h"
#include "image/GrayscaleFilter.h"
#include "image/IntensityFilter.h"
#include "image/InvertFilter.h"
#include "image/PasteFilter.h"
#include "image/RegionCopyFilter.h"
#include "image/ResampleFilter.h"
#include "image/RotateFilter.h"
#include "image/SimpleResizeFilter.h"

namespace doctest {
namespace {

const QString kConversionQuestion =
    QStringLiteral("This is not a 24 bit per-pixel image, Resize operation must use 24 bit "
                   "per-pixel image,do you convert it to 24 "
                   "bit per-pixel image?");

QString LastCommand(const char* pszDescription) {
    return QStringLiteral("Last command : ") + QString::fromLatin1(pszDescription);
}

class CommandTest : public DocumentTest {
protected:
    // A fresh capture document over image.
    std::unique_ptr<CTavixCaptureDoc> CaptureDocument(const CImageBitmap& image) {
        m_host.m_pCapture = CopyOf(image);
        return NewDocument();
    }
    const CCommand* LastRecorded(const CTavixCaptureDoc& doc) const {
        const int slot = (doc.Counters().nPosition + CCommandHistory::kRingSize - 1) %
                         CCommandHistory::kRingSize;
        return doc.CommandAt(slot);
    }
};

struct PlainCommand {
    unsigned nID;
    const char* pszDescription;
    std::function<std::unique_ptr<CImageFilter>()> filter;
};

TEST_F(CommandTest, PlainCommandsGiveTheirFiltersResultAndAnnounceTheirDescription) {
    const std::vector<PlainCommand> commands = {
        {ID_IMAGE_ROTATE_CW, img::desc::kRotateClockwise,
         [] { return std::make_unique<CRotateFilter>(-1.57079633, RGBQuad{}); }},
        {ID_IMAGE_ROTATE_CCW, img::desc::kRotateCounterClockwise,
         [] { return std::make_unique<CRotateFilter>(1.57079633, RGBQuad{}); }},
        {ID_IMAGE_GRAYSCALE, img::desc::kGrayscale,
         [] { return std::make_unique<CGrayscaleFilter>(); }},
        {ID_IMAGE_INVERT, img::desc::kInvert, [] { return std::make_unique<CInvertFilter>(); }},
        {ID_IMAGE_FLIP_H, img::desc::kFlipHorizontal,
         [] { return std::make_unique<CFlipHorizontalFilter>(); }},
        {ID_IMAGE_FLIP_V, img::desc::kFlipVertical,
         [] { return std::make_unique<CFlipVerticalFilter>(); }},
    };
    std::unique_ptr<CImageBitmap> image = MakeTestImage(9, 6);
    for (const PlainCommand& command : commands) {
        SCOPED_TRACE(command.pszDescription);
        CRecordingView view;
        auto doc = CaptureDocument(*image);
        doc->AddView(&view);
        const int nBusy = m_app.m_cursor.m_nBegins;
        CDisplayBitmap* pImage = doc->GetImage();
        m_app.m_progress.m_fractions.clear();
        ASSERT_TRUE(Run(*doc, command.nID));
        EXPECT_EQ(doc->GetImage(), pImage); // changed in place: views keep the pointer
        ASSERT_FALSE(m_app.m_progress.m_fractions.empty());
        EXPECT_EQ(m_app.m_progress.m_fractions.back(), 1.0);
        std::unique_ptr<CImageFilter> filter = command.filter();
        EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*image, *filter)), "");
        ASSERT_NE(LastRecorded(*doc), nullptr);
        EXPECT_EQ(LastRecorded(*doc)->GetDescription(), command.pszDescription);
        EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(command.pszDescription));
        EXPECT_EQ(doc->Counters().nUndoCount, 1);
        EXPECT_GT(m_app.m_cursor.m_nBegins, nBusy);
        // The views hear once of the new image.
        ASSERT_EQ(view.m_updates.size(), 1u);
        EXPECT_EQ(view.m_updates[0].kind, ViewUpdate::EKind::Image);
        doc->RemoveView(&view);
    }
}

TEST_F(CommandTest, QuarterTurnsGoTheNamedWay) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(5, 3);
    auto doc = CaptureDocument(*image);
    Run(*doc, ID_IMAGE_ROTATE_CCW);
    ASSERT_EQ(doc->GetImage()->Width(), 3);
    ASSERT_EQ(doc->GetImage()->Height(), 5);
    // Counter-clockwise: the top-right pixel comes to the top left.
    EXPECT_EQ(doc->GetImage()->Row<RGBQuad>(0)[0], image->Row<RGBQuad>(0)[4]);
    Run(*doc, ID_IMAGE_ROTATE_CW);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *image), "");
}

TEST_F(CommandTest, BrightnessTakesThirtySixHundredthsOfTheDialogValueTruncated) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(4, 4);
    auto doc = CaptureDocument(*image);
    for (int value = -100; value <= 100; ++value) {
        m_host.m_dialogs.m_brightness = value;
        Run(*doc, ID_IMAGE_BRIGHTNESS);
        CBrightnessFilter filter(value * 36 / 100); // integer division truncates toward zero
        ASSERT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*image, filter)), "")
            << "dialog value " << value;
        Run(*doc, ID_EDIT_UNDO);
    }
    EXPECT_EQ(m_app.m_status.m_texts[0], LastCommand(img::desc::kBrightness));
}

TEST_F(CommandTest, ContrastIntensityAndRotationTakeTheDialogValues) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(20, 20);
    auto doc = CaptureDocument(*image);

    m_host.m_dialogs.m_contrast = ContrastDialogResult{15, 100};
    Run(*doc, ID_IMAGE_CONTRAST);
    CContrastFilter contrast(1.5, 100);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*image, contrast)), "");
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kContrast));
    Run(*doc, ID_EDIT_UNDO);

    m_host.m_dialogs.m_intensity = IntensityDialogResult{40, 100, 1.5};
    Run(*doc, ID_IMAGE_INTENSITY);
    CIntensityFilter intensity(40, 100, 1.5);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*image, intensity)), "");
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kIntensity));
    Run(*doc, ID_EDIT_UNDO);

    m_host.m_dialogs.m_rotate = RotateDialogResult{45, 0x0000FF00}; // green
    Run(*doc, ID_IMAGE_ROTATE_ANY);
    CRotateFilter rotate(45 * 0.01745329255555556, RGBQuad{0, 255, 0, 255});
    EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*image, rotate)), "");
    // The corners of a picture turned by 45 degrees are background: the colour, opaque.
    EXPECT_EQ(doc->GetImage()->Row<RGBQuad>(0)[0], (RGBQuad{0, 255, 0, 255}));
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kRotateAnyAngle));
}

TEST_F(CommandTest, CancelledDialogsChangeNothing) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(6, 5);
    auto doc = CaptureDocument(*image);
    for (unsigned id :
         {ID_IMAGE_BRIGHTNESS, ID_IMAGE_CONTRAST, ID_IMAGE_INTENSITY, ID_IMAGE_ROTATE_ANY})
        Run(*doc, id);
    EXPECT_EQ(m_host.m_dialogs.m_nRuns, 4);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *image), "");
    EXPECT_EQ(doc->Counters(), HistoryCounters{});
    EXPECT_TRUE(m_app.m_status.m_texts.isEmpty());
}

TEST_F(CommandTest, PaletteImagesAskBeforeEveryOperationAlwaysNamingResize) {
    std::unique_ptr<CImageBitmap> image = MakePaletteImage(7, 4);
    auto doc = CaptureDocument(*image);
    const std::vector<unsigned> ids = {ID_IMAGE_INVERT,    ID_IMAGE_FLIP_H,     ID_IMAGE_ROTATE_CW,
                                       ID_IMAGE_GRAYSCALE, ID_IMAGE_BRIGHTNESS, ID_IMAGE_CONTRAST,
                                       ID_IMAGE_INTENSITY, ID_IMAGE_ROTATE_ANY, ID_IMAGE_RESIZE,
                                       ID_IMAGE_SCALE,     ID_IMAGE_STRETCH};
    for (unsigned id : ids) {
        m_app.m_boxes.m_answers = {EMsgResult::No};
        Run(*doc, id);
    }
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), ids.size());
    for (const MessageBoxRequest& request : m_app.m_boxes.m_shown) {
        EXPECT_EQ(request.strText, kConversionQuestion);
        EXPECT_EQ(request.buttons, EMsgButtons::YesNo);
    }
    // Declining abandons the operation silently: no dialog, no change, no history.
    EXPECT_EQ(m_host.m_dialogs.m_nRuns, 0);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *image), "");
    EXPECT_EQ(doc->Counters(), HistoryCounters{});

    // Yes converts in place, outside the history; the operation then runs on the true-colour image.
    CDisplayBitmap* pImage = doc->GetImage();
    m_app.m_boxes.m_answers = {EMsgResult::Yes};
    Run(*doc, ID_IMAGE_INVERT);
    EXPECT_EQ(doc->GetImage(), pImage);
    auto trueColour = std::make_unique<CDisplayBitmap>();
    trueColour->CreateCopy(*image, 32);
    CInvertFilter invert;
    EXPECT_EQ(CompareImages(*pImage, *FilteredCopy(*trueColour, invert)), "");
    EXPECT_EQ(doc->Counters().nUndoCount, 1);
    Run(*doc, ID_EDIT_UNDO);
    EXPECT_EQ(CompareImages(*pImage, *trueColour), "");
}

TEST_F(CommandTest, AfterGrayscaleTheNextOperationAsksAgainButRegionOperationsDoNot) {
    auto doc = CaptureDocument(*MakeTestImage(8, 8));
    Run(*doc, ID_IMAGE_GRAYSCALE);
    ASSERT_EQ(doc->GetImage()->Depth(), 8);
    m_app.m_boxes.m_answers = {EMsgResult::No};
    Run(*doc, ID_IMAGE_FLIP_V);
    EXPECT_EQ(m_app.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(doc->Counters().nUndoCount, 1);

    // Crop, region moves and paste work on palette images as they are.
    EXPECT_TRUE(doc->CropImage(ImageRect{1, 1, 7, 7}));
    doc->CopyOrMoveRegion(ImageRect{0, 0, 2, 2}, ImageRect{0, 0, 2, 2}, ImageRect{3, 3, 5, 5},
                          false);
    doc->PasteImage(*MakePaletteImage(2, 2), ImageRect{0, 0, 2, 2}, ImageRect{0, 0, 2, 2});
    EXPECT_EQ(m_app.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(doc->GetImage()->Depth(), 8);
    EXPECT_EQ(doc->Counters().nUndoCount, 4);
}

TEST_F(CommandTest, RegionMovesFillWithTheImageBackgroundSetting) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(10, 8);
    auto doc = CaptureDocument(*image);
    m_host.m_settings.m_crImageBackground = 0x00123456;
    const ImageRect vacated{1, 1, 4, 3}, source{1, 1, 4, 3}, destination{2, 2, 5, 4};
    const int nBusy = m_app.m_cursor.m_nBegins;
    doc->CopyOrMoveRegion(vacated, source, destination, false);
    EXPECT_GT(m_app.m_cursor.m_nBegins, nBusy);
    CRegionCopyFilter move(vacated, source, destination, 0, 0x00123456);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*image, move)), "");
    // (1, 1) was vacated and not covered again: the COLORREF's red, green and blue.
    const RGBQuad filled = doc->GetImage()->Row<RGBQuad>(1)[1];
    EXPECT_EQ((RGBQuad{filled.blue, filled.green, filled.red, 0}), (RGBQuad{0x12, 0x34, 0x56, 0}));
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kCopyOrMoveRegion));

    Run(*doc, ID_EDIT_UNDO);
    doc->CopyOrMoveRegion(vacated, source, destination, true);
    CRegionCopyFilter copy(vacated, source, destination, 1, 0x00123456);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*image, copy)), "");
}

TEST_F(CommandTest, PasteAndCropAreRecordedWithTheirDescriptions) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(12, 9);
    std::unique_ptr<CImageBitmap> pasted = MakeTestImage(5, 4, 9);
    auto doc = CaptureDocument(*image);
    doc->PasteImage(*pasted, ImageRect{1, 0, 4, 3}, ImageRect{6, 5, 9, 8});
    CPasteFilter paste(*pasted, ImageRect{1, 0, 4, 3}, ImageRect{6, 5, 9, 8});
    std::unique_ptr<CImageBitmap> expected = FilteredCopy(*image, paste);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *expected), "");
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kPaste));

    EXPECT_TRUE(doc->CropImage(ImageRect{8, 7, 2, 1})); // corners in any order
    CCropFilter crop(2, 8, 1, 7);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*expected, crop)), "");
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kCrop));

    // Nothing left after cutting to the image: no command.
    EXPECT_FALSE(doc->CropImage(ImageRect{3, 3, 3, 5}));
    EXPECT_FALSE(doc->CropImage(ImageRect{50, 50, 60, 60}));
    EXPECT_EQ(doc->Counters().nUndoCount, 2);
}

TEST_F(CommandTest, UndoAndRedoAnnounceThemselvesAndFollowTheirUpdateHandlers) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(6, 6);
    auto doc = CaptureDocument(*image);
    EXPECT_FALSE(IsEnabled(*doc, ID_EDIT_UNDO));
    EXPECT_FALSE(IsEnabled(*doc, ID_EDIT_REDO));
    Run(*doc, ID_IMAGE_INVERT);
    std::unique_ptr<CImageBitmap> inverted = CopyOf(*doc->GetImage());
    EXPECT_TRUE(IsEnabled(*doc, ID_EDIT_UNDO));
    Run(*doc, ID_EDIT_UNDO);
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kUndo));
    EXPECT_EQ(CompareImages(*doc->GetImage(), *image), "");
    EXPECT_TRUE(IsEnabled(*doc, ID_EDIT_REDO));
    Run(*doc, ID_EDIT_REDO);
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kRedo));
    EXPECT_EQ(CompareImages(*doc->GetImage(), *inverted), "");
    EXPECT_FALSE(IsEnabled(*doc, ID_EDIT_REDO));
}

TEST_F(CommandTest, CopyAllPutsTheWholeImageOnTheClipboard) {
    std::unique_ptr<CImageBitmap> image = MakeTestImage(7, 7);
    auto doc = CaptureDocument(*image);
    EXPECT_TRUE(Run(*doc, ID_EDIT_COPY_ALL));
    ASSERT_NE(m_host.m_pClipboard, nullptr);
    EXPECT_EQ(CompareImages(*m_host.m_pClipboard, *image), "");
}

TEST_F(CommandTest, UndoCopiesStayWithinTheMemorySettingAndACopyThatCannotAsksFirst) {
    auto doc = CaptureDocument(*MakeTestImage(600, 600)); // 1.44 MB a copy
    m_host.m_settings.m_dwUndoMemoryMB = 3;
    std::vector<std::unique_ptr<CImageBitmap>> states;
    for (unsigned id : {ID_IMAGE_INVERT, ID_IMAGE_FLIP_H, ID_IMAGE_FLIP_V}) {
        states.push_back(CopyOf(*doc->GetImage()));
        Run(*doc, id);
    }
    EXPECT_EQ(doc->Counters().nUndoCount, 2) << "the oldest step went";
    Run(*doc, ID_EDIT_UNDO);
    Run(*doc, ID_EDIT_UNDO);
    EXPECT_FALSE(IsEnabled(*doc, ID_EDIT_UNDO));
    EXPECT_EQ(CompareImages(*doc->GetImage(), *states[1]), "");
    Run(*doc, ID_EDIT_REDO);
    Run(*doc, ID_EDIT_REDO);
    // The size dialog's pending change makes room the same way; the image then grows past what
    // the setting can hold a copy of.
    states.push_back(CopyOf(*doc->GetImage()));
    m_host.m_dialogs.m_sizeDialog = [](ESizeDialog kind, CTavixCaptureDoc& d) {
        EXPECT_TRUE(d.ApplySizeChange(kind, 1000, 1000, img::ResampleKernel::Bilinear, 0));
        d.CommitPending(true);
    };
    Run(*doc, ID_IMAGE_RESIZE);
    const auto resized = CopyOf(*doc->GetImage());
    EXPECT_EQ(doc->Counters().nUndoCount, 2);
    m_app.m_boxes.m_answers = {EMsgResult::No, EMsgResult::Yes};
    Run(*doc, ID_IMAGE_INVERT);
    ASSERT_EQ(m_app.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_app.m_boxes.m_shown[0].strText,
              "This operation cannot be undone: there is not enough memory to keep a copy. "
              "Continue?");
    EXPECT_EQ(m_app.m_boxes.m_shown[0].buttons, EMsgButtons::YesNo);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *resized), "") << "No ran it";
    Run(*doc, ID_IMAGE_INVERT);
    CInvertFilter invert;
    EXPECT_EQ(CompareImages(*doc->GetImage(), *FilteredCopy(*resized, invert)), "");
    EXPECT_EQ(doc->Counters().nUndoCount, 2) << "no step of its own";
    // The recorded steps restore their own before-images: undo goes back to before the resize.
    Run(*doc, ID_EDIT_UNDO);
    EXPECT_EQ(CompareImages(*doc->GetImage(), *states[3]), "");
}

class SizeDialogTest : public CommandTest {
protected:
    SizeDialogTest() : m_image(MakeTestImage(13, 7)) {
        m_doc = OpenDocument(WriteFile(*m_image, "s.bmp"));
    }

    std::unique_ptr<CImageBitmap> m_image;
    std::unique_ptr<CTavixCaptureDoc> m_doc;
};

TEST_F(SizeDialogTest, ApplyThenDoneIsOneUndoStep) {
    CRecordingView view;
    m_doc->AddView(&view);
    QString strPreviewTitle;
    m_host.m_dialogs.m_sizeDialog = [&](ESizeDialog kind, CTavixCaptureDoc& doc) {
        EXPECT_EQ(kind, ESizeDialog::Resize);
        ASSERT_NE(doc.GetOriginal(), nullptr);
        EXPECT_EQ(CompareImages(*doc.GetOriginal(), *doc.GetImage()), "");
        EXPECT_TRUE(doc.ApplySizeChange(kind, 5, 3, img::ResampleKernel::Bilinear, 0));
        strPreviewTitle = doc.GetTitle();
        doc.CommitPending(true);
    };
    Run(*m_doc, ID_IMAGE_RESIZE);
    EXPECT_EQ(strPreviewTitle, "s.bmp *");
    EXPECT_EQ(m_doc->GetOriginal(), nullptr);
    CSimpleResizeFilter resize(5, 3);
    EXPECT_EQ(CompareImages(*m_doc->GetImage(), *FilteredCopy(*m_image, resize), true), "");
    EXPECT_EQ(m_doc->Counters().nUndoCount, 1);
    EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(img::desc::kResize));
    EXPECT_GT(view.CountKind(ViewUpdate::EKind::Image), 0);
    EXPECT_EQ(m_doc->GetTitle(), "s.bmp *");
    Run(*m_doc, ID_EDIT_UNDO);
    EXPECT_EQ(CompareImages(*m_doc->GetImage(), *m_image, true), "");
    EXPECT_EQ(m_doc->GetTitle(), "s.bmp");
    m_doc->RemoveView(&view);
}

TEST_F(SizeDialogTest, ApplyRevertDoneChangesNothingAndAddsNoStep) {
    QString strRevertedTitle;
    m_host.m_dialogs.m_sizeDialog = [&](ESizeDialog kind, CTavixCaptureDoc& doc) {
        EXPECT_TRUE(doc.ApplySizeChange(kind, 26, 14, img::ResampleKernel::Box, 1.0));
        EXPECT_TRUE(doc.RevertPending());
        strRevertedTitle = doc.GetTitle();
        doc.CommitPending(false);
    };
    Run(*m_doc, ID_IMAGE_SCALE);
    EXPECT_EQ(strRevertedTitle, "s.bmp");
    EXPECT_EQ(CompareImages(*m_doc->GetImage(), *m_image, true), "");
    EXPECT_EQ(m_doc->Counters(), HistoryCounters{});
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_EQ(m_doc->PendingCommand(), nullptr);
}

TEST_F(SizeDialogTest, KernelsAndDescriptionsFollowTheDialog) {
    struct Case {
        ESizeDialog kind;
        img::ResampleKernel kernel;
        const char* pszDescription;
        unsigned nID;
    };
    for (const Case& c : {Case{ESizeDialog::Scale, img::ResampleKernel::Gaussian, img::desc::kScale,
                               ID_IMAGE_SCALE},
                          Case{ESizeDialog::Stretch, img::ResampleKernel::Hamming,
                               img::desc::kStretch, ID_IMAGE_STRETCH},
                          Case{ESizeDialog::Resize, img::ResampleKernel::Box, img::desc::kResize,
                               ID_IMAGE_RESIZE}}) {
        m_host.m_dialogs.m_sizeDialog = [&](ESizeDialog kind, CTavixCaptureDoc& doc) {
            EXPECT_EQ(kind, c.kind);
            EXPECT_TRUE(doc.ApplySizeChange(kind, 9, 11, c.kernel, 2.5));
            doc.CommitPending(true);
        };
        Run(*m_doc, c.nID);
        CResampleFilter resample(9, 11, 2.5, c.kernel);
        EXPECT_EQ(CompareImages(*m_doc->GetImage(), *FilteredCopy(*m_image, resample), true), "");
        EXPECT_EQ(m_app.m_status.m_texts.back(), LastCommand(c.pszDescription));
        Run(*m_doc, ID_EDIT_UNDO);
    }
}

TEST_F(SizeDialogTest, ADialogClosedWithoutDoneLeavesTheImageAsItWas) {
    m_host.m_dialogs.m_sizeDialog = [](ESizeDialog kind, CTavixCaptureDoc& doc) {
        EXPECT_TRUE(doc.ApplySizeChange(kind, 4, 4, img::ResampleKernel::Bilinear, 0));
    };
    Run(*m_doc, ID_IMAGE_STRETCH);
    EXPECT_EQ(m_doc->PendingCommand(), nullptr);
    EXPECT_EQ(m_doc->Counters().nUndoCount, 0);
    EXPECT_EQ(CompareImages(*m_doc->GetImage(), *m_image, true), "");
    EXPECT_FALSE(IsEnabled(*m_doc, ID_EDIT_UNDO));
}

TEST_F(SizeDialogTest, ApplyNeedsTheSnapshotAndASizeOfAtLeastOne) {
    EXPECT_FALSE(
        m_doc->ApplySizeChange(ESizeDialog::Resize, 4, 4, img::ResampleKernel::Bilinear, 0));
    m_host.m_dialogs.m_sizeDialog = [](ESizeDialog kind, CTavixCaptureDoc& doc) {
        EXPECT_FALSE(doc.ApplySizeChange(kind, 0, 4, img::ResampleKernel::Bilinear, 0));
        EXPECT_FALSE(doc.ApplySizeChange(kind, 4, -1, img::ResampleKernel::Box, 1));
    };
    Run(*m_doc, ID_IMAGE_RESIZE);
    EXPECT_EQ(CompareImages(*m_doc->GetImage(), *m_image, true), "");
    EXPECT_EQ(m_doc->Counters(), HistoryCounters{});
    EXPECT_TRUE(m_app.m_status.m_texts.isEmpty());
}

} // namespace
} // namespace doctest
