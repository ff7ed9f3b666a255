// SPDX-License-Identifier: MIT
// The main window's status-bar panes.
#include "app/StatusPanes.h"

#include "framework/ui/QtServices.h"
#include "views/TavixCaptureView.h"

#include <QLabel>
#include <QStatusBar>
#include <QStringList>
#include <QTimerEvent>

#include <algorithm>

namespace {

// The widest text pane nPane (1 to 3) shows, so that the pane can grow to fit it.
QString WidestPaneText(int nPane) {
    switch (nPane) {
    case 1:
        return CTavixCaptureView::MousePositionText(QPoint(-32768, -32768));
    case 2:
        return CTavixCaptureView::ColorText(32);
    default:
        break;
    }
    return CTavixCaptureView::ImageSizeText(QSize(32768, 32768));
}

} // namespace

CStatusPanes::CStatusPanes(QStatusBar* pBar, const QString& strIdle) : m_strIdle(strIdle) {
    for (int i = 0; i < 4; ++i) {
        m_panes[i] = new QLabel(pBar);
        m_panes[i]->setObjectName(QStringLiteral("pane%1").arg(i));
        m_panes[i]->setTextFormat(Qt::PlainText);
    }
    m_panes[0]->setText(strIdle);
    m_panes[0]->setMinimumWidth(1);
    pBar->addWidget(m_panes[0], 1);
    const QFontMetrics metrics(m_panes[1]->font());
    for (int i = 1; i < 4; ++i) {
        const int nTextWidth = metrics.horizontalAdvance(WidestPaneText(i)) + 8;
        m_panes[i]->setFixedWidth(std::max(kPaneWidths[i - 1], nTextWidth));
        m_panes[i]->setFrameShape(QFrame::StyledPanel);
        m_panes[i]->setFrameShadow(QFrame::Sunken);
        pBar->addPermanentWidget(m_panes[i]);
    }
    m_pProgress = std::make_unique<CStatusBarProgress>(pBar, m_panes[0]);
    // Menu and toolbar prompts show in pane 0 and leave it as it was.
    connect(pBar, &QStatusBar::messageChanged, this, [this](const QString& strMessage) {
        m_panes[0]->setVisible(strMessage.isEmpty() && !IsProgressShowing());
    });
}

CStatusPanes::~CStatusPanes() = default;

QLabel* CStatusPanes::Pane(int nPane) const {
    return nPane >= 0 && nPane < 4 ? m_panes[nPane] : nullptr;
}

void CStatusPanes::SetPaneText(int nPane, const QString& strText) {
    if (QLabel* pPane = Pane(nPane))
        pPane->setText(strText);
}

void CStatusPanes::ShowNoImage() {
    m_panes[0]->setText(m_strIdle);
    for (int i = 1; i < 4; ++i)
        m_panes[i]->clear();
}

void CStatusPanes::FitMessagePane(const QStringList& texts) {
    const QFontMetrics metrics(m_panes[0]->font());
    int nWidest = 0;
    for (const QString& strText : texts)
        nWidest = std::max(nWidest, metrics.horizontalAdvance(strText));
    // A little for the label's margins, as for the other panes.
    m_panes[0]->setMinimumWidth(nWidest + 8);
}

QString CStatusPanes::PaneText(int nPane) const {
    QLabel* pPane = Pane(nPane);
    return pPane != nullptr ? pPane->text() : QString();
}

void CStatusPanes::SetProgress(double dFraction) {
    m_pProgress->SetProgress(dFraction);
    if (m_pProgress->IsShowing())
        m_progressEndTimer.start(0, this);
}

bool CStatusPanes::IsProgressShowing() const {
    return m_pProgress->IsShowing();
}

void CStatusPanes::timerEvent(QTimerEvent* pEvent) {
    if (pEvent->timerId() != m_progressEndTimer.timerId()) {
        QObject::timerEvent(pEvent);
        return;
    }
    m_progressEndTimer.stop();
    if (IsProgressShowing())
        m_pProgress->SetProgress(1.0);
}
