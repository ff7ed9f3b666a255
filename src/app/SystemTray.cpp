// SPDX-License-Identifier: MIT
// The notification-area icon.
#include "app/SystemTray.h"

#include "app/InstanceChecker.h"
#include "app/MainFrame.h"
#include "app/TrayPolicy.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/CommandIcons.h"
#include "framework/ui/MenuBuilder.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

CSystemTray::CSystemTray(CMainFrame& frame, CTrayPolicy& policy)
    : QObject(&frame), m_frame(frame), m_policy(policy) {
    m_pMenu = frame.MenuBuilder().BuildPopup(IDR_TRAY_MENU, 0, &frame);
    if (m_pMenu != nullptr) {
        // The default item is the one at position 0: the banner, drawn as the menu's strip.
        if (!m_pMenu->actions().isEmpty())
            m_pMenu->setDefaultAction(m_pMenu->actions().front());
        connect(m_pMenu, &QMenu::aboutToShow, this, [this] { m_policy.SetFromTrayMenu(true); });
        // A choice runs before the menu's hiding is handled here, so the mark lasts exactly
        // until the chosen command has run.
        connect(m_pMenu, &QMenu::aboutToHide, this, [this] {
            QMetaObject::invokeMethod(
                &m_frame, [this] { m_policy.SetFromTrayMenu(false); }, Qt::QueuedConnection);
        });
        m_icon.setContextMenu(m_pMenu);
    }
    // The window captures ask where their command came from; any other command ends the mark.
    connect(&frame.Dispatcher(), &CCommandDispatcher::commandExecuted, this, [this](unsigned nID) {
        if (nID != ID_CAPTURE_ACTIVE_WINDOW && nID != ID_CAPTURE_CLIENT)
            m_policy.SetFromTrayMenu(false);
    });
    QIcon icon = CCommandIcons::Get().Icon(IDI_TRAY);
    if (icon.isNull())
        icon = frame.windowIcon();
    m_icon.setIcon(icon);
    m_icon.setToolTip(LoadString(IDS_TRAY_TIP));
    connect(&m_icon, &QSystemTrayIcon::activated, this, &CSystemTray::OnActivated);
    m_icon.show();
    // Qt makes the icon's widget and window anew whenever it docks, so the filter watches the
    // whole program for the one event it handles.
    qApp->installEventFilter(this);
    m_bTrayPresent = QSystemTrayIcon::isSystemTrayAvailable();
    m_trayWatch.setInterval(2000);
    connect(&m_trayWatch, &QTimer::timeout, this, &CSystemTray::WatchForTray);
    m_trayWatch.start();
}

void CSystemTray::WatchForTray() {
    const bool bPresent = QSystemTrayIcon::isSystemTrayAvailable();
    if (bPresent && !m_bTrayPresent) {
        m_icon.hide();
        m_icon.show();
    }
    m_bTrayPresent = bPresent;
}

CSystemTray::~CSystemTray() {
    qApp->removeEventFilter(this);
    m_icon.hide();
}

bool CSystemTray::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable() && m_icon.isVisible();
}

void CSystemTray::ShowMessage(const QString& strTitle, const QString& strText) {
    m_icon.showMessage(strTitle, strText, m_icon.icon());
}

bool CSystemTray::IsXEmbedIconWindow(QObject* pObject) {
    auto* pWindow = qobject_cast<QWindow*>(pObject);
    const QWidget* pWidget = pWindow != nullptr ? QWidget::find(pWindow->winId()) : nullptr;
    return pWidget != nullptr &&
           qstrcmp(pWidget->metaObject()->className(), "QSystemTrayIconSys") == 0;
}

// A right press soon after the previous one (the menu opened, closed with Escape, and asked
// for again) arrives as a double click, which Qt's XEmbed icon ignores for that button: the
// menu would not open.
bool CSystemTray::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::MouseButtonDblClick && m_pMenu != nullptr) {
        const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (pMouse->button() == Qt::RightButton && IsXEmbedIconWindow(pWatched)) {
            m_pMenu->popup(pMouse->globalPosition().toPoint());
            emit m_icon.activated(QSystemTrayIcon::Context);
            return true;
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}

void CSystemTray::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick)
        OnDoubleClick();
}

void CSystemTray::OnDoubleClick() {
    m_frame.ActivateFrame();
    CInstanceChecker::BringToFront(m_frame);
    if (m_pMenu != nullptr && m_pMenu->defaultAction() != nullptr)
        m_frame.Dispatcher().Execute(CCommandDispatcher::ActionId(m_pMenu->defaultAction()));
}
