// SPDX-License-Identifier: MIT
// The program's menus: images, banner strip and typed letters.
#include "framework/ui/IconMenu.h"

#include "framework/CommandIds.h"
#include "framework/ResourceData.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/CommandIcons.h"
#include "framework/ui/MenuStyle.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

namespace {

const char* const kIconMenuProperty = "quorviIconMenu";

// The letter a label underlines: the character after its first single '&' ("&&" is a plain
// ampersand), or a null character.
QChar Mnemonic(const QString& strText) {
    const qsizetype nTab = strText.indexOf(QLatin1Char('\t'));
    const QString strLabel = nTab < 0 ? strText : strText.left(nTab);
    for (qsizetype i = 0; i + 1 < strLabel.size(); ++i) {
        if (strLabel[i] != QLatin1Char('&'))
            continue;
        if (strLabel[i + 1] != QLatin1Char('&'))
            return strLabel[i + 1];
        ++i;
    }
    return {};
}

// The banner's font: a serif whose line is as high as the strip is wide.
QFont BannerFont(int nStripWidth) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(nStripWidth);
    const int nLine = QFontMetrics(font).height();
    if (nLine > nStripWidth)
        font.setPixelSize(std::max(1, nStripWidth * nStripWidth / nLine));
    return font;
}

} // namespace

CIconMenu::CIconMenu(const QString& strTitle, QWidget* pParent)
    : QMenu(strTitle, pParent), m_pStyle(new CMenuStyle) {
    m_pStyle->setParent(this);
    setStyle(m_pStyle);
    setProperty(kIconMenuProperty, true);
}

CIconMenu::~CIconMenu() {
    // The style must outlive the widget's last use of it: the menu lets go of it first.
    setStyle(nullptr);
}

bool CIconMenu::IsIconMenu(const QMenu* pMenu) {
    return pMenu != nullptr && pMenu->property(kIconMenuProperty).toBool();
}

bool CIconMenu::LoadToolbar(unsigned nToolBarId) {
    const std::vector<unsigned>* pButtons = CResourceData::Get().ToolBar(nToolBarId);
    if (pButtons == nullptr)
        return false;
    for (unsigned nID : *pButtons) {
        if (nID != 0 && CCommandIcons::Get().Has(nID))
            ModifyItemImage(nID, CCommandIcons::Get().Icon(nID));
    }
    return true;
}

bool CIconMenu::LoadToolbars(std::initializer_list<unsigned> toolBarIds) {
    bool bAll = true;
    for (unsigned nID : toolBarIds)
        bAll = LoadToolbar(nID) && bAll;
    return bAll;
}

bool CIconMenu::ModifyItemImage(unsigned nID, const QIcon& image) {
    bool bFound = false;
    for (QAction* pAction : actions()) {
        if (auto* pSub = qobject_cast<CIconMenu*>(pAction->menu()))
            bFound = pSub->ModifyItemImage(nID, image) || bFound;
        else if (!pAction->isSeparator() && CCommandDispatcher::ActionId(pAction) == nID) {
            pAction->setIcon(image);
            bFound = true;
        }
    }
    return bFound;
}

void CIconMenu::ConvertToOwnerDraw() {
    for (QAction* pAction : actions()) {
        if (pAction->isSeparator() || CCommandDispatcher::ActionId(pAction) != ID_TRAY_BANNER)
            continue;
        // The strip is painted by the menu; the item stays (hidden) so it can still be the
        // menu's default item.
        m_pBanner = pAction;
        pAction->setVisible(false);
        setContentsMargins(kBannerWidth, 0, 0, 0);
        return;
    }
}

QAction* CIconMenu::HandleMenuChar(QChar ch) const {
    const QChar upper = ch.toUpper();
    for (QAction* pAction : actions()) {
        if (pAction->isSeparator() || !pAction->isVisible() || !pAction->isEnabled())
            continue;
        const QChar mnemonic = Mnemonic(pAction->text());
        if (!mnemonic.isNull() && mnemonic.toUpper() == upper)
            return pAction;
    }
    return nullptr;
}

QRect CIconMenu::BannerRect() const {
    if (m_pBanner.isNull())
        return {};
    const int nFrame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    return {nFrame, nFrame, kBannerWidth, height() - 2 * nFrame};
}

QString CIconMenu::BannerText() const {
    return m_pBanner.isNull() ? QString() : m_pBanner->text();
}

void CIconMenu::keyPressEvent(QKeyEvent* pEvent) {
    // Qt's own handling only cycles through items that share a letter; here the first one runs,
    // as the same letter does in the tray menu's "&Control" and "&Circle".
    const QString strText = pEvent->text();
    const bool bPlain = (pEvent->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) == 0;
    if (bPlain && strText.size() == 1 && strText[0].isPrint() && !strText[0].isSpace()) {
        if (QAction* pAction = HandleMenuChar(strText[0])) {
            setActiveAction(pAction);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QMenu::keyPressEvent(&enter);
            return;
        }
    }
    QMenu::keyPressEvent(pEvent);
}

void CIconMenu::paintEvent(QPaintEvent* pEvent) {
    QMenu::paintEvent(pEvent);
    if (m_pBanner.isNull())
        return;
    QPainter painter(this);
    PaintBanner(painter);
}

void CIconMenu::PaintBanner(QPainter& painter) const {
    const QRect rc = BannerRect();
    // The active caption's colours: the highlight, lighter at the top.
    const QColor caption = palette().color(QPalette::Active, QPalette::Highlight);
    QLinearGradient gradient(rc.topLeft(), rc.bottomLeft());
    gradient.setColorAt(0, caption.lighter(150));
    gradient.setColorAt(1, caption);
    painter.fillRect(rc, gradient);
    // Read from the bottom upwards: a black shadow, the text one pixel up and left of it (in the
    // turned painter x runs up the screen and y to the right).
    painter.save();
    painter.setFont(BannerFont(rc.width()));
    painter.translate(rc.left(), rc.bottom() + 1);
    painter.rotate(-90);
    const QRect rcText(6, 0, rc.height() - 6, rc.width());
    const int nFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setPen(Qt::black);
    painter.drawText(rcText, nFlags, BannerText());
    painter.setPen(palette().color(QPalette::Active, QPalette::HighlightedText));
    painter.drawText(rcText.translated(1, -1), nFlags, BannerText());
    painter.restore();
}
