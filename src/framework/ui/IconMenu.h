// SPDX-License-Identifier: MIT
// CIconMenu: every menu of the program. Its items are drawn by CMenuStyle with the images of the
// toolbar buttons of their commands; the item of command 666 becomes a vertical banner strip down
// the menu's left edge; a typed letter runs the first item that underlines it.
//
// A context menu is built with CMenuBuilder::TrackPopup, which makes one of these.
#pragma once

#include <QMenu>
#include <QPointer>

#include <initializer_list>

class CMenuStyle;
class QIcon;

class CIconMenu : public QMenu {
    Q_OBJECT

public:
    explicit CIconMenu(const QString& strTitle, QWidget* pParent = nullptr);
    ~CIconMenu() override;

    static bool IsIconMenu(const QMenu* pMenu);

    // Gives every item of the menu and its submenus whose command has a button on toolbar
    // nToolBarId the button's image. False for a toolbar that does not exist; the menu keeps
    // the images it had.
    bool LoadToolbar(unsigned nToolBarId);
    // LoadToolbar for each id; true when all of them loaded.
    bool LoadToolbars(std::initializer_list<unsigned> toolBarIds);
    // Sets the image of the items of command nID here and in the submenus; false when none
    // has that command.
    bool ModifyItemImage(unsigned nID, const QIcon& image);
    // Takes the items as they are now: the banner item (command 666) leaves the list of items
    // and becomes the strip. Run again after items were added.
    void ConvertToOwnerDraw();

    // The item a typed character runs: the first visible, enabled item whose label underlines
    // that letter (in any case), or null.
    QAction* HandleMenuChar(QChar ch) const;

    // The banner strip at the left edge (logical pixels), empty without a banner item.
    QRect BannerRect() const;
    QString BannerText() const;
    // Width of the strip in logical pixels.
    static constexpr int kBannerWidth = 21;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void PaintBanner(QPainter& painter) const;

    CMenuStyle* m_pStyle;
    QPointer<QAction> m_pBanner;
};
