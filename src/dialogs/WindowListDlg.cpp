// SPDX-License-Identifier: MIT
// The "Windows" dialog.
#include "dialogs/WindowListDlg.h"

#include "framework/Document.h"
#include "framework/GuardCommand.h"
#include "framework/ui/MDIChildWnd.h"
#include "framework/ui/MDIFrameWnd.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kWindowRole = Qt::UserRole;
constexpr int kMaxTitle = 260;

struct ButtonText {
    CWindowListDlg::EButton id;
    const char* pszText;
};

constexpr ButtonText kButtons[] = {
    {CWindowListDlg::Activate, "&Actvate"},
    {CWindowListDlg::CloseWindows, "&Close Window(s)"},
    {CWindowListDlg::Save, "&Save"},
    {CWindowListDlg::TileHorizontally, "Tile &Horizontaly"},
    {CWindowListDlg::Minimize, "Minimize"},
    {CWindowListDlg::Cascade, "Cascade"},
    {CWindowListDlg::TileVertically, "Tile &Verticaly"},
};

} // namespace

CWindowListDlg::CWindowListDlg(const CUiServices& ui, CMDIFrameWnd& frame, QWidget* pParent)
    : CDialog(ui, pParent), m_frame(frame), m_pList(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Windows"));
    setObjectName(QStringLiteral("WindowListDlg"));
    m_pList->setSelectionMode(QAbstractItemView::MultiSelection);
    m_pList->setMinimumSize(260, 180);
    auto* pButtons = new QVBoxLayout;
    for (const ButtonText& button : kButtons) {
        auto* pButton = new QPushButton(QString::fromLatin1(button.pszText), this);
        pButton->setAutoDefault(false);
        pButton->setProperty("controlId", int(button.id));
        pButtons->addWidget(pButton);
        m_buttons.push_back(pButton);
    }
    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pButtons->addStretch(1);
    pButtons->addWidget(pOk);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->addWidget(m_pList, 1);
    pLayout->addLayout(pButtons);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pList, &QListWidget::itemSelectionChanged, this, &CWindowListDlg::EnableButtons);
    connect(m_pList, &QListWidget::itemDoubleClicked, this, &CWindowListDlg::OnActivate);
    connect(Button(Activate), &QPushButton::clicked, this, &CWindowListDlg::OnActivate);
    connect(Button(CloseWindows), &QPushButton::clicked, this, &CWindowListDlg::OnCloseWindows);
    connect(Button(Save), &QPushButton::clicked, this, &CWindowListDlg::OnSave);
    connect(Button(Minimize), &QPushButton::clicked, this, &CWindowListDlg::OnMinimize);
    for (EButton how : {TileHorizontally, TileVertically, Cascade})
        connect(Button(how), &QPushButton::clicked, this, [this, how] { OnArrange(how); });
}

QPushButton* CWindowListDlg::Button(EButton id) const {
    for (QPushButton* pButton : m_buttons) {
        if (pButton->property("controlId").toInt() == int(id))
            return pButton;
    }
    return nullptr;
}

void CWindowListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    Refill();
}

void CWindowListDlg::Refill() {
    FillList();
    SelectActive();
    EnableButtons();
}

void CWindowListDlg::FillList() {
    m_pList->setUpdatesEnabled(false);
    m_pList->clear();
    QList<QMdiSubWindow*> windows =
        m_frame.MdiArea()->subWindowList(QMdiArea::StackingOrder); // back to front
    std::reverse(windows.begin(), windows.end());
    for (QMdiSubWindow* pWindow : windows) {
        auto* pChild = dynamic_cast<CMDIChildWnd*>(pWindow);
        if (pChild == nullptr || pChild->IsBeingDestroyed())
            continue;
        auto* pItem = new QListWidgetItem(pChild->windowIcon(),
                                          pChild->windowTitle().left(kMaxTitle), m_pList);
        pItem->setData(kWindowRole, QVariant::fromValue(static_cast<QObject*>(pChild)));
    }
    m_pList->setUpdatesEnabled(true);
}

void CWindowListDlg::SelectActive() {
    m_pList->clearSelection();
    QMdiSubWindow* pActive = m_frame.MdiArea()->currentSubWindow();
    const QList<CMDIChildWnd*> windows = ListedWindows();
    for (int i = 0; i < windows.size(); ++i) {
        if (windows[i] == pActive)
            m_pList->item(i)->setSelected(true);
    }
}

void CWindowListDlg::EnableButtons() {
    const auto n = m_pList->selectedItems().size();
    Button(Activate)->setEnabled(n == 1);
    for (EButton id : {CloseWindows, Save, Minimize})
        Button(id)->setEnabled(n > 0);
    for (EButton id : {TileHorizontally, Cascade, TileVertically})
        Button(id)->setEnabled(n > 1);
}

QList<CMDIChildWnd*> CWindowListDlg::ListedWindows() const {
    QList<CMDIChildWnd*> windows;
    for (int i = 0; i < m_pList->count(); ++i)
        windows.push_back(
            qobject_cast<CMDIChildWnd*>(m_pList->item(i)->data(kWindowRole).value<QObject*>()));
    return windows;
}

QList<CMDIChildWnd*> CWindowListDlg::SelectedWindows() const {
    QList<CMDIChildWnd*> selected;
    const QList<CMDIChildWnd*> windows = ListedWindows();
    for (int i = 0; i < windows.size(); ++i) {
        if (m_pList->item(i)->isSelected() && windows[i] != nullptr)
            selected.push_back(windows[i]);
    }
    return selected;
}

void CWindowListDlg::OnActivate() {
    const QList<CMDIChildWnd*> selected = SelectedWindows();
    if (selected.size() != 1)
        return;
    CMDIChildWnd* pWindow = selected.front();
    if (pWindow->isMinimized())
        pWindow->showNormal();
    m_frame.MdiArea()->setActiveSubWindow(pWindow);
    accept();
}

void CWindowListDlg::OnCloseWindows() {
    QList<CMDIChildWnd*> selected = SelectedWindows();
    // Last to first; a window still there after its close was kept by its user (Cancel to the
    // save question): the others stay open too.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        (*it)->close();
        if (!(*it)->IsBeingDestroyed())
            break;
    }
    Refill();
}

void CWindowListDlg::OnSave() {
    for (CMDIChildWnd* pWindow : SelectedWindows()) {
        if (CDocument* pDoc = pWindow->GetActiveDocument())
            GuardCommand(Ui(), [pDoc] { pDoc->DoFileSave(); });
    }
    Refill();
}

void CWindowListDlg::OnMinimize() {
    for (CMDIChildWnd* pWindow : SelectedWindows())
        pWindow->showMinimized();
    Refill();
}

void CWindowListDlg::OnArrange(EButton how) {
    const QList<CMDIChildWnd*> windows = ListedWindows();
    QMdiArea* pArea = m_frame.MdiArea();
    pArea->setUpdatesEnabled(false);
    // Every window restored first: a window minimised while a maximised one is active would be
    // taken back into the maximised state.
    for (int i = static_cast<int>(windows.size()) - 1; i >= 0; --i) {
        if (windows[i] != nullptr)
            windows[i]->showNormal();
    }
    for (int i = static_cast<int>(windows.size()) - 1; i >= 0; --i) {
        if (windows[i] != nullptr && !m_pList->item(i)->isSelected())
            windows[i]->showMinimized();
    }
    if (how == TileHorizontally)
        m_frame.OnWindowTileHorz();
    else if (how == TileVertically)
        m_frame.OnWindowTileVert();
    else
        m_frame.OnWindowCascade();
    pArea->setUpdatesEnabled(true);
}
