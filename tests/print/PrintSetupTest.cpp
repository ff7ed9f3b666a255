// SPDX-License-Identifier: MIT
// "Print Setup" driven as a user would: printers and their papers, the orientation, what OK
// does to the image printer's printer, and the "&Layout" button with its own OK and Cancel.
#include "dialogs/LayoutPage.h"
#include "dialogs/PrintLayoutDlg.h"
#include "dialogs/PrintSetupEx.h"
#include "dialogs/SpinButtons.h"
#include "framework/UiServices.h"
#include "platform/AppSettings.h"
#include "support/ScriptedMessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<PrinterEntry> TwoPrinters() {
    return {
        PrinterEntry{QStringLiteral("Office"),
                     QStringLiteral("Ready"),
                     QStringLiteral("Laser 5000"),
                     QStringLiteral("Room 12"),
                     QStringLiteral("Duplex"),
                     {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3)},
                     QPageSize(QPageSize::A4)},
        PrinterEntry{QStringLiteral("Labels"),
                     QStringLiteral("Stopped"),
                     QStringLiteral("Tape"),
                     QStringLiteral("Store"),
                     QString(),
                     {QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal)},
                     QPageSize(QPageSize::Legal)},
    };
}

QPushButton* Button(QWidget& dialog, const QString& strText) {
    for (QPushButton* p : dialog.findChildren<QPushButton*>())
        if (p->text() == strText)
            return p;
    return nullptr;
}

// Runs work on the next modal dialog (the layout dialog the "&Layout" button opens).
void OnNextModal(const std::function<void(CPrintLayoutDlg&)>& work) {
    auto* pTimer = new QTimer(qApp);
    pTimer->setInterval(10);
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, work] {
        auto* pDialog = qobject_cast<CPrintLayoutDlg*>(QApplication::activeModalWidget());
        if (pDialog == nullptr)
            return;
        pTimer->stop();
        pTimer->deleteLater();
        work(*pDialog);
    });
    pTimer->start();
}

class PrintSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_ui.SetMessageBoxes(&m_boxes);
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setPageSize(QPageSize(QPageSize::A4));
        m_printer.setPageOrientation(QPageLayout::Portrait);
    }

    testsupport::CScriptedMessageBoxes m_boxes;
    CUiServices m_ui;
    QPrinter m_printer;
    platform::CAppSettings m_settings{"/usr/bin/quorvi-studio"};
};

} // namespace

TEST_F(PrintSetupTest, PrintersShowTheirDetailsAndPapers) {
    CPrintSetupEx dialog(m_ui, m_printer, m_settings, TwoPrinters(), nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print Setup"));
    EXPECT_EQ(dialog.PrinterList()->currentText(), QStringLiteral("Office"));
    EXPECT_EQ(dialog.PaperList()->count(), 2);
    EXPECT_EQ(dialog.PaperList()->currentText(), QPageSize(QPageSize::A4).name());
    EXPECT_TRUE(dialog.PortraitButton()->isChecked());
    QStringList texts;
    for (QLabel* pLabel : dialog.findChildren<QLabel*>())
        texts << pLabel->text();
    for (const char* psz : {"Ready", "Laser 5000", "Room 12", "Duplex"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(psz))) << psz;
    // Another printer: its papers, its default paper selected.
    dialog.PrinterList()->setCurrentIndex(1);
    EXPECT_EQ(dialog.PaperList()->count(), 2);
    EXPECT_EQ(dialog.PaperList()->currentText(), QPageSize(QPageSize::Legal).name());
    texts.clear();
    for (QLabel* pLabel : dialog.findChildren<QLabel*>())
        texts << pLabel->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Stopped")));
    EXPECT_EQ(dialog.SelectedPageSize(), QSize(2159, 3556));
}

TEST_F(PrintSetupTest, OkSetsPaperAndOrientationCancelLeavesThem) {
    const std::vector<PrinterEntry> none = CPrintSetupEx::SystemPrinters();
    ASSERT_FALSE(none.empty());
    {
        CPrintSetupEx dialog(m_ui, m_printer, m_settings, none, nullptr);
        dialog.show();
        dialog.PaperList()->setCurrentText(QPageSize(QPageSize::A5).name());
        QTest::mouseClick(dialog.LandscapeButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.SelectedPageSize(), QSize(2100, 1480));
        Button(dialog, QStringLiteral("Cancel"))->click();
    }
    EXPECT_TRUE(m_printer.pageLayout().pageSize().isEquivalentTo(QPageSize(QPageSize::A4)));
    EXPECT_EQ(m_printer.pageLayout().orientation(), QPageLayout::Portrait);
    {
        CPrintSetupEx dialog(m_ui, m_printer, m_settings, none, nullptr);
        dialog.show();
        dialog.PaperList()->setCurrentText(QPageSize(QPageSize::A5).name());
        QTest::mouseClick(dialog.LandscapeButton(), Qt::LeftButton);
        Button(dialog, QStringLiteral("OK"))->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(m_printer.pageLayout().pageSize().isEquivalentTo(QPageSize(QPageSize::A5)));
    EXPECT_EQ(m_printer.pageLayout().orientation(), QPageLayout::Landscape);
    // The next setup starts from what was chosen.
    CPrintSetupEx again(m_ui, m_printer, m_settings, none, nullptr);
    again.show();
    EXPECT_EQ(again.PaperList()->currentText(), QPageSize(QPageSize::A5).name());
    EXPECT_TRUE(again.LandscapeButton()->isChecked());
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(PrintSetupTest, LayoutButtonEditsTheSettingsOnOkOnly) {
    CPrintSetupEx dialog(m_ui, m_printer, m_settings, CPrintSetupEx::SystemPrinters(), nullptr);
    dialog.show();
    QTest::mouseClick(dialog.LandscapeButton(), Qt::LeftButton);
    // Cancel in the layout dialog: the settings stay as they were.
    int nSeenWidth = 0;
    OnNextModal([&](CPrintLayoutDlg& layout) {
        nSeenWidth = layout.Record().nPageWidth;
        QTest::keyClicks(layout.Page()->Edit(CLayoutPage::FieldLeft), QStringLiteral("7"));
        Button(layout, QStringLiteral("&Cancel"))->click();
    });
    Button(dialog, QStringLiteral("&Layout"))->click();
    EXPECT_EQ(nSeenWidth, 2970) << "the layout dialog gets the selected paper, turned";
    EXPECT_EQ(m_settings.m_rcMargins.left, 120);
    // OK: the edited copy becomes the settings at once, whatever the setup dialog ends with.
    OnNextModal([&](CPrintLayoutDlg& layout) {
        QLineEdit* pLeft = layout.Page()->Edit(CLayoutPage::FieldLeft);
        pLeft->selectAll();
        QTest::keyClicks(pLeft, QStringLiteral("2.5"));
        layout.Page()->Method()->setCurrentIndex(CLayoutPage::MethodHeightAndWidth);
        Button(layout, QStringLiteral("&OK"))->click();
    });
    Button(dialog, QStringLiteral("&Layout"))->click();
    Button(dialog, QStringLiteral("Cancel"))->click();
    EXPECT_EQ(m_settings.m_rcMargins.left, 250);
    EXPECT_EQ(m_settings.m_dwPrintMode, 3u);
    EXPECT_EQ(m_settings.m_sizePage, (platform::SizeValue{2970, 2100}));
    EXPECT_EQ(m_settings.m_sizePrint, (platform::SizeValue{2970, 2100}));
    // The printer itself is not changed by a cancelled setup.
    EXPECT_EQ(m_printer.pageLayout().orientation(), QPageLayout::Portrait);
}
