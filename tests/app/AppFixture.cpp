// SPDX-License-Identifier: MIT
// The application test fixture.
#include "AppFixture.h"

#include "app/ClipboardImage.h"
#include "document/TavixCaptureDoc.h"
#include "framework/DocManager.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MultiDocTemplate.h"
#include "platform/AppSettings.h"
#include "views/TavixCaptureView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>

namespace apptest {

EMsgResult CScriptedBoxes::Show(const MessageBoxRequest& request) {
    m_shown.push_back(request);
    if (m_onShow)
        m_onShow();
    if (m_answers.empty())
        return DismissAnswer(request.buttons);
    const EMsgResult answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void AppTest::SetUp() {
    CTempXdgTest::SetUp();
}

void AppTest::TearDown() {
    m_pApp.reset();
    ProcessEvents();
    CTempXdgTest::TearDown();
}

void AppTest::Start(std::uint32_t dwOptionsA, ITrayIcon* pTray) {
    const auto locations = platform::HiveLocations::FromEnvironment();
    if (dwOptionsA != 0) {
        platform::CAppSettings settings;
        settings.Load(locations);
        settings.m_dwOptionsA = dwOptionsA;
        // The output folder inside the test's own folder.
        settings.m_strAutoSavePath = (Root() / "Output").string();
        ASSERT_TRUE(settings.Save(locations));
    }
    m_pApp = std::make_unique<CTavixCaptureApp>();
    m_pApp->SetHiveLocations(locations);
    m_pApp->SetTrayIcon(pTray);
    ASSERT_TRUE(m_pApp->InitInstance({}));
    m_pApp->Ui().SetMessageBoxes(&m_boxes);
    Frame().resize(800, 600);
    ProcessEvents();
}

bool AppTest::Run(unsigned nID) {
    const bool bRan = Frame().Dispatcher().Execute(nID);
    ProcessEvents();
    return bRan;
}

bool AppTest::IsEnabled(unsigned nID) {
    return Frame().Dispatcher().IsEnabled(nID);
}

std::filesystem::path AppTest::WritePng(int nWidth, int nHeight, const QString& strName) {
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y,
                           qRgb((x * 37 + y) & 0xFF, (y * 53 + x * 3) & 0xFF, (x * y + 11) & 0xFF));
    const std::filesystem::path path = Root() / strName.toStdString();
    // Quality 100: no compression, the quickest to write.
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "PNG", 100));
    return path;
}

CTavixCaptureDoc* AppTest::Open(const std::filesystem::path& path) {
    auto* pDoc = dynamic_cast<CTavixCaptureDoc*>(
        m_pApp->OpenDocumentFile(QString::fromStdString(path.string())));
    ProcessEvents();
    return pDoc;
}

CTavixCaptureDoc* AppTest::NewDocument(const QImage& image) {
    auto* pDoc = CTavixCaptureDoc::OpenNew(*m_pApp->DocTemplate(), *BitmapFromImage(image),
                                           CTavixCaptureDoc::ENewImage::Image);
    ProcessEvents();
    return pDoc;
}

CTavixCaptureView* AppTest::ActiveView() const {
    return Frame().ActiveImageView();
}

void AppTest::ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

bool AppTest::WaitUntil(const std::function<bool()>& pred, int nTimeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > nTimeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(10);
    }
    return true;
}

} // namespace apptest
