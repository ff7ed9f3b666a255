// SPDX-License-Identifier: MIT
// Hotkeys changed on the options dialog's hotkey page of the running program: the new
// combination captures at once, the old one is given back to the X server, the menus show the
// new one, and a combination another program holds is shown as held.
#include "EngineFixture.h"

#include "app/CaptureShell.h"
#include "app/MainFrame.h"
#include "app/TavixCaptureApp.h"
#include "dialogs/options/HotkeyOptionsPage.h"
#include "dialogs/options/OptionsTreeDlg.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "hook/TavixHook.h"
#include "support/ModalDriver.h"
#include "support/QtWait.h"
#include "support/TempXdgTest.h"
#include "support/XClient.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

#include <X11/keysym.h>

namespace opt = platform::options;
using testsupport::FieldLabelled;
using testsupport::WhenModalShows;

namespace {

constexpr std::uint16_t kCtrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

class OptionsHotkeys : public testsupport::CTempXdgTest {
protected:
    void SetUp() override {
        CTempXdgTest::SetUp();
        REQUIRE_X_SERVER_PROGRAMS();
        ASSERT_TRUE(EngineTestServer());
        m_pKeys = std::make_unique<testsupport::CXClient>(EngineTestServer()->DisplayName());
    }
    void TearDown() override {
        m_pApp.reset();
        m_pKeys.reset();
        CTempXdgTest::TearDown();
    }

    void Start() {
        platform::CAppSettings stored;
        stored.m_dwOptionsA = opt::kShowAfterCapture | opt::kCopyToClipboard;
        ASSERT_TRUE(stored.Save(platform::HiveLocations::FromEnvironment()));
        m_pApp = std::make_unique<CTavixCaptureApp>();
        m_pApp->SetHiveLocations(platform::HiveLocations::FromEnvironment());
        ASSERT_TRUE(m_pApp->InitInstance({}));
        m_pApp->Ui().SetMessageBoxes(&m_boxes);
        m_pApp->Settings().m_wCaptureDelayTime = 0;
        ASSERT_NE(m_pApp->CaptureShell(), nullptr);
        ASSERT_TRUE(PumpEvents([&] { return m_pApp->MainFrame()->isVisible(); }));
    }

    // Capture > Options on the hotkey page; steps run there before OK or Cancel.
    void RunHotkeyPage(bool bOk, const std::function<void(COptionsTreeDlg&)>& steps) {
        WhenModalShows<COptionsTreeDlg>([&, bOk](COptionsTreeDlg& dlg) {
            dlg.Tree()->setCurrentItem(dlg.Tree()->topLevelItem(1));
            ASSERT_TRUE(PumpEvents([&] { return dlg.CurrentPage() == 1; }));
            steps(dlg);
            if (bOk)
                testsupport::ButtonWithText<QPushButton>(dlg, QStringLiteral("OK"))->click();
            else
                dlg.reject();
        });
        ASSERT_TRUE(m_pApp->MainFrame()->Dispatcher().Execute(ID_CAPTURE_OPTIONS));
    }

    // The Capture menu's text for a command, as the menu shows it when opened.
    QString CaptureMenuText(unsigned nID) {
        for (QAction* pTop : m_pApp->MainFrame()->menuBar()->actions()) {
            if (pTop->text() != QStringLiteral("&Capture") || pTop->menu() == nullptr)
                continue;
            for (QAction* pItem : pTop->menu()->actions())
                if (CCommandDispatcher::ActionId(pItem) == nID)
                    return pItem->text();
        }
        return {};
    }

    std::unique_ptr<CTavixCaptureApp> m_pApp;
    std::unique_ptr<testsupport::CXClient> m_pKeys;
    testsupport::CScriptedMessageBoxes m_boxes;
};

} // namespace

TEST_F(OptionsHotkeys, ADesktopHotkeySetOnThePageCapturesAtOnceAndFreesTheOldOne) {
    Start();
    ASSERT_TRUE(CaptureMenuText(ID_CAPTURE_DESKTOP).endsWith(QStringLiteral("\tCtrl+Alt+D")));
    ASSERT_FALSE(m_pKeys->GrabKey(XK_d, kCtrlAlt)) << "the program holds Ctrl+Alt+D";
    RunHotkeyPage(true, [](COptionsTreeDlg& dlg) {
        auto* pKeys = FieldLabelled<QComboBox>(dlg, QStringLiteral("Desktop Capture HotKey:"));
        ASSERT_NE(pKeys, nullptr);
        EXPECT_EQ(pKeys->currentText(), QStringLiteral("D"));
        pKeys->setCurrentIndex(pKeys->findText(QStringLiteral("X")));
    });
    EXPECT_TRUE(CaptureMenuText(ID_CAPTURE_DESKTOP).endsWith(QStringLiteral("\tCtrl+Alt+X")))
        << CaptureMenuText(ID_CAPTURE_DESKTOP).toStdString();
    int nCaptured = 0;
    CCaptureEngine& engine = m_pApp->CaptureShell()->Engine();
    QObject::connect(&engine, &CCaptureEngine::captured, &engine, [&] { ++nCaptured; });
    m_pKeys->Chord({XK_Control_L, XK_Alt_L, XK_x});
    EXPECT_TRUE(PumpEvents([&] { return nCaptured == 1; }));
    EXPECT_TRUE(PumpEvents([&] { return !m_pApp->CaptureShell()->Engine().IsBusy(); }));
    // Ctrl+Alt+D is free for other programs again.
    EXPECT_TRUE(m_pKeys->GrabKey(XK_d, kCtrlAlt));
    m_pKeys->UngrabKey(XK_d, kCtrlAlt);
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(OptionsHotkeys, ACombinationAnotherProgramHoldsShowsAsHeld) {
    ASSERT_TRUE(m_pKeys->GrabKey(XK_r, kCtrlAlt)); // the Rectangle hotkey
    Start();
    RunHotkeyPage(true, [](COptionsTreeDlg& dlg) {
        auto* pPage = dynamic_cast<CHotkeyOptionsPage*>(dlg.Page(1));
        ASSERT_NE(pPage, nullptr);
        EXPECT_EQ(pPage->RowNote(platform::Rectangle),
                  QStringLiteral("Ctrl+Alt+R is held by another program"));
        EXPECT_TRUE(pPage->RowNote(platform::Desktop).isEmpty());
        // Another combination on the row: nothing is known of it before OK.
        auto* pKeys = FieldLabelled<QComboBox>(dlg, QStringLiteral("Rectangle Capture HotKey:"));
        pKeys->setCurrentIndex(pKeys->findText(QStringLiteral("T")));
        EXPECT_TRUE(pPage->RowNote(platform::Rectangle).isEmpty());
        pKeys->setCurrentIndex(pKeys->findText(QStringLiteral("R")));
        EXPECT_FALSE(pPage->RowNote(platform::Rectangle).isEmpty());
        // Chosen anew for another action, the held combination is reported on OK.
        pKeys->setCurrentIndex(pKeys->findText(QStringLiteral("T")));
        auto* pDesktop = FieldLabelled<QComboBox>(dlg, QStringLiteral("Desktop Capture HotKey:"));
        pDesktop->setCurrentIndex(pDesktop->findText(QStringLiteral("R")));
    });
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("These hotkeys do not work:\nCtrl+Alt+R is held by another program"));
    EXPECT_EQ(m_pApp->CaptureShell()->HotkeyStatus(platform::Desktop), QRZ_HOTKEY_TAKEN);
    EXPECT_EQ(m_pApp->CaptureShell()->HotkeyStatus(platform::Rectangle), QRZ_HOTKEY_ACTIVE);
    m_pKeys->UngrabKey(XK_r, kCtrlAlt);
}
