// SPDX-License-Identifier: MIT
// The capture engine inside the desktop program.
#include "app/CaptureShell.h"

#include "app/ClipboardImage.h"
#include "app/MainFrame.h"
#include "app/MenuCaptions.h"
#include "app/TavixCaptureApp.h"
#include "capture/engine/CaptureOutput.h"
#include "document/TavixCaptureDoc.h"
#include "framework/ui/MultiDocTemplate.h"
#include "platform/AppSettings.h"
#include "views/TavixCaptureView.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QTimer>
#include <QWindow>

#include <utility>

CCaptureShell::CCaptureShell(CTavixCaptureApp& app, CMainFrame& frame)
    : m_app(app), m_frame(frame), m_engine(*this) {}

bool CCaptureShell::Initialize() {
    QObject::connect(&m_engine, &CCaptureEngine::keyBindingChanged, &m_frame, [this] {
        m_app.SetStartupNote(m_engine.KeyBindingNote());
        m_frame.SetPaneText(IImageViewHost::PaneMessage, m_app.StartupNote());
    });
    return m_engine.Initialize();
}

void CCaptureShell::StartCapture(unsigned nCommandID, bool bFromTrayMenu) {
    m_engine.StartCommand(nCommandID, bFromTrayMenu ? CCaptureEngine::EOrigin::TrayMenu
                                                    : CCaptureEngine::EOrigin::MenuOrToolbar);
}

platform::CAppSettings& CCaptureShell::Settings() {
    return m_app.Settings();
}

const CUiServices& CCaptureShell::Ui() {
    return m_app.Ui();
}

QWidget* CCaptureShell::MainWindow() {
    return &m_frame;
}

void CCaptureShell::KeepWindowState() {
    m_bVisibleBefore = m_frame.isVisible();
    m_bMaximizedBefore = m_frame.isMaximized();
    // A window hidden before (to the tray) is shown where Qt and the window manager put it.
    const bool bPlaced = m_bVisibleBefore && !m_frame.isMinimized() && !m_bMaximizedBefore &&
                         !m_frame.isFullScreen();
    m_rcBefore = bPlaced ? m_frame.geometry() : QRect();
    m_pActiveBefore = m_frame.MdiArea()->currentSubWindow();
}

void CCaptureShell::RestoreWindowState() {
    if (!m_bVisibleBefore) {
        m_frame.hide();
        return;
    }
    ShowAfterCapture();
    if (m_pActiveBefore != nullptr && m_frame.MdiArea()->currentSubWindow() != m_pActiveBefore)
        m_frame.MdiArea()->setActiveSubWindow(m_pActiveBefore);
}

void CCaptureShell::PlaceAsBeforeCapture() {
    // Set while hidden, the position goes to the window manager as the user's own when the
    // window is mapped, and is kept.
    if (!m_rcBefore.isValid())
        return;
    const QRect rcBefore = std::exchange(m_rcBefore, QRect());
    m_frame.setGeometry(rcBefore);
    // A place the window manager gave (the user dragged the window, a pager moved it) is the one
    // Qt already has, so the call above changes nothing and the window would be mapped as a new
    // one, for the window manager to place: the native window is told the place is the program's.
    if (QWindow* pWindow = m_frame.windowHandle())
        pWindow->setGeometry(rcBefore);
}

void CCaptureShell::ShowAfterCapture() {
    if (!m_frame.isVisible()) {
        PlaceAsBeforeCapture();
        m_frame.showMinimized();
        if (m_bMaximizedBefore)
            m_frame.showMaximized();
        else
            m_frame.showNormal();
        m_frame.raise();
        m_frame.activateWindow();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    m_bHiddenForCapture = false;
}

void CCaptureShell::HideForCapture() {
    m_bHiddenForCapture = true;
    if (m_frame.isVisible())
        m_frame.hide();
}

QString CCaptureShell::HotkeyText(int nAction) {
    return m_frame.Captions().HotkeyText(nAction);
}

QString CCaptureShell::ActionCaption(int nAction) {
    return m_frame.Captions().ActionCaption(nAction).remove(u'&');
}

void CCaptureShell::DeliverCapture(const CImageBitmap& bitmap) {
    CMultiDocTemplate* pTemplate = m_app.DocTemplate();
    if (pTemplate == nullptr)
        return;
    if (!capture::DeliveryOpensDocument(m_app.Settings().m_dwOptionsA)) {
        CopyImageToClipboard(bitmap);
        return;
    }
    CTavixCaptureDoc* pDoc =
        CTavixCaptureDoc::OpenNew(*pTemplate, bitmap, CTavixCaptureDoc::ENewImage::Capture);
    auto* pView = pDoc != nullptr && !pDoc->Views().empty()
                      ? dynamic_cast<CTavixCaptureView*>(pDoc->Views().front())
                      : nullptr;
    if (pView == nullptr)
        return;
    // The outputs may ask (file exists, print dialog): they run once the capture has ended and
    // the main window is back, from the event loop, and not at all if the window went first.
    QTimer::singleShot(0, pView, [this, pView] { RunCaptureOutput(*pView); });
}

namespace {

class CViewOutputs : public capture::ICaptureOutputTarget {
public:
    explicit CViewOutputs(CTavixCaptureView& view) : m_view(view) {}

    void CopyToClipboard() override {
        if (CTavixCaptureDoc* pDoc = m_view.GetDocument())
            pDoc->CopyAllToClipboard();
    }
    void SaveCapture(bool) override {
        if (CTavixCaptureDoc* pDoc = m_view.GetDocument())
            pDoc->AutoSave();
    }
    void PrintCapture(bool bWithoutDialog) override {
        if (bWithoutDialog)
            m_view.OnFilePrintDirect();
        else
            m_view.OnFilePrint();
    }

private:
    CTavixCaptureView& m_view;
};

} // namespace

void CCaptureShell::RunCaptureOutput(CTavixCaptureView& view) {
    CViewOutputs outputs(view);
    capture::RunCaptureOutput(m_app.Settings().m_dwOptionsA, outputs);
}
