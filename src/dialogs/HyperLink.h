// SPDX-License-Identifier: MIT
// CHyperLink: a text in a dialog that opens its target (a web address or a "mailto:" address)
// when clicked or when Space is pressed: coloured and underlined, with a hand cursor and the
// target as its tooltip.
#pragma once

#include <QColor>
#include <QLabel>

#include <cstdint>

class CShellOpener;

class CHyperLink : public QLabel {
    Q_OBJECT

public:
    enum EStyle : std::uint32_t {
        LinkUnderline = 0x01,     // the text is underlined
        LinkHoverColour = 0x02,   // the hover colour while the pointer is over the link
        LinkAutoSize = 0x04,      // the control is as large as its text
        LinkOpenOnDown = 0x08,    // the target opens on button-down instead of button-up
        LinkFocusOnClick = 0x10,  // a click gives the link the keyboard focus
        LinkNoHandCursor = 0x20,  // the ordinary pointer over the link
        LinkNoFocusColour = 0x40, // the focus colour is never used
    };
    static constexpr std::uint32_t kDefaultStyle = 0x15;

    static const QColor kLinkColour;    // RGB(0, 0, 255)
    static const QColor kVisitedColour; // RGB(128, 0, 128)
    static const QColor kFocusColour;   // RGB(0, 128, 128)
    static const QColor kHoverColour;   // RGB(255, 0, 0)

    // A link showing strText; with no target assigned it opens that text. Targets open through
    // opener, which must outlive the link.
    CHyperLink(CShellOpener& opener, const QString& strText, QWidget* pParent = nullptr);

    // The target; an empty text shows the target.
    void AssignUrl(const QString& strTarget);
    QString Url() const { return m_strTarget; }
    // The link's font: a copy of font, underlined by the style.
    void AssignFont(const QFont& font);
    // False when a bit is both cleared and set; otherwise the style changes and, with bRedraw,
    // the font, the size and the colour follow.
    bool ChangeStyle(std::uint32_t dwClear, std::uint32_t dwSet, bool bRedraw = true);
    std::uint32_t Style() const noexcept { return m_dwStyle; }
    // Opens the target; on success the link shows as visited.
    void Navigate();

    bool IsVisited() const noexcept { return m_bVisited; }
    bool IsHovering() const noexcept { return m_bHover; }
    // The colour the text is drawn in now.
    QColor CurrentColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void enterEvent(QEnterEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void SetHover(bool bHover);
    // Sizes the control to its text when the style asks for it.
    void FitToText();
    void ApplyCursor();

    CShellOpener& m_opener;
    bool m_bFocus = false;
    bool m_bHover = false;
    bool m_bVisited = false;
    std::uint32_t m_dwStyle = kDefaultStyle;
    QString m_strTarget;
};
