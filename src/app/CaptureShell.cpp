// SPDX-License-Identifier: MIT
// The capture engine inside the desktop program.
#include "app/CaptureShell.h"

#include "app/ClipboardImage.h"
#include "app/MainFrame.h"
#include "app/TavixCaptureApp.h"
#include "capture/engine/CaptureDocManager.h"
#include "capture/engine/CaptureOutput.h"
#include "document/TavixCaptureDoc.h"
#include "framework/ui/MultiDocTemplate.h"
#include "platform/AppSettings.h"
#include "views/TavixCaptureView.h"

#include <QCoreApplication>

CCaptureShell::CCaptureShell(CTavixCaptureApp& app, CMainFrame& frame,
                             CCaptureDocManager& docManager)
    : m_app(app), m_frame(frame), m_docManager(docManager), m_engine(*this) {}

bool CCaptureShell::Initialize() {
    return m_engine.Initialize();
}

void CCaptureShell::StartCapture(unsigned nCommandID) {
    // The tray menu marks the frame while it is open; its commands carry that mark here.
    if (m_frame.IsFromTrayMenu())
        m_engine.SetFromTrayMenu();
    m_engine.StartCommand(nCommandID);
}

platform::CAppSettings& CCaptureShell::Settings() {
    return m_app.Settings();
}

QWidget* CCaptureShell::MainWindow() {
    return &m_frame;
}

void CCaptureShell::ShowAfterCapture() {
    if (!m_frame.isVisible()) {
        m_frame.showMinimized();
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
    const std::uint16_t* pTable = m_frame.CurrentHotkeyTable();
    if (nAction < 0 || nAction >= int(platform::kHotkeyTableSize) || pTable == nullptr)
        return {};
    return m_frame.KeyNames().Text(pTable[nAction]);
}

void CCaptureShell::DeliverCapture(const CImageBitmap& bitmap) {
    CMultiDocTemplate* pTemplate = m_app.DocTemplate();
    if (pTemplate == nullptr)
        return;
    if (!capture::DeliveryOpensDocument(m_app.Settings().m_dwOptionsA)) {
        CopyImageToClipboard(bitmap);
        return;
    }
    // The new document copies the hand-off while it is created.
    m_app.SetCaptureBitmap(&bitmap);
    pTemplate->OpenDocumentFile(QString(), true, true);
    m_app.SetCaptureBitmap(nullptr);
}

namespace {

class CViewOutputs : public capture::ICaptureOutputTarget {
public:
    CViewOutputs(CTavixCaptureView& view, CCaptureDocManager& docManager)
        : m_view(view), m_docManager(docManager) {}

    void CopyToClipboard() override {
        if (CTavixCaptureDoc* pDoc = m_view.GetDocument())
            pDoc->CopyAllToClipboard();
    }
    void SaveCapture(bool) override {
        if (CTavixCaptureDoc* pDoc = m_view.GetDocument()) {
            m_docManager.SetAutoSavePending(true);
            pDoc->AutoSave();
            m_docManager.SetAutoSavePending(false);
        }
    }
    void PrintCapture(bool bWithoutDialog) override {
        if (bWithoutDialog)
            m_view.OnFilePrintDirect();
        else
            m_view.OnFilePrint();
    }

private:
    CTavixCaptureView& m_view;
    CCaptureDocManager& m_docManager;
};

} // namespace

void CCaptureShell::RunCaptureOutput(CTavixCaptureView& view) {
    CViewOutputs outputs(view, m_docManager);
    capture::RunCaptureOutput(m_app.Settings().m_dwOptionsA, outputs);
}
