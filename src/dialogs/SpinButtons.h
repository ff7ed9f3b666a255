// SPDX-License-Identifier: MIT
// CSpinButtons: an up and a down arrow beside a number field that carry no number themselves:
// each click (held: repeated) or Up/Down key in the field asks its owner to step the value.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

class CSpinButtons : public QWidget {
    Q_OBJECT

public:
    // Up and Down pressed in buddy step too.
    explicit CSpinButtons(QLineEdit* pBuddy, QWidget* pParent = nullptr);

    QToolButton* UpButton() const noexcept { return m_pUp; }
    QToolButton* DownButton() const noexcept { return m_pDown; }

signals:
    // +1 for up, -1 for down.
    void stepped(int nDirection);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QLineEdit* m_pBuddy;
    QToolButton* m_pUp;
    QToolButton* m_pDown;
};
