// SPDX-License-Identifier: MIT
// The Qt implementations of the user-interface services.
#include "framework/ui/QtServices.h"

#include "image/Trace.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    EMsgResult result;
};

std::vector<ButtonAnswer> ButtonsOf(EMsgButtons buttons) {
    switch (buttons) {
    case EMsgButtons::Ok:
        return {{QMessageBox::Ok, EMsgResult::Ok}};
    case EMsgButtons::OkCancel:
        return {{QMessageBox::Ok, EMsgResult::Ok}, {QMessageBox::Cancel, EMsgResult::Cancel}};
    case EMsgButtons::YesNo:
        return {{QMessageBox::Yes, EMsgResult::Yes}, {QMessageBox::No, EMsgResult::No}};
    case EMsgButtons::YesNoCancel:
        break;
    }
    return {{QMessageBox::Yes, EMsgResult::Yes},
            {QMessageBox::No, EMsgResult::No},
            {QMessageBox::Cancel, EMsgResult::Cancel}};
}

QMessageBox::Icon IconOf(EMsgIcon icon) {
    switch (icon) {
    case EMsgIcon::Information:
        return QMessageBox::Information;
    case EMsgIcon::Question:
        return QMessageBox::Question;
    case EMsgIcon::Exclamation:
        return QMessageBox::Warning;
    case EMsgIcon::Stop:
        return QMessageBox::Critical;
    case EMsgIcon::Default:
    case EMsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A title bar holds the window's icon and its buttons (minimise, maximise, close) beside the
// caption, each about a line of the caption's font high and square, with some spacing.
constexpr int kTitleBarDecorationLines = 6;

// Qt sizes a box to its message with only a little room spare for the window manager's title
// bar, so a short message gave a box too narrow to show its own caption ("Quor... tudio"). The
// box gets at least the width of its caption in a bold title-bar font plus the decorations.
void KeepCaptionReadable(QMessageBox& box) {
    auto* pGrid = qobject_cast<QGridLayout*>(box.layout());
    if (pGrid == nullptr)
        return;
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int nWidth =
        metrics.horizontalAdvance(box.windowTitle()) + kTitleBarDecorationLines * metrics.height();
    // The layout is final once the icon and the buttons are set (each of them rebuilds it).
    pGrid->addItem(new QSpacerItem(nWidth, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                   pGrid->rowCount(), 0, 1, pGrid->columnCount());
}

} // namespace

EMsgResult CQtMessageBoxes::Show(const MessageBoxRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.strCaption);
    box.setText(request.strText);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(IconOf(ResolveIcon(request.icon, request.buttons)));
    const std::vector<ButtonAnswer> answers = ButtonsOf(request.buttons);
    QMessageBox::StandardButtons buttons;
    for (const ButtonAnswer& answer : answers)
        buttons |= answer.button;
    box.setStandardButtons(buttons);
    const auto nDefault = static_cast<size_t>(
        std::clamp(request.nDefaultButton, 0, static_cast<int>(answers.size()) - 1));
    box.setDefaultButton(answers[nDefault].button);
    // Escape and the title-bar Close give the dismiss answer.
    const EMsgResult dismiss = DismissAnswer(request.buttons);
    for (const ButtonAnswer& answer : answers) {
        if (answer.result == dismiss)
            box.setEscapeButton(answer.button);
    }
    KeepCaptionReadable(box);
    img::Trace("message box: %s\n", qPrintable(request.strText));
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonAnswer& answer : answers) {
        if (answer.button == clicked)
            return answer.result;
    }
    return dismiss;
}

void CQtWaitCursor::Begin() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtWaitCursor::End() {
    QApplication::restoreOverrideCursor();
}

void CLabelStatusText::SetMessageText(const QString& strText) {
    if (m_pLabel != nullptr)
        m_pLabel->setText(strText);
}

CStatusBarProgress::CStatusBarProgress(QStatusBar* pStatusBar, QWidget* pMessagePane)
    : m_pStatusBar(pStatusBar), m_pMessagePane(pMessagePane) {}

bool CStatusBarProgress::IsShowing() const {
    return m_pBar != nullptr && m_pBar->isVisible();
}

void CStatusBarProgress::SetProgress(double dFraction) {
    if (m_pStatusBar == nullptr)
        return;
    const int nPercent = static_cast<int>(std::trunc(std::clamp(dFraction, 0.0, 1.0) * 100.0));
    if (m_pBar == nullptr) {
        m_pBar = new QProgressBar(m_pStatusBar);
        m_pBar->setRange(0, 100);
        m_pBar->setTextVisible(false);
        m_pBar->hide();
    }
    if (nPercent >= 100) {
        m_sincePaint.invalidate();
        m_pStatusBar->removeWidget(m_pBar);
        m_pBar->hide();
        if (m_pMessagePane != nullptr)
            m_pMessagePane->show();
        m_pStatusBar->repaint();
        return;
    }
    if (!m_pBar->isVisible()) {
        if (m_pMessagePane != nullptr)
            m_pMessagePane->hide();
        m_pStatusBar->insertWidget(0, m_pBar, 1);
        m_pBar->show();
        m_sincePaint.invalidate();
    }
    // QProgressBar::setValue paints at once whenever the bar grows by a pixel; the painting
    // is left to the lines below, which the bar's own update request would otherwise repeat.
    m_pBar->setUpdatesEnabled(false);
    m_pBar->setValue(nPercent);
    m_pBar->setUpdatesEnabled(true);
    // The work keeps the event loop busy: paint now, or the bar would only show at the end;
    // but not for every report.
    if (!m_sincePaint.isValid() ||
        (nPercent != m_nPaintedPercent && m_sincePaint.elapsed() >= kPaintIntervalMs)) {
        m_pBar->repaint();
        m_nPaintedPercent = nPercent;
        m_sincePaint.start();
    }
}

namespace {

// The paths the user chose, empty when cancelled.
QStringList RunFileDialog(const FilePrompt& prompt) {
    QFileDialog dialog(QApplication::activeWindow(), prompt.strTitle);
    dialog.setAcceptMode(prompt.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (!prompt.bOpen)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode(prompt.bMultiple ? QFileDialog::ExistingFiles
                                            : QFileDialog::ExistingFile);
    if (!prompt.filters.isEmpty()) {
        dialog.setNameFilters(prompt.filters);
        dialog.selectNameFilter(prompt.filters.value(prompt.nFilterIndex, prompt.filters.front()));
    }
    if (!prompt.strDefaultExt.isEmpty())
        dialog.setDefaultSuffix(prompt.strDefaultExt);
    if (!prompt.strFileName.isEmpty())
        dialog.selectFile(prompt.strFileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

std::optional<QString> CQtFileDialogs::PromptFileName(const FilePrompt& prompt) {
    FilePrompt single = prompt;
    single.bMultiple = false;
    const QStringList files = RunFileDialog(single);
    if (files.isEmpty())
        return std::nullopt;
    return files.front();
}

QStringList CQtFileDialogs::PromptFileNames(const FilePrompt& prompt) {
    return RunFileDialog(prompt);
}
