// SPDX-License-Identifier: MIT
// CSelectionEditor without a window: selections, drags, the floating paste, crop, cut and copy,
// run against a small image through the document's own filters.
#include "views/SelectionEditor.h"

#include "image/CropFilter.h"
#include "image/DisplayBitmap.h"
#include "image/PasteFilter.h"
#include "image/RegionCopyFilter.h"
#include "views/SelectionTarget.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kFill = 0x00C0C0C0; // the image background colour, as 0x00BBGGRR
constexpr std::uint32_t kFillPixel = 0x00C0C0C0;

// Pixel (x, y) of the test pictures: distinct everywhere, never the fill colour.
std::uint32_t Pattern(int x, int y, std::uint32_t salt = 0) {
    return 0x00010000u * std::uint32_t(x) + 0x100u * std::uint32_t(y) + 0x0Du + salt;
}

std::unique_ptr<CDisplayBitmap> PatternBitmap(int nWidth, int nHeight, std::uint32_t salt = 0) {
    auto p = std::make_unique<CDisplayBitmap>();
    p->Create(nWidth, nHeight, 32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            p->Row<std::uint32_t>(y)[x] = Pattern(x, y, salt);
    return p;
}

// The image window as the editor sees it: an image changed by the real filters, one recorded
// step per command.
class CFakeTarget final : public ISelectionTarget {
public:
    explicit CFakeTarget(int nWidth, int nHeight) : m_pImage(PatternBitmap(nWidth, nHeight)) {}

    ImageRect ImageBounds() const override { return {0, 0, m_pImage->Width(), m_pImage->Height()}; }
    void MoveRegion(const ImageRect& a, const ImageRect& s, const ImageRect& d,
                    bool bCopy) override {
        CRegionCopyFilter(a, s, d, bCopy ? 1 : 0, kFill).ApplyInPlace(*m_pImage);
        ++m_nSteps;
    }
    void PasteBitmap(const CImageBitmap& bitmap, const ImageRect& s, const ImageRect& d) override {
        CPasteFilter(bitmap, s, d).ApplyInPlace(*m_pImage);
        ++m_nSteps;
    }
    void Crop(const ImageRect& rc) override {
        CCropFilter(rc.left, rc.right, rc.top, rc.bottom).ApplyInPlace(*m_pImage);
        ++m_nSteps;
    }
    bool CopyToClipboard(const ImageRect& rc) override {
        m_pClipboard = std::make_unique<CDisplayBitmap>();
        CCropFilter(rc.left, rc.right, rc.top, rc.bottom).Apply(*m_pImage, *m_pClipboard);
        return true;
    }
    void InvalidateImage(const ImageRect&) override {}
    void InvalidateOutline(const ImageRect&) override {}
    void InvalidateAll(bool) override {}

    std::uint32_t Pixel(int x, int y) const { return m_pImage->Row<std::uint32_t>(y)[x]; }

    std::unique_ptr<CDisplayBitmap> m_pImage;
    std::unique_ptr<CDisplayBitmap> m_pClipboard;
    int m_nSteps = 0;
};

class SelectionEditorTest : public ::testing::Test {
protected:
    void Band(ImagePoint a, ImagePoint b) {
        ASSERT_TRUE(m_editor.Press(a, false));
        m_editor.MoveTo(b);
        m_editor.Release(b);
    }
    void Drag(ImagePoint a, ImagePoint b, bool bCtrl = false) {
        ASSERT_TRUE(m_editor.Press(a, bCtrl));
        m_editor.MoveTo({(a.x + b.x) / 2, (a.y + b.y) / 2});
        m_editor.MoveTo(b);
        m_editor.Release(b);
    }

    CFakeTarget m_target{64, 48};
    CSelectionEditor m_editor{m_target};
};

} // namespace

TEST_F(SelectionEditorTest, SelectAllBandsAndClicks) {
    CFakeTarget big(640, 480);
    CSelectionEditor editor(big);
    EXPECT_FALSE(editor.Press({5, 5}, false)); // browse mode: the view pans instead
    ASSERT_TRUE(editor.SelectAll());
    EXPECT_EQ(editor.Selection(), (ImageRect{0, 0, 640, 480}));
    EXPECT_EQ(editor.Mode(), CSelectionEditor::ModeSelect);

    m_editor.ToggleSelectMode();
    // Dragged up and left, partly outside: normalised and cut to the image.
    Band({20, 10}, {-15, -7});
    EXPECT_EQ(m_editor.Selection(), (ImageRect{0, 0, 20, 10}));
    EXPECT_EQ(m_editor.Marquee(), m_editor.Selection());
    Band({50, 40}, {90, 70});
    EXPECT_EQ(m_editor.Selection(), (ImageRect{50, 40, 64, 48}));
    // Wholly outside, and a plain click, leave no selection.
    Band({-30, -30}, {-5, -2});
    EXPECT_TRUE(m_editor.Selection().IsEmpty());
    Band({3, 3}, {10, 10});
    Band({30, 30}, {30, 30});
    EXPECT_TRUE(m_editor.Marquee().IsEmpty());
    EXPECT_EQ(m_target.m_nSteps, 0);
}

TEST_F(SelectionEditorTest, DragMovesThePixelsAndLeavesTheBackgroundColour) {
    m_editor.ToggleSelectMode();
    Band({10, 10}, {20, 16}); // 10 x 6 at (10, 10)
    Drag({12, 12}, {17, 15}); // by (5, 3)
    EXPECT_EQ(m_target.m_nSteps, 1);
    for (int y = 10; y < 16; ++y) {
        for (int x = 10; x < 20; ++x) {
            EXPECT_EQ(m_target.Pixel(x + 5, y + 3), Pattern(x, y)) << x << "," << y;
            if (x < 15 || y < 13) {
                EXPECT_EQ(m_target.Pixel(x, y), kFillPixel) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(m_target.Pixel(9, 9), Pattern(9, 9));
    EXPECT_EQ(m_editor.Selection(), (ImageRect{15, 13, 25, 19}));
    EXPECT_EQ(m_editor.Marquee(), m_editor.Selection());

    // A click on the selection is no drag: nothing recorded, nothing moved.
    Drag({16, 14}, {16, 14});
    EXPECT_EQ(m_target.m_nSteps, 1);

    // Dragged partly off the image: what lands inside arrives, the selection is cut.
    Drag({16, 14}, {61, 14}); // by (45, 0): columns 64.. fall off
    EXPECT_EQ(m_target.m_nSteps, 2);
    EXPECT_EQ(m_target.Pixel(63, 13), Pattern(13, 10));
    EXPECT_EQ(m_editor.Selection(), (ImageRect{60, 13, 64, 19}));
}

TEST_F(SelectionEditorTest, CtrlDragCopiesAndKeepsTheSource) {
    m_editor.ToggleSelectMode();
    Band({0, 0}, {8, 8});
    Drag({1, 1}, {31, 21}, true);
    EXPECT_EQ(m_target.m_nSteps, 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(m_target.Pixel(x, y), Pattern(x, y));
            EXPECT_EQ(m_target.Pixel(x + 30, y + 20), Pattern(x, y));
        }
    }
}

TEST_F(SelectionEditorTest, FloatingPasteMovesAndMergesAsOneStep) {
    // Larger than the image: only what fits is selected.
    m_editor.Paste(PatternBitmap(80, 20, 0x40));
    EXPECT_EQ(m_editor.Mode(), CSelectionEditor::ModeSelect);
    EXPECT_EQ(m_editor.Selection(), (ImageRect{0, 0, 64, 20}));
    ASSERT_NE(m_editor.Floating(), nullptr);
    m_editor.Paste(nullptr); // nothing on the clipboard: nothing changes
    ASSERT_NE(m_editor.Floating(), nullptr);

    m_editor.Paste(PatternBitmap(10, 8, 0x80)); // the first one is merged before
    EXPECT_EQ(m_target.m_nSteps, 1);
    Drag({2, 2}, {22, 32}); // floats to (20, 30); the image is not touched
    EXPECT_EQ(m_target.m_nSteps, 1);
    EXPECT_EQ(m_editor.Selection(), (ImageRect{20, 30, 30, 38}));
    EXPECT_EQ(m_target.Pixel(20, 10), Pattern(20, 10, 0x40));

    // A press outside merges it, and a rubber band starts.
    EXPECT_TRUE(m_editor.Press({50, 5}, false));
    EXPECT_EQ(m_editor.Floating(), nullptr);
    EXPECT_EQ(m_target.m_nSteps, 2);
    m_editor.Release({50, 5});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(m_target.Pixel(20 + x, 30 + y), Pattern(x, y, 0x80));
    EXPECT_EQ(m_target.Pixel(19, 30), Pattern(19, 30));
}

TEST_F(SelectionEditorTest, FloatingPasteDraggedPartlyOffMergesWhatLandsInside) {
    m_editor.Paste(PatternBitmap(10, 8, 0x80));
    Drag({0, 0}, {58, 44}); // now at (58, 44)..(68, 52): 6 x 4 inside
    m_editor.Unselect();    // leaving selection mode merges too
    EXPECT_EQ(m_target.m_nSteps, 1);
    EXPECT_EQ(m_editor.Floating(), nullptr);
    EXPECT_EQ(m_target.Pixel(58, 44), Pattern(0, 0, 0x80));
    EXPECT_EQ(m_target.Pixel(63, 47), Pattern(5, 3, 0x80));
    EXPECT_EQ(m_editor.Mode(), CSelectionEditor::ModeBrowse);
}

TEST_F(SelectionEditorTest, CropToSelectionOrToTheNextBand) {
    m_editor.ToggleSelectMode();
    Band({4, 6}, {14, 26});
    ASSERT_TRUE(m_editor.CropToSelection());
    EXPECT_EQ(m_target.ImageBounds(), (ImageRect{0, 0, 10, 20}));
    EXPECT_EQ(m_target.Pixel(0, 0), Pattern(4, 6));
    EXPECT_TRUE(m_editor.Selection().IsEmpty());

    // Without a selection the next band crops at once, and only that one.
    ASSERT_TRUE(m_editor.CropToSelection());
    EXPECT_TRUE(m_editor.IsCropPending());
    Band({1, 2}, {5, 9});
    EXPECT_EQ(m_target.ImageBounds(), (ImageRect{0, 0, 4, 7}));
    EXPECT_EQ(m_target.Pixel(0, 0), Pattern(5, 8));
    EXPECT_FALSE(m_editor.IsCropPending());
    Band({0, 0}, {2, 2});
    EXPECT_EQ(m_target.ImageBounds(), (ImageRect{0, 0, 4, 7}));
    EXPECT_EQ(m_target.m_nSteps, 2);
}

TEST_F(SelectionEditorTest, CutCopiesThenFillsAndCopyChangesNothing) {
    EXPECT_FALSE(m_editor.Copy()); // no selection
    EXPECT_FALSE(m_editor.Cut());
    m_editor.ToggleSelectMode();
    Band({2, 3}, {6, 5});
    ASSERT_TRUE(m_editor.Copy());
    EXPECT_EQ(m_target.m_nSteps, 0);
    ASSERT_TRUE(m_target.m_pClipboard);
    EXPECT_EQ(m_target.m_pClipboard->Width(), 4);
    EXPECT_EQ(m_target.m_pClipboard->Row<std::uint32_t>(1)[3], Pattern(5, 4));
    m_target.m_pClipboard.reset();
    ASSERT_TRUE(m_editor.Cut());
    EXPECT_EQ(m_target.m_nSteps, 1);
    ASSERT_TRUE(m_target.m_pClipboard);
    EXPECT_EQ(m_target.m_pClipboard->Row<std::uint32_t>(0)[0], Pattern(2, 3));
    EXPECT_EQ(m_target.Pixel(2, 3), kFillPixel);
    EXPECT_EQ(m_target.Pixel(5, 4), kFillPixel);
    EXPECT_EQ(m_target.Pixel(6, 4), Pattern(6, 4));
}
