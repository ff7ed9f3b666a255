// SPDX-License-Identifier: MIT
// The arrow pair of a number field.
#include "dialogs/SpinButtons.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* pParent) {
    auto* pButton = new QToolButton(pParent);
    pButton->setArrowType(arrow);
    pButton->setAutoRepeat(true);
    pButton->setFocusPolicy(Qt::NoFocus);
    pButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    pButton->setFixedWidth(16);
    return pButton;
}

} // namespace

CSpinButtons::CSpinButtons(QLineEdit* pBuddy, QWidget* pParent)
    : QWidget(pParent), m_pBuddy(pBuddy), m_pUp(ArrowButton(Qt::UpArrow, this)),
      m_pDown(ArrowButton(Qt::DownArrow, this)) {
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pUp);
    pLayout->addWidget(m_pDown);
    setFixedHeight(pBuddy->sizeHint().height());
    connect(m_pUp, &QToolButton::clicked, this, [this] { emit stepped(+1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { emit stepped(-1); });
    pBuddy->installEventFilter(this);
}

bool CSpinButtons::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == m_pBuddy && pEvent->type() == QEvent::KeyPress && isEnabled()) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_Up || nKey == Qt::Key_Down) {
            emit stepped(nKey == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}
