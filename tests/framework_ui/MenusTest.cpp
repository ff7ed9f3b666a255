// SPDX-License-Identifier: MIT
// Menus, toolbar and accelerators built from the data: ids, texts, order, icons and keys.
#include "UiFixture.h"

#include "framework/ResourceData.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandIcons.h"
#include "framework/ui/IconMenu.h"
#include "framework/ui/MenuBuilder.h"
#include "support/QtWait.h"

#include <QPointer>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

std::vector<unsigned> ActionIds(const QList<QAction*>& actions) {
    std::vector<unsigned> ids;
    for (QAction* pAction : actions)
        ids.push_back(pAction->isSeparator() ? 0 : CCommandDispatcher::ActionId(pAction));
    return ids;
}

} // namespace

TEST_F(UiTest, MenuBarShowsTheDefaultMenuWithItsItems) {
    EXPECT_EQ(MenuTitles(),
              (std::vector<std::string>{"&File", "&Edit", "&Capture", "&View", "&Help"}));
    QMenu* pFile = TopMenu("&File");
    ASSERT_NE(pFile, nullptr);
    // New (57600) heads the File menu, so that "Create New Image" is there without a document.
    EXPECT_EQ(ActionIds(pFile->actions()),
              (std::vector<unsigned>{57600, 57601, 0, 57606, 0, 32850, 0, 57616, 0, 57665}));
    QAction* pOpen = FindAction(pFile, ID_FILE_OPEN);
    EXPECT_EQ(pOpen->text(), QStringLiteral("&Open...\tCtrl+O"));
    EXPECT_EQ(pOpen->statusTip(), QStringLiteral("Open an existing image"));
    EXPECT_FALSE(pOpen->icon().isNull());
    // The placeholder of the recent files starts grayed.
    EXPECT_FALSE(FindAction(pFile, ID_FILE_MRU_FILE1)->isEnabled());
}

TEST_F(UiTest, ContextMenusHaveTheirSubmenus) {
    std::unique_ptr<QMenu> pMenu(m_pMain->MenuBuilder().BuildPopup(IDR_VIEW_MENU, 0, nullptr));
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->title(), QStringLiteral("TavixView"));
    QMenu* pRotate = nullptr;
    for (QAction* pAction : pMenu->actions()) {
        if (pAction->menu() != nullptr && pAction->text() == QStringLiteral("Rotate"))
            pRotate = pAction->menu();
    }
    ASSERT_NE(pRotate, nullptr);
    EXPECT_EQ(ActionIds(pRotate->actions()), (std::vector<unsigned>{32796, 32797, 32795}));
    EXPECT_EQ(pRotate->actions()[0]->text(), QStringLiteral("90° &Clockwise"));
    EXPECT_EQ(m_pMain->MenuBuilder().BuildPopup(IDR_VIEW_MENU, 1, nullptr), nullptr);
    EXPECT_EQ(m_pMain->MenuBuilder().BuildPopup(4242, 0, nullptr), nullptr);
}

TEST_F(UiTest, ToolbarButtonsAreInOrderWithIconsAndTips) {
    QToolBar* pBar = m_pMain->ToolBar();
    ASSERT_NE(pBar, nullptr);
    EXPECT_EQ(ActionIds(pBar->actions()),
              (std::vector<unsigned>{57601, 57603, 57607, 32857, 0,     57635, 57634, 57637, 57643,
                                     57644, 32808, 0,     32822, 32824, 1232,  0,     32792, 1101,
                                     1100,  32788, 1168,  32791, 32790, 1104,  1152,  0,     32839,
                                     32840, 0,     32803, 32804, 32800, 32794, 32796, 32797}));
    for (QAction* pAction : pBar->actions()) {
        if (pAction->isSeparator())
            continue;
        const unsigned nID = CCommandDispatcher::ActionId(pAction);
        EXPECT_FALSE(pAction->icon().isNull()) << nID;
        EXPECT_EQ(pAction->toolTip(), CStringTable::Get().ToolTip(nID)) << nID;
        EXPECT_EQ(pAction->statusTip(), CStringTable::Get().Prompt(nID)) << nID;
    }
    EXPECT_EQ(pBar->actions()[26]->toolTip(), QStringLiteral("Zoom In"));
}

TEST_F(UiTest, ToolbarFollowsTheUpdateHandlers) {
    QToolBar* pBar = m_pMain->ToolBar();
    QAction* pUndo = pBar->actions()[8];
    QAction* pOpen = pBar->actions()[0];
    ASSERT_EQ(CCommandDispatcher::ActionId(pUndo), ID_EDIT_UNDO);
    m_pMain->Dispatcher().UpdateWatched();
    // Nobody handles Undo without a document; Open has the application's handler.
    EXPECT_FALSE(pUndo->isEnabled());
    EXPECT_TRUE(pOpen->isEnabled());

    auto* pDoc = static_cast<CUiTextDoc*>(m_app.DocManager().OnFileNew());
    g_uiLog.clear();
    m_pMain->Dispatcher().UpdateWatched();
    EXPECT_FALSE(pUndo->isEnabled());
    pDoc->m_bCanUndo = true;
    m_pMain->Dispatcher().UpdateWatched();
    EXPECT_TRUE(pUndo->isEnabled());
    pUndo->trigger();
    EXPECT_EQ(g_uiLog, std::vector<std::string>{"undo"});
}

TEST_F(UiTest, AcceleratorsCarryTheTableKeys) {
    QList<QKeySequence> copyKeys;
    for (QAction* pAction : m_pMain->actions()) {
        if (CCommandDispatcher::ActionId(pAction) == ID_EDIT_COPY)
            copyKeys = pAction->shortcuts();
    }
    EXPECT_EQ(copyKeys, (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_C),
                                             QKeySequence(Qt::CTRL | Qt::Key_Insert)}));
}

TEST_F(UiTest, AnAcceleratorRunsItsCommandEvenOverAnImageWindow) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pMain));
    m_pMain->activateWindow();
    QTest::keyClick(m_pMain, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(g_uiLog, std::vector<std::string>{"paste as new"});

    // With an image window focused the program's Ctrl+W still wins over the window's own menu.
    m_app.DocManager().OnFileNew();
    g_uiLog.clear();
    QWidget* pView = dynamic_cast<QWidget*>(m_pMain->GetActiveView());
    ASSERT_NE(pView, nullptr);
    pView->setFocus();
    QTest::keyClick(pView, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(g_uiLog, (std::vector<std::string>{"paste as new"}));
}

TEST(CommandIcons, EveryToolbarAndMenuImageCommandHasAClearIcon) {
    for (unsigned nToolBar : {128u, 131u, 234u}) {
        const std::vector<unsigned>* pButtons = CResourceData::Get().ToolBar(nToolBar);
        ASSERT_NE(pButtons, nullptr);
        for (unsigned nID : *pButtons) {
            if (nID == 0)
                continue;
            ASSERT_TRUE(CCommandIcons::Get().Has(nID)) << nID;
            const QIcon icon = CCommandIcons::Get().Icon(nID);
            const QImage small = icon.pixmap(QSize(16, 16), 1.0).toImage();
            const QImage large = icon.pixmap(QSize(16, 16), 2.0).toImage();
            EXPECT_EQ(small.size(), QSize(16, 16)) << nID;
            EXPECT_EQ(large.size(), QSize(32, 32)) << nID;
            // Drawn, not empty: a fair part of the 16 px square is covered.
            int nCovered = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    nCovered += qAlpha(small.pixel(x, y)) > 128 ? 1 : 0;
            EXPECT_GT(nCovered, 20) << nID;
        }
    }
    for (const char* pszName : {"IDR_MAINFRAME", "IDI_TRAY", "IDR_IMAGE_FRAME_ICON"})
        EXPECT_FALSE(CCommandIcons::FromSvg(
                         QStringLiteral(":/quorvi/icons/%1.svg").arg(QLatin1String(pszName)))
                         .isNull())
            << pszName;
}

TEST(CommandIcons, HotAndDisabledLooksDeriveFromTheNormalOne) {
    QImage normal(4, 1, QImage::Format_ARGB32_Premultiplied);
    normal.fill(Qt::transparent);
    normal.setPixel(0, 0, qRgba(200, 40, 40, 255));
    normal.setPixel(1, 0, qRgba(20, 20, 180, 255));
    const QImage hot = CCommandIcons::HotImage(normal).convertToFormat(QImage::Format_ARGB32);
    const QImage disabled =
        CCommandIcons::DisabledImage(normal).convertToFormat(QImage::Format_ARGB32);
    for (int x = 0; x < 2; ++x) {
        const QRgb n = normal.pixel(x, 0), h = hot.pixel(x, 0), d = disabled.pixel(x, 0);
        // Hot: brighter in every channel, same coverage.
        EXPECT_GE(qRed(h), qRed(n));
        EXPECT_GE(qGreen(h), qGreen(n));
        EXPECT_GT(qBlue(h) + qRed(h) + qGreen(h), qBlue(n) + qRed(n) + qGreen(n));
        EXPECT_EQ(qAlpha(h), 255);
        // Disabled: grey and see-through.
        EXPECT_NEAR(qRed(d), qGreen(d), 2);
        EXPECT_NEAR(qGreen(d), qBlue(d), 2);
        EXPECT_LT(qAlpha(d), 200);
        EXPECT_GT(qAlpha(d), 60);
    }
    // Where nothing is drawn nothing appears.
    EXPECT_EQ(qAlpha(hot.pixel(3, 0)), 0);
    EXPECT_EQ(qAlpha(disabled.pixel(3, 0)), 0);
}

TEST_F(UiTest, AContextMenuOpensAtThePointerRunsItsCommandAndGoesAway) {
    QPointer<QMenu> pMenu =
        m_pMain->MenuBuilder().TrackPopup(IDR_VIEW_MENU, QPoint(120, 90), m_pMain);
    ASSERT_FALSE(pMenu.isNull());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pMenu));
    EXPECT_TRUE(CIconMenu::IsIconMenu(pMenu));
    EXPECT_EQ(pMenu->title(), QStringLiteral("TavixView"));
    EXPECT_EQ(pMenu->pos(), QPoint(120, 90));
    // Opening ran the update pass: nobody takes Crop here, Paste As New Image has its handler.
    EXPECT_FALSE(FindAction(pMenu, ID_IMAGE_CROP)->isEnabled());
    QTest::keyClick(pMenu, Qt::Key_W);
    EXPECT_EQ(g_uiLog, std::vector<std::string>{"paste as new"});
    EXPECT_TRUE(testsupport::WaitUntilPumping([&] { return pMenu.isNull(); }));
    EXPECT_EQ(m_pMain->MenuBuilder().TrackPopup(4242, QPoint(0, 0), m_pMain), nullptr);
}
