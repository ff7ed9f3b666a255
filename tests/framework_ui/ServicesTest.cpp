// SPDX-License-Identifier: MIT
// The Qt services (message boxes, wait cursor, progress in the status bar) and dialog data
// exchange with the framework's range messages.
#include "framework/ScriptedUi.h"

#include "framework/ui/DataExchange.h"
#include "framework/ui/Dialog.h"
#include "framework/ui/QtServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Presses the button with this text on the message box that opens next.
void PressOnNextBox(const QString& strButtonText, MessageBoxRequest* pSeen, QString* pSeenTitle) {
    QTimer::singleShot(0, qApp, [=] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (pBox == nullptr) {
            ADD_FAILURE() << "no message box";
            return;
        }
        pSeen->strText = pBox->text();
        *pSeenTitle = pBox->windowTitle();
        pSeen->icon = pBox->icon() == QMessageBox::Question ? EMsgIcon::Question : EMsgIcon::None;
        for (QAbstractButton* pButton : pBox->buttons()) {
            if (pButton->text().remove(u'&') == strButtonText) {
                pButton->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << strButtonText.toStdString();
        pBox->reject();
    });
}

class CRangeDialog : public CDialog {
public:
    explicit CRangeDialog(const CUiServices& ui) : CDialog(ui) {
        auto* pLayout = new QVBoxLayout(this);
        m_pQuality = new QLineEdit(this);
        m_pName = new QLineEdit(this);
        m_pCheck = new QCheckBox(this);
        pLayout->addWidget(m_pQuality);
        pLayout->addWidget(m_pName);
        pLayout->addWidget(m_pCheck);
    }
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Text(dx, m_pQuality, m_nQuality);
        DDV_MinMaxInt(dx, m_nQuality, 0, 100);
        DDX_Text(dx, m_pName, m_strName);
        DDV_MaxChars(dx, m_strName, 12);
        DDX_Check(dx, m_pCheck, m_nCheck);
    }

    QLineEdit* m_pQuality;
    QLineEdit* m_pName;
    QCheckBox* m_pCheck;
    int m_nQuality = 95;
    QString m_strName = QStringLiteral("Qorv");
    int m_nCheck = 1;
};

} // namespace

TEST(QtMessageBoxes, ShowsTheTextAndReturnsTheButtonPressed) {
    CWinApp app;
    CQtMessageBoxes boxes;
    app.Ui().SetMessageBoxes(&boxes);
    MessageBoxRequest seen;
    QString strTitle;
    PressOnNextBox(QStringLiteral("No"), &seen, &strTitle);
    EXPECT_EQ(
        app.Ui().AppMessageBox(QStringLiteral("Save changes to a.png?"), EMsgButtons::YesNoCancel),
        EMsgResult::No);
    EXPECT_EQ(seen.strText, QStringLiteral("Save changes to a.png?"));
    EXPECT_EQ(strTitle, QStringLiteral("Quorvi Studio"));
    EXPECT_EQ(seen.icon, EMsgIcon::Question);

    PressOnNextBox(QStringLiteral("Cancel"), &seen, &strTitle);
    EXPECT_EQ(app.Ui().AppMessageBox(QStringLiteral("x"), EMsgButtons::YesNoCancel),
              EMsgResult::Cancel);
    PressOnNextBox(QStringLiteral("OK"), &seen, &strTitle);
    EXPECT_EQ(app.Ui().AppMessageBox(QStringLiteral("y")), EMsgResult::Ok);
    app.Ui().SetMessageBoxes(nullptr);
}

TEST(QtMessageBoxes, AShortMessageLeavesRoomForTheWholeCaption) {
    // A failed File Open says only "Unknown file type.": the box was so narrow that the window
    // manager cut its caption to "Quor... tudio".
    CWinApp app;
    CQtMessageBoxes boxes;
    app.Ui().SetMessageBoxes(&boxes);
    int nWidth = 0;
    QString strCaption;
    QTimer::singleShot(0, qApp, [&] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(pBox, nullptr);
        nWidth = pBox->width();
        strCaption = pBox->windowTitle();
        pBox->accept();
    });
    app.Ui().AppMessageBox(QStringLiteral("Unknown file type."), EMsgButtons::Ok, EMsgIcon::None);
    app.Ui().SetMessageBoxes(nullptr);
    ASSERT_EQ(strCaption, QStringLiteral("Quorvi Studio"));
    // The caption, bold as title bars draw it, beside the window icon and three buttons, each
    // about a line high and square, and a line's width of spacing between them.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    EXPECT_GE(nWidth, metrics.horizontalAdvance(strCaption) + 5 * metrics.height());
}

TEST(QtWaitCursor, NestsAndRestores) {
    CQtWaitCursor cursor;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    cursor.Begin();
    cursor.Begin();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    cursor.End();
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    cursor.End();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(StatusBarProgress, ABarInPlaceOfTheMessageUntilDone) {
    QMainWindow window;
    auto* pMessage = new QLabel(QStringLiteral("Ready"));
    window.statusBar()->addWidget(pMessage, 1);
    window.show();
    CLabelStatusText status(pMessage);
    status.SetMessageText(QStringLiteral("Last command : Invert the image"));
    EXPECT_EQ(pMessage->text(), QStringLiteral("Last command : Invert the image"));

    CStatusBarProgress progress(window.statusBar(), pMessage);
    progress.SetProgress(0.0);
    EXPECT_TRUE(progress.IsShowing());
    EXPECT_FALSE(pMessage->isVisible());
    progress.SetProgress(0.567);
    auto* pBar = window.statusBar()->findChild<QProgressBar*>();
    ASSERT_NE(pBar, nullptr);
    EXPECT_EQ(pBar->value(), 56);
    EXPECT_EQ(pBar->maximum(), 100);
    progress.SetProgress(1.0);
    EXPECT_FALSE(progress.IsShowing());
    EXPECT_TRUE(pMessage->isVisible());
    // A second run shows the same bar again.
    progress.SetProgress(0.25);
    EXPECT_EQ(pBar->value(), 25);
    EXPECT_TRUE(progress.IsShowing());
    progress.SetProgress(1.5);
    EXPECT_FALSE(progress.IsShowing());
}

TEST(DataExchange, ControlsFillFromMembersWhenTheDialogShows) {
    const CUiServices ui;
    CRangeDialog dialog(ui);
    dialog.show();
    EXPECT_EQ(dialog.m_pQuality->text(), QStringLiteral("95"));
    EXPECT_EQ(dialog.m_pName->text(), QStringLiteral("Qorv"));
    EXPECT_EQ(dialog.m_pName->maxLength(), 12);
    EXPECT_TRUE(dialog.m_pCheck->isChecked());
}

TEST(DataExchange, OutOfRangeValuesKeepTheDialogOpenWithTheFrameworkMessage) {
    CScriptedApp app;
    CRangeDialog dialog(app.Ui());
    dialog.show();

    dialog.m_pQuality->setText(QStringLiteral("101"));
    app.m_boxes.m_answers.push_back(EMsgResult::Ok);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(app.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(app.m_boxes.m_shown[0].strText,
              QStringLiteral("Please enter an integer between 0 and 100."));
    EXPECT_EQ(app.m_boxes.m_shown[0].icon, EMsgIcon::Exclamation);
    EXPECT_EQ(dialog.focusWidget(), dialog.m_pQuality);

    dialog.m_pQuality->setText(QStringLiteral("8O"));
    app.m_boxes.m_answers.push_back(EMsgResult::Ok);
    dialog.accept();
    EXPECT_EQ(app.m_boxes.m_shown.back().strText, QStringLiteral("Please enter an integer."));
    EXPECT_EQ(dialog.m_nQuality, 101);

    dialog.m_pQuality->setText(QStringLiteral(" 80 "));
    dialog.m_pCheck->setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_nQuality, 80);
    EXPECT_EQ(dialog.m_nCheck, 0);
    EXPECT_EQ(app.m_boxes.m_shown.size(), 2u);
}
