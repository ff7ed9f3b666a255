// SPDX-License-Identifier: MIT
// CZoomView: scale, steps, centring, preset stepping and point conversion.
#include "views/ZoomView.h"

#include <QScrollBar>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// A view with a viewport of exactly `client` (no frame), shown so that geometry is real.
class ZoomViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_view.setFrameShape(QFrame::NoFrame);
        m_view.resize(400, 300);
        m_view.show();
    }
    CZoomView m_view;
};

} // namespace

TEST_F(ZoomViewTest, DefaultStepsAreATenthOfTheTotalAndOfThePage) {
    m_view.SetImageExtent(QSize(1234, 567));
    EXPECT_EQ(m_view.TotalSize(), QSize(1234, 567));
    EXPECT_EQ(m_view.PageStep(), QSize(123, 56));
    EXPECT_EQ(m_view.LineStep(), QSize(12, 5));
    // Given steps are taken as they are, negative ones made positive.
    m_view.SetImageExtent(QSize(1000, 1000), QSize(-50, 70), QSize(3, 0));
    EXPECT_EQ(m_view.PageStep(), QSize(50, 70));
    EXPECT_EQ(m_view.LineStep(), QSize(3, 7));
}

TEST_F(ZoomViewTest, ScaleTruncatesTheTotalAndKeepsTheCentre) {
    m_view.SetImageExtent(QSize(100, 100));
    m_view.SetScale(2.0);
    EXPECT_EQ(m_view.TotalSize(), QSize(200, 200));
    m_view.SetScale(0.25);
    EXPECT_EQ(m_view.TotalSize(), QSize(25, 25));
    m_view.SetImageExtent(QSize(333, 101));
    m_view.SetScale(0.5);
    EXPECT_EQ(m_view.TotalSize(), QSize(166, 50));

    // A large image: the point at the window's centre stays there while zooming.
    m_view.SetImageExtent(QSize(2000, 1500));
    m_view.CenterOnImagePoint(QPoint(700, 600));
    const QPoint before = m_view.GetImageCenter();
    EXPECT_NEAR(before.x(), 700, 1);
    EXPECT_NEAR(before.y(), 600, 1);
    m_view.SetScale(4.0);
    const QPoint after = m_view.GetImageCenter();
    EXPECT_NEAR(after.x(), before.x(), 1);
    EXPECT_NEAR(after.y(), before.y(), 1);
    EXPECT_EQ(m_view.ScrollPosition(), QPoint(700 * 4 - m_view.viewport()->width() / 2,
                                              600 * 4 - m_view.viewport()->height() / 2));
}

TEST_F(ZoomViewTest, SmallImagesAreCentredLargeOnesStartAtTheScrollOrigin) {
    m_view.SetImageExtent(QSize(100, 50));
    EXPECT_FALSE(m_view.HasHorizontalScroll());
    EXPECT_FALSE(m_view.HasVerticalScroll());
    EXPECT_EQ(m_view.ViewportOrigin(), QPoint((400 - 100) / 2, (300 - 50) / 2));
    EXPECT_EQ(m_view.ImageToView(QPoint(0, 0)), QPoint(150, 125));

    m_view.SetImageExtent(QSize(1000, 50));
    EXPECT_TRUE(m_view.HasHorizontalScroll());
    EXPECT_FALSE(m_view.HasVerticalScroll());
    const int nClientH = m_view.viewport()->height();
    EXPECT_EQ(m_view.ViewportOrigin(), QPoint(0, (nClientH - 50) / 2));
    m_view.ScrollToPosition(QPoint(120, 40));
    EXPECT_EQ(m_view.ViewportOrigin(), QPoint(-120, (nClientH - 50) / 2));
    EXPECT_EQ(m_view.ScrollPosition().y(), 0);
}

TEST_F(ZoomViewTest, PointConversionFollowsScaleAndScroll) {
    m_view.SetImageExtent(QSize(1000, 1000));
    m_view.SetScale(2.0);
    m_view.ScrollToPosition(QPoint(100, 60));
    // Naive reference: view = image * 2 - scroll; image = floor((view + scroll) / 2).
    for (const QPoint pt : {QPoint(0, 0), QPoint(7, 3), QPoint(499, 999), QPoint(-3, -1)}) {
        EXPECT_EQ(m_view.ImageToView(pt), QPoint(pt.x() * 2 - 100, pt.y() * 2 - 60));
    }
    for (int x = -5; x < 5; ++x) {
        const int nImageX = static_cast<int>(std::floor((x + 100) / 2.0));
        EXPECT_EQ(m_view.ViewToImage(QPoint(x, 0)).x(), nImageX) << x;
    }
    // Left of and above the image gives negative positions.
    m_view.ScrollToPosition(QPoint(0, 0));
    EXPECT_EQ(m_view.ViewToImage(QPoint(-1, -3)), QPoint(-1, -2));
    EXPECT_EQ(m_view.ViewToImage(QRect(10, 20, 30, 40)), QRect(5, 10, 15, 20));
    EXPECT_EQ(m_view.ImageToView(QRect(5, 10, 15, 20)), QRect(10, 20, 30, 40));

    // At 25 % four window pixels are one image pixel; small images are centred.
    m_view.SetImageExtent(QSize(400, 400));
    m_view.SetScale(0.25);
    const QPoint origin = m_view.ViewportOrigin();
    EXPECT_EQ(m_view.ViewToImage(origin + QPoint(3, 4)), QPoint(12, 16));
    EXPECT_EQ(m_view.ImageToView(QPoint(400, 400)), origin + QPoint(100, 100));
}

TEST_F(ZoomViewTest, PresetsStepThroughTheFiveLevelsAndEnableAtTheEnds) {
    m_view.SetImageExtent(QSize(100, 100));
    const double expected[] = {2.0, 4.0, 4.0};
    for (double d : expected) {
        m_view.ZoomPresetUp();
        EXPECT_DOUBLE_EQ(m_view.Scale(), d);
    }
    EXPECT_FALSE(m_view.CanZoomPresetUp());
    EXPECT_TRUE(m_view.CanZoomPresetDown());
    EXPECT_TRUE(m_view.IsPresetChecked(400));
    for (double d : {2.0, 1.0, 0.5, 0.25, 0.25}) {
        m_view.ZoomPresetDown();
        EXPECT_DOUBLE_EQ(m_view.Scale(), d);
    }
    EXPECT_FALSE(m_view.CanZoomPresetDown());
    EXPECT_TRUE(m_view.IsPresetChecked(25));
    EXPECT_FALSE(m_view.IsPresetChecked(50));

    // A factor between levels steps to the next level that way.
    m_view.SetScale(0.3);
    EXPECT_FALSE(m_view.IsPresetChecked(25) || m_view.IsPresetChecked(50));
    m_view.ZoomPresetUp();
    EXPECT_DOUBLE_EQ(m_view.Scale(), 0.5);
    m_view.SetScale(0.3);
    m_view.ZoomPresetDown();
    EXPECT_DOUBLE_EQ(m_view.Scale(), 0.25);
}

TEST_F(ZoomViewTest, PageActionsUseTheViewsPageStep) {
    m_view.SetImageExtent(QSize(3000, 3000));
    QScrollBar* pV = m_view.verticalScrollBar();
    pV->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(pV->value(), 300);
    pV->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(pV->value(), 330);
    pV->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(pV->value(), 30);
    pV->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(pV->value(), 0);
}
