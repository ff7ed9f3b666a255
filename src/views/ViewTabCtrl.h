// SPDX-License-Identifier: MIT
// CViewTabCtrl: the tabs of the file tab bar. The text colour says whether the tab's image is
// modified (red), selected (blue) or neither (dark grey); the tool tip names the image's file.
#pragma once

#include <QColor>
#include <QTabBar>

#include <functional>

class CViewTabCtrl : public QTabBar {
    Q_OBJECT

public:
    // Colours 0x00BBGGRR, as the settings keep them.
    static constexpr unsigned kNormal = 0xFF0000;   // selected tab of an unmodified image
    static constexpr unsigned kInactive = 0x323232; // other tabs of unmodified images
    static constexpr unsigned kModified = 0x0000FF; // any tab of a modified image

    explicit CViewTabCtrl(QWidget* pParent = nullptr);

    // Asked on every colouring and tool tip: is tab nIndex's image modified, and its tool tip.
    void SetModifiedQuery(std::function<bool(int)> fn) { m_isModified = std::move(fn); }
    void SetToolTipQuery(std::function<QString(int)> fn) { m_toolTipFor = std::move(fn); }

    // Gives every tab the colour of its state now.
    void UpdateColors();
    static QColor ColorOf(unsigned crValue);

    bool m_bShowIcons = true;
    unsigned m_crNormal = kNormal;
    unsigned m_crInactive = kInactive;
    unsigned m_crModified = kModified;

    // The widest a tab gets, in average characters of the bar's font.
    static constexpr int kMaxTabChars = 32;
    int MaxTabWidth() const;

signals:
    // A right click on tab nIndex at globalPos (nothing is sent off the tabs).
    void tabContextMenu(int nIndex, const QPoint& globalPos);

protected:
    QSize tabSizeHint(int nIndex) const override;
    bool event(QEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;

private:
    std::function<bool(int)> m_isModified;
    std::function<QString(int)> m_toolTipFor;
};
