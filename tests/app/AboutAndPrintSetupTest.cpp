// SPDX-License-Identifier: MIT
// About and Print Setup from the menus of a running program: the About box tells the build's
// version; Print Setup is there, and the paper and layout chosen in it are what File Print uses.
#include "AppFixture.h"

#include "dialogs/AboutDlg.h"
#include "dialogs/LayoutPage.h"
#include "dialogs/PrintLayoutDlg.h"
#include "dialogs/PrintSetupEx.h"
#include "framework/CommandIds.h"
#include "views/ImagePrinter.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;

QPushButton* Button(QWidget& dialog, const QString& strText) {
    for (QPushButton* p : dialog.findChildren<QPushButton*>())
        if (p->text() == strText)
            return p;
    return nullptr;
}

// Runs work on the next modal dialog of class T, once.
template <class T> void OnNextModal(std::function<void(T&)> work) {
    auto* pTimer = new QTimer(qApp);
    pTimer->setInterval(10);
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, work] {
        auto* pDialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (pDialog == nullptr || !pDialog->isVisible())
            return;
        pTimer->stop();
        pTimer->deleteLater();
        work(*pDialog);
    });
    pTimer->start();
}

int PdfPageCount(const QString& strPath) {
    QProcess proc;
    proc.start(QStringLiteral("pdfinfo"), {strPath});
    proc.waitForFinished(60000);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
            .match(QString::fromLocal8Bit(proc.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

TEST_F(AppTest, AboutTellsTheBuildsVersion) {
    Start(kShownOptions);
    QString strVersionLine;
    OnNextModal<CAboutDlg>([&](CAboutDlg& dialog) {
        for (QLabel* pLabel : dialog.findChildren<QLabel*>())
            if (pLabel->text().startsWith(QStringLiteral("Quorvi Studio Version")))
                strVersionLine = pLabel->text();
        Button(dialog, QStringLiteral("&OK"))->click();
    });
    EXPECT_TRUE(Run(ID_APP_ABOUT));
    EXPECT_EQ(strVersionLine, QStringLiteral("Quorvi Studio Version " QUORVI_EXPECTED_VERSION));
}

TEST_F(AppTest, PrintSetupChoicesAreWhatFilePrintUses) {
    Start(kShownOptions | platform::options::kPrintWithoutDialog);
    auto* pPrinter = dynamic_cast<CImagePrinter*>(Frame().ImagePrinter());
    ASSERT_NE(pPrinter, nullptr);
    const QString strPdf = QString::fromStdString((Root() / "set-up.pdf").string());
    pPrinter->Printer().setOutputFormat(QPrinter::PdfFormat);
    pPrinter->Printer().setOutputFileName(strPdf);
    pPrinter->Printer().setPageSize(QPageSize(QPageSize::A4));
    // Five times as wide as high: a typed side sets the other in that proportion.
    ASSERT_NE(Open(WritePng(100, 20)), nullptr);
    ASSERT_TRUE(IsEnabled(ID_FILE_PRINT_SETUP));

    // Landscape A4, and in the layout 50 x 10 cm over 27.3 cm of printable width: two pages.
    OnNextModal<CPrintSetupEx>([](CPrintSetupEx& setup) {
        QTest::mouseClick(setup.LandscapeButton(), Qt::LeftButton);
        OnNextModal<CPrintLayoutDlg>([](CPrintLayoutDlg& layout) {
            layout.Page()->Method()->setCurrentIndex(CLayoutPage::MethodHeightAndWidth);
            QLineEdit* pX = layout.Page()->Edit(CLayoutPage::FieldX);
            pX->selectAll();
            QTest::keyClicks(pX, QStringLiteral("50"));
            QLineEdit* pY = layout.Page()->Edit(CLayoutPage::FieldY);
            pY->selectAll();
            QTest::keyClicks(pY, QStringLiteral("10"));
            Button(layout, QStringLiteral("&OK"))->click();
        });
        Button(setup, QStringLiteral("&Layout"))->click();
        Button(setup, QStringLiteral("OK"))->click();
    });
    EXPECT_TRUE(Run(ID_FILE_PRINT_SETUP));
    EXPECT_EQ(m_pApp->Settings().m_dwPrintMode, 3u);
    EXPECT_EQ(m_pApp->Settings().m_sizePrint.cx, 5000);
    EXPECT_EQ(pPrinter->Printer().pageLayout().orientation(), QPageLayout::Landscape);

    EXPECT_TRUE(Run(ID_FILE_PRINT));
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_EQ(PdfPageCount(strPdf), 2);
    EXPECT_EQ(m_pApp->Settings().m_sizePage, (platform::SizeValue{2970, 2100}));
}
