// SPDX-License-Identifier: MIT
// The options dialog as a user meets it through Capture > Options: its pages, which of them
// store on OK, the checks that keep it open, Escape and Cancel, the hotkey page's rules and
// defaults, every control shown whole at any scale.
#include "AppFixture.h"
#include "OptionsDriving.h"

#include "dialogs/options/HotkeyOptionsPage.h"
#include "dialogs/options/OptionsCaption.h"
#include "dialogs/options/OptionsSubDlg.h"
#include "dialogs/options/OptionsTreeDlg.h"
#include "framework/CommandIds.h"
#include "framework/RecentFileList.h"
#include "platform/AppSettings.h"
#include "platform/StartupEntry.h"
#include "support/ModalDriver.h"
#include "support/QtWait.h"
#include "support/StandInOpener.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace apptest;
using testsupport::ButtonWithText;
using testsupport::FieldLabelled;
using testsupport::WhenModalShows;
namespace opt = platform::options;

TEST_F(AppTest, OptionsOkStoresOnlyWhatTheShownPagesEdited) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    const platform::CAppSettings before = settings;
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Options"));
        EXPECT_EQ(dlg.CurrentPage(), 0);
        EXPECT_EQ(dlg.Caption()->Title(), QStringLiteral("General Options"));
        EXPECT_EQ(dlg.Caption()->BannerText(), QStringLiteral("Quorvi Studio"));
        for (int i = 1; i < dlg.PageCount(); ++i)
            EXPECT_FALSE(dlg.Page(i)->IsCreated()) << "page " << i << " made before it shows";
        auto* pPopup =
            ButtonWithText<QCheckBox>(dlg, QStringLiteral("&Popup main window after capture"));
        ASSERT_NE(pPopup, nullptr);
        EXPECT_TRUE(pPopup->isChecked());
        pPopup->click();
        TypeInto(FieldLabelled<QLineEdit>(dlg, QStringLiteral("Start capture after 300 + ")),
                 QStringLiteral("250"));
        auto* pAction = FieldLabelled<QComboBox>(dlg, QStringLiteral("Default Capture Action:"));
        ASSERT_NE(pAction, nullptr);
        QStringList actions;
        for (int i = 0; i < pAction->count(); ++i)
            actions << pAction->itemText(i);
        EXPECT_EQ(actions, QStringList({"Active Window", "Active Window Client", "Desktop", "Menu",
                                        "Control,Button,Child Window", "Rectangle", "Square",
                                        "Circle", "Ellipse", "Polygon", "Single Window"}));
        EXPECT_EQ(pAction->currentText(), QStringLiteral("Desktop"));
        pAction->setCurrentIndex(pAction->findText(QStringLiteral("Rectangle")));
        TypeInto(FieldLabelled<QLineEdit>(dlg, QStringLiteral("Undo history takes at most")),
                 QStringLiteral("512"));
        // Nothing reaches the settings before OK; a capture meanwhile advances the counter.
        EXPECT_EQ(settings.m_dwOptionsA, before.m_dwOptionsA);
        settings.m_dwAutoSaveStartNO = 7;
        ClickOk(dlg);
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    EXPECT_EQ(settings.m_dwOptionsA, before.m_dwOptionsA & ~opt::kShowAfterCapture);
    EXPECT_EQ(settings.m_wCaptureDelayTime, 250);
    EXPECT_EQ(settings.m_dwDefaultCaptureAction, std::uint32_t(platform::Rectangle));
    EXPECT_EQ(settings.m_dwUndoMemoryMB, 512u);
    EXPECT_EQ(settings.m_dwAutoSaveStartNO, 7u) << "the capture's counter was put back";
    EXPECT_EQ(settings.Hotkeys(), before.Hotkeys());
    EXPECT_EQ(settings.m_crViewBackground, before.m_crViewBackground);
    EXPECT_EQ(settings.m_strAutoSaveLeadFileName, before.m_strAutoSaveLeadFileName);
    EXPECT_EQ(settings.StoredJpegOptions(), before.StoredJpegOptions());
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(AppTest, OptionsTreeShowsPagesWithTheirCaptionAndKeepsWhatWasTyped) {
    Start(kShownOptions);
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        QStringList items;
        for (int i = 0; i < dlg.Tree()->topLevelItemCount(); ++i)
            items << dlg.Tree()->topLevelItem(i)->text(0);
        EXPECT_EQ(items, QStringList({"General Options", "Hotkey Options", "Capture Output",
                                      "Color Select", "Image Save Options"}));
        auto* pDelay = FieldLabelled<QLineEdit>(dlg, QStringLiteral("Start capture after 300 + "));
        TypeInto(pDelay, QStringLiteral("1234"));
        ShowPage(dlg, 3);
        EXPECT_EQ(dlg.Caption()->Title(), QStringLiteral("Color Select"));
        EXPECT_TRUE(dlg.Page(3)->isVisible());
        EXPECT_FALSE(dlg.Page(0)->isVisible());
        EXPECT_FALSE(dlg.Page(1)->IsCreated());
        ShowPage(dlg, 0);
        EXPECT_EQ(pDelay->text(), QStringLiteral("1234"));
        // The bar fades from black at the left to the button face at the right.
        const QImage bar = dlg.Caption()->grab().toImage();
        EXPECT_EQ(QColor(bar.pixel(0, bar.height() - 1)), QColor(Qt::black));
        const QColor face = dlg.palette().color(QPalette::Button);
        const QColor right(bar.pixel(bar.width() - 1, bar.height() - 1));
        EXPECT_NEAR(right.red(), face.red(), 4);
        EXPECT_NEAR(right.blue(), face.blue(), 4);
        dlg.reject();
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    EXPECT_EQ(m_pApp->Settings().m_wCaptureDelayTime, 100) << "Cancel stored the typed delay";
}

TEST_F(AppTest, OptionsRangeCheckKeepsTheDialogOpenOnThePageThatFailed) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    std::filesystem::create_directories(Root() / "Output");
    bool bStillOpen = false;
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        ShowPage(dlg, 2);
        auto* pStart =
            FieldLabelled<QAbstractSpinBox>(dlg, QStringLiteral("digit counter starting with"));
        TypeInto(pStart, QStringLiteral("1000000"));
        ShowPage(dlg, 0);
        ButtonWithText<QCheckBox>(dlg, QStringLiteral("&Enable sounds after capture"))->click();
        ClickOk(dlg);
        bStillOpen = dlg.isVisible();
        EXPECT_EQ(dlg.CurrentPage(), 2) << "the failing page is shown";
        EXPECT_TRUE(pStart->hasFocus());
        EXPECT_EQ(settings.m_dwOptionsA, kShownOptions) << "a page stored before all passed";
        TypeInto(pStart, QStringLiteral("999999"));
        ClickOk(dlg);
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    EXPECT_TRUE(bStillOpen);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Please enter an integer between 1 and 999999."));
    EXPECT_EQ(settings.m_dwAutoSaveStartNO, 999999u);
    EXPECT_EQ(settings.m_dwOptionsA, kShownOptions & ~opt::kPlaySound);
}

TEST_F(AppTest, OptionsEscapeDoesNothingAndCancelStoresNothing) {
    Start(kShownOptions);
    const platform::CAppSettings before = m_pApp->Settings();
    bool bOpenAfterEscape = false;
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        ButtonWithText<QCheckBox>(dlg, QStringLiteral("&Include mouse pointer on capturing"))
            ->click();
        QWidget* pFocus = QApplication::focusWidget();
        QTest::keyClick(pFocus != nullptr ? pFocus : &dlg, Qt::Key_Escape);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        testsupport::DrainPostedEvents();
        bOpenAfterEscape = dlg.isVisible() && dlg.Page(0)->isVisible();
        ButtonWithText<QPushButton>(dlg, QStringLiteral("Cancel"))->click();
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    EXPECT_TRUE(bOpenAfterEscape);
    EXPECT_EQ(m_pApp->Settings().m_dwOptionsA, before.m_dwOptionsA);
}

TEST_F(AppTest, OptionsHelpOpensTheOptionsTopicWhicheverPageShows) {
    Start(kShownOptions);
    const testsupport::CStandInOpener opener(Root());
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        ShowPage(dlg, 4);
        dlg.HelpButton()->click();
        dlg.reject();
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    ASSERT_TRUE(WaitUntil([&] { return opener.Runs().size() == 1; }));
    const QUrl target(QString::fromStdString(opener.Runs()[0].at(0)));
    EXPECT_TRUE(target.toLocalFile().endsWith(QStringLiteral("help/dialog.htm")))
        << target.toString().toStdString();
    EXPECT_EQ(target.fragment(), QStringLiteral("generaloption"));
}

TEST_F(AppTest, OptionsGeneralPageWritesTheLoginEntryAndClearsRecentFilesAtOnce) {
    Start(kShownOptions);
    const std::filesystem::path png = WritePng(4, 3);
    ASSERT_NE(Open(png), nullptr);
    ASSERT_EQ(m_pApp->RecentFileList()->Count(), 1);
    const auto runGeneral = [&](bool bOk, const std::function<void(COptionsTreeDlg&)>& steps) {
        WhenModalShows<COptionsTreeDlg>([&, bOk](COptionsTreeDlg& dlg) {
            steps(dlg);
            bOk ? ClickOk(dlg) : dlg.reject();
        });
        EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    };
    // What the box controls is the desktop's autostart entry, read at every login.
    const QString strAutoRun = QStringLiteral("&Automatically run when I log in");
    EXPECT_FALSE(platform::QueryStartupEntry());
    runGeneral(true, [&](COptionsTreeDlg& dlg) {
        auto* pBox = ButtonWithText<QCheckBox>(dlg, strAutoRun);
        ASSERT_NE(pBox, nullptr);
        EXPECT_FALSE(pBox->isChecked());
        pBox->click();
    });
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(platform::QueryStartupEntry());
    // The reset acts at once and stays done after Cancel.
    runGeneral(false, [&](COptionsTreeDlg& dlg) {
        EXPECT_TRUE(ButtonWithText<QCheckBox>(dlg, strAutoRun)->isChecked());
        ButtonWithText<QCheckBox>(dlg, strAutoRun)->click();
        auto* pReset = ButtonWithText<QPushButton>(dlg, QStringLiteral("Reset Recent File &List"));
        pReset->click();
        EXPECT_FALSE(pReset->isEnabled());
        EXPECT_EQ(m_pApp->RecentFileList()->Count(), 0);
    });
    EXPECT_EQ(m_pApp->RecentFileList()->Count(), 0);
    EXPECT_TRUE(platform::QueryStartupEntry()) << "Cancel removed the entry";
    // An entry left as it was is not rewritten.
    { std::ofstream(platform::StartupEntryPath(), std::ios::app) << "X-Mine=1\n"; }
    runGeneral(true, [](COptionsTreeDlg&) {});
    std::ifstream entry(platform::StartupEntryPath());
    const std::string strEntry((std::istreambuf_iterator<char>(entry)), {});
    EXPECT_NE(strEntry.find("X-Mine=1"), std::string::npos);
    runGeneral(true,
               [&](COptionsTreeDlg& dlg) { ButtonWithText<QCheckBox>(dlg, strAutoRun)->click(); });
    EXPECT_FALSE(std::filesystem::exists(platform::StartupEntryPath()));
    // A folder that cannot take the entry: the user is told, the other settings are kept.
    const std::filesystem::path dir = platform::StartupEntryPath().parent_path();
    std::filesystem::remove_all(dir);
    std::ofstream(dir.string()) << "not a folder";
    EXPECT_TRUE(m_boxes.m_shown.empty());
    runGeneral(true, [&](COptionsTreeDlg& dlg) {
        ButtonWithText<QCheckBox>(dlg, strAutoRun)->click();
        TypeInto(FieldLabelled<QLineEdit>(dlg, QStringLiteral("Start capture after 300 + ")),
                 QStringLiteral("42"));
    });
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_TRUE(m_boxes.m_shown[0].strText.startsWith(
        QStringLiteral("The start at login could not be changed: ")))
        << m_boxes.m_shown[0].strText.toStdString();
    EXPECT_EQ(m_pApp->Settings().m_wCaptureDelayTime, 42);
}

// Where the session lets no program take global keys, the page says how to bind a capture in
// the desktop's own keyboard settings; elsewhere it says nothing of it.
TEST_F(AppTest, OptionsHotkeyPageTellsHowToBindAKeyWhereHotkeysCannotWork) {
    Start(kShownOptions);
    const QString strNote = QStringLiteral("bind \"quorvi-studio --capture ACTION\"");
    for (const bool bWayland : {false, true}) {
        m_pApp->SetStartupNote(bWayland ? strNote : QString());
        QString strShown;
        WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
            ShowPage(dlg, 1);
            if (auto* pNote = dlg.findChild<QLabel*>(QStringLiteral("keyBindingNote")))
                strShown = pNote->isVisible() ? pNote->text() : QString();
            dlg.reject();
        });
        EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
        EXPECT_EQ(strShown, bWayland ? strNote : QString());
    }
}

TEST_F(AppTest, OptionsHotkeyPageRefusesTwoActionsWithOneCombination) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    const platform::HotkeyTable before = settings.Hotkeys();
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        ShowPage(dlg, 1);
        auto* pPage = dynamic_cast<CHotkeyOptionsPage*>(dlg.Page(1));
        ASSERT_NE(pPage, nullptr);
        EXPECT_EQ(pPage->ReadRow(platform::Desktop), 0xA044); // Ctrl+Alt+D
        auto* pKeys = FieldLabelled<QComboBox>(dlg, QStringLiteral("Square Capture HotKey:"));
        ASSERT_NE(pKeys, nullptr);
        EXPECT_EQ(pKeys->itemText(0), QStringLiteral("None"));
        EXPECT_EQ(pKeys->itemText(1), QStringLiteral("Print Screen"));
        EXPECT_EQ(pKeys->currentText(), QStringLiteral("S"));
        // Square on Ctrl+Alt+D as well: refused, and the General page's change is not kept.
        pKeys->setCurrentIndex(pKeys->findText(QStringLiteral("D")));
        ShowPage(dlg, 0);
        ButtonWithText<QCheckBox>(dlg, QStringLiteral("&Enable sounds after capture"))->click();
        ClickOk(dlg);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.CurrentPage(), 1);
        EXPECT_EQ(settings.m_dwOptionsA, kShownOptions);
        // Rows without a key may share their modifiers; a row set to nothing reads back 0.
        pKeys->setCurrentIndex(0); // "None" with Ctrl+Alt
        auto* pPolygon = FieldLabelled<QComboBox>(dlg, QStringLiteral("Polygon Capture HotKey:"));
        pPolygon->setCurrentIndex(0);
        pPage->ShowRow(platform::Circle, 0);
        EXPECT_EQ(
            FieldLabelled<QComboBox>(dlg, QStringLiteral("Circle Capture HotKey:"))->currentIndex(),
            -1);
        ClickOk(dlg);
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("There are the same hotkey between capture actions!"));
    EXPECT_EQ(m_boxes.m_shown[0].buttons, EMsgButtons::Ok);
    platform::HotkeyTable expected = before;
    expected[platform::Square] = 0xA000;
    expected[platform::Polygon] = 0xA000;
    expected[platform::Circle] = 0;
    EXPECT_EQ(settings.Hotkeys(), expected);
    EXPECT_EQ(settings.m_dwOptionsA, kShownOptions & ~opt::kPlaySound);
}

TEST_F(AppTest, OptionsHotkeyResetShowsTheDefaultsAndStoresThemOnlyOnOk) {
    Start(kShownOptions);
    platform::CAppSettings& settings = m_pApp->Settings();
    const platform::HotkeyTable defaults = settings.Hotkeys();
    settings.Hotkeys()[platform::Desktop] = 0x8041; // Ctrl+A
    settings.Hotkeys()[20] = 0x4042;                // a spare entry stays as it is
    const auto run = [&](bool bOk) {
        WhenModalShows<COptionsTreeDlg>([&, bOk](COptionsTreeDlg& dlg) {
            ShowPage(dlg, 1);
            auto* pPage = dynamic_cast<CHotkeyOptionsPage*>(dlg.Page(1));
            EXPECT_EQ(pPage->ReadRow(platform::Desktop), 0x8041);
            ButtonWithText<QPushButton>(dlg, QStringLiteral("&Reset"))->click();
            EXPECT_EQ(pPage->ReadRow(platform::Desktop), 0xA044);
            EXPECT_EQ(settings.Hotkeys()[platform::Desktop], 0x8041);
            bOk ? ClickOk(dlg) : dlg.reject();
        });
        EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    };
    run(false);
    EXPECT_EQ(settings.Hotkeys()[platform::Desktop], 0x8041);
    run(true);
    platform::HotkeyTable expected = defaults;
    expected[20] = 0x4042;
    EXPECT_EQ(settings.Hotkeys(), expected);
}

// Reset gives the record's own defaults, not a retyped table; the note under the table names
// the rows it leaves without a key.
TEST_F(AppTest, OptionsHotkeyResetGivesTheRecordDefaultsAndTheNoteNamesThoseLeftUnset) {
    Start(kShownOptions);
    const platform::CAppSettings fresh{std::string()};
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        ShowPage(dlg, 1);
        auto* pPage = dynamic_cast<CHotkeyOptionsPage*>(dlg.Page(1));
        for (int i = 0; i < CHotkeyOptionsPage::kRowCount; ++i)
            pPage->ShowRow(i, static_cast<std::uint16_t>(0xE041 + i)); // Ctrl+Shift+Alt+A...
        ButtonWithText<QPushButton>(dlg, QStringLiteral("&Reset"))->click();
        const auto* pNote = pPage->findChild<QLabel*>(QStringLiteral("unsetDefaultsNote"));
        ASSERT_TRUE(pNote != nullptr && pNote->isVisible());
        for (QLabel* pLabel : pPage->findChildren<QLabel*>()) {
            auto* pKeys = qobject_cast<QComboBox*>(pLabel->buddy());
            if (pKeys == nullptr)
                continue;
            EXPECT_GT(pNote->y(), pKeys->geometry().bottom());
            // "Control,Child Window Capture HotKey:" is "Control" in the note.
            const QString strAction =
                pLabel->text().section(QRegularExpression(",| Capture"), 0, 0);
            EXPECT_TRUE(pKeys->currentIndex() >= 0 || pNote->text().contains(strAction))
                << strAction.toStdString();
        }
        ClickOk(dlg);
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    const platform::HotkeyTable& stored = m_pApp->Settings().Hotkeys();
    EXPECT_TRUE(std::equal(stored.begin(), stored.begin() + CHotkeyOptionsPage::kRowCount,
                           fresh.Hotkeys().begin()));
}

// Every control of every page at least as large as it asks to be (the width of a scroll area
// or a line edit means nothing), and the page list as wide as its longest entry, in a font half
// as large again as the desktop's, as where fonts scale rather than pixels. ctest runs this at
// QT_SCALE_FACTOR 1.5 and 2 as well.
TEST_F(AppTest, OptionsShowsThePageListAndEveryControlWhole) {
    Start(kShownOptions);
    const QFont desktopFont = QApplication::font();
    QFont font = desktopFont;
    font.setPointSizeF(desktopFont.pointSizeF() * 1.5);
    QApplication::setFont(font);
    WhenModalShows<COptionsTreeDlg>([&](COptionsTreeDlg& dlg) {
        const QAbstractItemView* pTree = dlg.Tree();
        EXPECT_LE(pTree->sizeHintForColumn(0), pTree->viewport()->width());
        for (int i = 0; i < dlg.PageCount(); ++i) {
            ShowPage(dlg, i);
            for (const QWidget* pWidget : dlg.findChildren<QWidget*>()) {
                if (!pWidget->isVisible() || pWidget->parentWidget()->layout() == nullptr)
                    continue;
                const QSize hint = pWidget->hasHeightForWidth()
                                       ? QSize(0, pWidget->heightForWidth(pWidget->width()))
                                       : pWidget->sizeHint();
                const bool bWidthCounts =
                    !pWidget->inherits("QAbstractScrollArea") && !pWidget->inherits("QLineEdit");
                EXPECT_TRUE(pWidget->height() >= hint.height() &&
                            (!bWidthCounts || pWidget->width() >= hint.width()))
                    << "page " << i << ": " << pWidget->metaObject()->className();
            }
        }
        dlg.reject();
    });
    EXPECT_TRUE(Run(ID_CAPTURE_OPTIONS));
    QApplication::setFont(desktopFont);
}
