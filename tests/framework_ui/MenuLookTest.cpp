// SPDX-License-Identifier: MIT
// The menus as the user sees them, read from the pixels of open menus in a light and a dark
// palette (ctest runs this suite at 2x device pixels too). With QUORVI_MENU_SHOTS=DIR set the
// grabs are also written there as PNG files to look at.
#include "UiFixture.h"

#include "framework/ResourceData.h"
#include "framework/ui/IconMenu.h"
#include "framework/ui/MenuBuilder.h"
#include "support/QtWait.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

enum class ELook { Light, Dark };

QPalette DarkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    palette.setColor(QPalette::Base, QColor(35, 35, 35));
    palette.setColor(QPalette::Text, QColor(230, 230, 230));
    palette.setColor(QPalette::Button, QColor(53, 53, 53));
    palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
    return palette;
}

// A grab of an open menu, read in logical coordinates.
struct MenuShot {
    QImage image;
    qreal dRatio = 1;
    QColor At(int x, int y) const {
        return image.pixelColor(static_cast<int>(x * dRatio), static_cast<int>(y * dRatio));
    }
    // Every device pixel of the logical rectangle.
    template <class F> int Count(const QRect& rc, F&& pred) const {
        int nCount = 0;
        const QRect rcDevice(
            static_cast<int>(rc.left() * dRatio), static_cast<int>(rc.top() * dRatio),
            static_cast<int>(rc.width() * dRatio), static_cast<int>(rc.height() * dRatio));
        for (int y = rcDevice.top(); y <= rcDevice.bottom(); ++y)
            for (int x = rcDevice.left(); x <= rcDevice.right(); ++x)
                nCount += pred(image.pixelColor(x, y)) ? 1 : 0;
        return nCount;
    }
};

bool Saturated(const QColor& color) {
    return color.hsvSaturation() > 90 && color.value() > 60;
}
int Lightness(const QColor& color) {
    return color.lightness();
}

} // namespace

class MenuLook : public UiTest, public ::testing::WithParamInterface<ELook> {
protected:
    void SetUp() override {
        m_savedPalette = QApplication::palette();
        m_strSavedStyle = QApplication::style()->name();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        if (GetParam() == ELook::Dark)
            QApplication::setPalette(DarkPalette());
        UiTest::SetUp();
    }
    void TearDown() override {
        UiTest::TearDown();
        QApplication::setStyle(QStyleFactory::create(m_strSavedStyle));
        QApplication::setPalette(m_savedPalette);
    }

    // Opens the menu as a user does (its update pass runs) and grabs it.
    MenuShot Shoot(QMenu* pMenu, const char* pszName) {
        pMenu->popup(QPoint(40, 40));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(pMenu));
        MenuShot shot;
        shot.image = pMenu->grab().toImage().convertToFormat(QImage::Format_RGB32);
        shot.dRatio = shot.image.devicePixelRatio();
        const QString strDir = qEnvironmentVariable("QUORVI_MENU_SHOTS");
        if (!strDir.isEmpty()) {
            QDir().mkpath(strDir);
            shot.image.save(QStringLiteral("%1/%2-%3-%4x.png")
                                .arg(strDir, QLatin1String(pszName),
                                     GetParam() == ELook::Dark ? QStringLiteral("dark")
                                                               : QStringLiteral("light"))
                                .arg(shot.dRatio));
        }
        return shot;
    }
    QColor MenuColor() const { return QApplication::palette().color(QPalette::Window); }
    // The image box of an item: the 16 x 15 image with its 2-pixel frame at the item's left.
    static QRect ImageBox(const QMenu& menu, QAction* pAction) {
        const QRect rc = menu.actionGeometry(pAction);
        return {rc.left() + 2, rc.top() + (rc.height() - 19) / 2 + 2, 16, 15};
    }
    // The label's area: from the end of the image box to the middle of the item.
    static QRect LabelArea(const QMenu& menu, QAction* pAction) {
        const QRect rc = menu.actionGeometry(pAction);
        return {rc.left() + 24, rc.top() + 2, rc.width() / 2 - 24, rc.height() - 4};
    }

    QPalette m_savedPalette;
    QString m_strSavedStyle;
};

INSTANTIATE_TEST_SUITE_P(Looks, MenuLook, ::testing::Values(ELook::Light, ELook::Dark),
                         [](const auto& info) {
                             return info.param == ELook::Dark ? "Dark" : "Light";
                         });

TEST_P(MenuLook, ItemsShowTheirToolbarImagesAndSeparatorsAreHalfALine) {
    QMenu* pFile = TopMenu("&File");
    ASSERT_NE(pFile, nullptr);
    ASSERT_TRUE(CIconMenu::IsIconMenu(pFile));
    const MenuShot shot = Shoot(pFile, "file");
    QAction* pOpen = FindAction(pFile, ID_FILE_OPEN);              // a button of toolbar 128
    QAction* pExplore = FindAction(pFile, ID_FILE_EXPLORE_OUTPUT); // of toolbar 234
    QAction* pSetup = FindAction(pFile, ID_FILE_PRINT_SETUP);      // on no toolbar
    EXPECT_GT(shot.Count(ImageBox(*pFile, pOpen), Saturated), 20);
    // Disabled here (the test frame has no handler), so engraved, but drawn.
    EXPECT_GT(
        shot.Count(ImageBox(*pFile, pExplore), [&](const QColor& c) { return c != MenuColor(); }),
        20);
    EXPECT_EQ(
        shot.Count(ImageBox(*pFile, pSetup), [&](const QColor& c) { return c != MenuColor(); }), 0);

    const int nLine = pFile->actionGeometry(pOpen).height();
    EXPECT_GE(nLine, 19);
    for (QAction* pAction : pFile->actions()) {
        if (pAction->isSeparator())
            EXPECT_NEAR(pFile->actionGeometry(pAction).height() * 2, nLine, 1);
    }
    // Grayscale has an icon of its own but no toolbar button: no image in the context menu.
    std::unique_ptr<QMenu> pView(m_pMain->MenuBuilder().BuildPopup(IDR_VIEW_MENU, 0, nullptr));
    EXPECT_TRUE(FindAction(pView.get(), ID_IMAGE_GRAYSCALE)->icon().isNull());
    EXPECT_FALSE(FindAction(pView.get(), ID_IMAGE_INVERT)->icon().isNull());
}

TEST_P(MenuLook, DisabledItemsAreEmbossedImageAndText) {
    std::unique_ptr<QMenu> pEdit(m_pMain->MenuBuilder().BuildPopup(IDR_IMAGETYPE, 1, nullptr));
    ASSERT_NE(pEdit, nullptr);
    const MenuShot shot = Shoot(pEdit.get(), "edit-disabled");
    // Without an image nothing takes Undo; its blue arrow is drawn in the engraving's two greys.
    QAction* pUndo = FindAction(pEdit.get(), ID_EDIT_UNDO);
    ASSERT_FALSE(pUndo->isEnabled());
    const QRect rcImage = ImageBox(*pEdit, pUndo);
    EXPECT_EQ(shot.Count(rcImage, Saturated), 0);
    const int nFace = Lightness(MenuColor());
    const int nLighter =
        shot.Count(rcImage, [&](const QColor& c) { return Lightness(c) > nFace + 8; });
    const int nDarker =
        shot.Count(rcImage, [&](const QColor& c) { return Lightness(c) < nFace - 8; });
    EXPECT_GT(nLighter, 4);
    EXPECT_GT(nDarker, 4);
    // The text too has both sides of the menu colour; an enabled item's has one.
    const QRect rcText = LabelArea(*pEdit, pUndo);
    EXPECT_GT(shot.Count(rcText, [&](const QColor& c) { return Lightness(c) > nFace + 8; }), 4);
    EXPECT_GT(shot.Count(rcText, [&](const QColor& c) { return Lightness(c) < nFace - 8; }), 4);
    QAction* pPasteAsNew = FindAction(pEdit.get(), ID_EDIT_PASTE_AS_NEW);
    ASSERT_TRUE(pPasteAsNew->isEnabled());
    EXPECT_GT(shot.Count(ImageBox(*pEdit, pPasteAsNew), Saturated), 20);
    const QRect rcEnabled = LabelArea(*pEdit, pPasteAsNew);
    const bool bDark = GetParam() == ELook::Dark;
    EXPECT_EQ(shot.Count(rcEnabled,
                         [&](const QColor& c) {
                             return bDark ? Lightness(c) < nFace - 8 : Lightness(c) > nFace + 8;
                         }),
              0);
}

TEST_P(MenuLook, TheTrayMenuHasACaptionColouredBannerDownItsWholeLeftEdge) {
    std::unique_ptr<QMenu> pTray(m_pMain->MenuBuilder().BuildPopup(IDR_TRAY_MENU, 0, nullptr));
    auto* pMenu = qobject_cast<CIconMenu*>(pTray.get());
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->BannerText(), QStringLiteral("quorvi.example.org"));
    const MenuShot shot = Shoot(pMenu, "tray");
    const QRect rcBanner = pMenu->BannerRect();
    EXPECT_EQ(rcBanner.width(), 21);
    // Top to bottom inside the menu's frame, the gradient darkening downwards.
    EXPECT_EQ(rcBanner.top() + rcBanner.height(), pMenu->height() - rcBanner.top());
    const QColor caption = QApplication::palette().color(QPalette::Highlight);
    auto isCaption = [&](const QColor& c) {
        return c.blue() > c.red() + 40 && std::abs(c.hsvHue() - caption.hsvHue()) < 12;
    };
    const int x = rcBanner.left() + 1;
    EXPECT_TRUE(isCaption(shot.At(x, rcBanner.top())));
    EXPECT_TRUE(isCaption(shot.At(x, rcBanner.bottom())));
    EXPECT_GT(Lightness(shot.At(x, rcBanner.top())), Lightness(shot.At(x, rcBanner.bottom())));
    // The address runs up the strip in the caption text colour.
    EXPECT_GT(shot.Count(rcBanner, [](const QColor& c) { return Lightness(c) > 235; }), 30);
    // No item reaches into the strip, and right of it is the menu.
    for (QAction* pAction : pMenu->actions()) {
        if (pAction->isVisible())
            EXPECT_GE(pMenu->actionGeometry(pAction).left(), rcBanner.right() + 1);
    }
    EXPECT_EQ(shot.At(rcBanner.right() + 1, rcBanner.bottom() - 2), MenuColor());
    // The item stays the menu's (hidden) first action, for the tray's default command.
    EXPECT_EQ(CCommandDispatcher::ActionId(pMenu->actions().front()), unsigned(ID_TRAY_BANNER));
    EXPECT_FALSE(pMenu->actions().front()->isVisible());

    // However few items a menu has, the strip fills it.
    CIconMenu small(QStringLiteral("Small"));
    m_pMain->MenuBuilder().FillMenu(
        &small,
        {MenuItemData{MenuItemData::EKind::Command, ID_TRAY_BANNER, QStringLiteral("x.org")},
         MenuItemData{MenuItemData::EKind::Command, ID_APP_EXIT, QStringLiteral("E&xit")}});
    small.ConvertToOwnerDraw();
    const MenuShot smallShot = Shoot(&small, "tray-small");
    const QRect rcSmall = small.BannerRect();
    EXPECT_EQ(rcSmall.height(), small.height() - 2 * rcSmall.top());
    EXPECT_TRUE(isCaption(smallShot.At(rcSmall.left() + 1, rcSmall.bottom())));
}

TEST_P(MenuLook, CheckedItemsShowACheckMarkAndAcceleratorsAlignRight) {
    QMenu* pView = TopMenu("&View");
    QAction* pToolBar = FindAction(pView, ID_VIEW_TOOLBAR);
    auto ink = [&](const QColor& c) {
        return std::abs(Lightness(c) - Lightness(MenuColor())) > 60;
    };
    const MenuShot shown = Shoot(pView, "view-checked");
    EXPECT_TRUE(pToolBar->isChecked());
    EXPECT_GT(shown.Count(ImageBox(*pView, pToolBar), ink), 8);
    pView->hide();
    m_pMain->ToolBar()->hide();
    const MenuShot hidden = Shoot(pView, "view-unchecked");
    EXPECT_EQ(hidden.Count(ImageBox(*pView, pToolBar), ink), 0);
    pView->hide();

    // "Ctrl+O" ends 16 pixels before the item's right edge, whatever the label's length.
    QMenu* pFile = TopMenu("&File");
    const MenuShot file = Shoot(pFile, "file-accelerator");
    const QRect rcOpen = pFile->actionGeometry(FindAction(pFile, ID_FILE_OPEN));
    int nRightmost = -1;
    for (int x = rcOpen.left(); x <= rcOpen.right(); ++x) {
        if (file.Count(QRect(x, rcOpen.top() + 2, 1, rcOpen.height() - 4), ink) > 0)
            nRightmost = x;
    }
    EXPECT_LE(nRightmost, rcOpen.right() - 16);
    EXPECT_GE(nRightmost, rcOpen.right() - 16 - 4);
}

TEST_F(UiTest, ATypedLetterRunsTheFirstItemThatUnderlinesIt) {
    CIconMenu menu(QStringLiteral("Letters"));
    using K = MenuItemData::EKind;
    // Nobody takes 4242: its item is disabled and the letter passes it by.
    m_pMain->MenuBuilder().FillMenu(
        &menu, {MenuItemData{K::Command, 4242, QStringLiteral("&Mute")},
                MenuItemData{K::Command, kMainCommand, QStringLiteral("&Main")},
                MenuItemData{K::Command, ID_EDIT_PASTE_AS_NEW, QStringLiteral("&Move\tCtrl+W")},
                MenuItemData{K::Command, ID_EDIT_PASTE_AS_NEW, QStringLiteral("R&&D &Paste")}});
    m_pMain->Dispatcher().WatchMenu(&menu);
    for (const auto& [key, strExpected] :
         {std::pair{Qt::Key_M, "main"}, std::pair{Qt::Key_P, "paste as new"}}) {
        g_uiLog.clear();
        menu.popup(QPoint(10, 10));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        ASSERT_FALSE(menu.actions()[0]->isEnabled());
        QTest::keyClick(&menu, key);
        EXPECT_EQ(g_uiLog, std::vector<std::string>{strExpected});
        EXPECT_TRUE(testsupport::WaitUntilPumping([&] { return !menu.isVisible(); }));
    }
    // "&&" is a plain ampersand, not an underlined "&D".
    EXPECT_EQ(menu.HandleMenuChar(QLatin1Char('d')), nullptr);
}

TEST_P(MenuLook, TheHighlightLeavesAnImageItsOwnBox) {
    QMenu* pFile = TopMenu("&File");
    QAction* pOpen = FindAction(pFile, ID_FILE_OPEN);
    QAction* pExit = FindAction(pFile, ID_APP_EXIT);
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    for (QAction* pAction : {pOpen, pExit}) {
        pFile->popup(QPoint(40, 40));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(pFile));
        pFile->setActiveAction(pAction);
        const MenuShot shot =
            Shoot(pFile, pAction == pOpen ? "file-open-selected" : "file-exit-selected");
        const QRect rc = pFile->actionGeometry(pAction);
        const int yMiddle = rc.top() + rc.height() / 2;
        // Right of the box the row is highlighted, as is the whole row of an item without one.
        EXPECT_EQ(shot.At(rc.left() + 16 + 6, rc.top() + 1), highlight);
        EXPECT_EQ(shot.At(rc.right() - 1, yMiddle), highlight);
        if (pAction == pOpen)
            EXPECT_EQ(shot.Count(QRect(rc.left(), rc.top(), 16 + 5, rc.height()),
                                 [&](const QColor& c) { return c == highlight; }),
                      0);
        else
            EXPECT_EQ(shot.At(rc.left() + 1, yMiddle), highlight);
        pFile->hide();
    }
}
