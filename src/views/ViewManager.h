// SPDX-License-Identifier: MIT
// CViewManager: "Open File Tabs Bar", the bar with one tab per image window in opening order,
// docked at the top or the bottom of the main window. The tabs follow the windows' titles and
// the active window; a click activates a window, a right click asks for the tab menu.
#pragma once

#include <QList>
#include <QStringList>
#include <QToolBar>

class CDocument;
class CView;
class CViewTabCtrl;
class QMainWindow;

class CViewManager : public QToolBar {
    Q_OBJECT

public:
    explicit CViewManager(QMainWindow* pParent);

    // Docks the bar at the top of pFrame, in a row of its own (the bottom is the only other
    // place it may go). Also brings it back from full screen.
    void Create(QMainWindow* pFrame);

    void AddView(const QString& strTitle, CView* pView);
    void RemoveView(CView* pView);
    void SetViewTitle(const QString& strTitle, CView* pView);
    int GetViewCount() const { return static_cast<int>(m_arrViews.size()); }
    CView* ViewAt(int nIndex) const;
    QString TitleAt(int nIndex) const { return m_arrTitles.value(nIndex); }

    // Titles from the windows, the active window's tab selected, colours as the images are now;
    // without an active view the tabs are hidden.
    void UpdateBar(CView* pActiveView);

    CViewTabCtrl* TabCtrl() const noexcept { return m_pTabCtrl; }
    bool m_bDisabled = false;

    // The tool tip of a tab: the file's full path, or "A new unsaved file".
    static QString ToolTipFor(const CDocument* pDoc);

signals:
    // The user chose the tab of pView.
    void viewSelected(CView* pView);
    void viewContextMenu(CView* pView, const QPoint& globalPos);

protected:
    bool event(QEvent* pEvent) override;

private:
    int TabOf(const CView* pView) const;
    void FollowDockArea();
    void OnCurrentChanged(int nIndex);

    QList<CView*> m_arrViews;
    QStringList m_arrTitles;
    CViewTabCtrl* m_pTabCtrl;
    bool m_bSelecting = false;
};
