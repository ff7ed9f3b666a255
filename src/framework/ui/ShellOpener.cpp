// SPDX-License-Identifier: MIT
// Opening targets with xdg-open.
#include "framework/ui/ShellOpener.h"

#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

// The reasons a target did not open, by the codes the link texts have always used.
constexpr int kFileNotFound = 2;
constexpr int kBadAssociation = 27;
constexpr int kNoAssociation = 31;
// Beyond the table: what is missing on this desktop, named so the user knows what to install.
constexpr int kNoOpener = 100;
constexpr int kNoFolderProgram = 101;

// Other exit statuses are told as unknown errors with xdg-open's own number, offset so that they
// never meet a code of the table.
constexpr int kUnknownExitBase = 1000;

// xdg-open's documented exit statuses.
constexpr int kXdgFileMissing = 2;
constexpr int kXdgToolMissing = 3;
constexpr int kXdgActionFailed = 4;

struct ErrorEntry {
    int nCode;
    const char* pszText;
};

constexpr ErrorEntry kErrors[] = {
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
         "being processed."},
    {32, "The specified dynamic-link library was not found."},
};

// One run of xdg-open: it counts as opened once (at its end, or when it is still running after a
// while), and a failure is told whenever it shows, even after that.
struct OpenRun {
    QPointer<QObject> pContext;
    bool bHasContext = false;
    std::function<void()> onOpened;
    bool bOpened = false;
};

} // namespace

CShellOpener::CShellOpener(const CUiServices& ui, QObject* pParent) : QObject(pParent), m_ui(ui) {}

// A run still going ends with the opener (its QProcess child), after the answers were cut off.
CShellOpener::~CShellOpener() = default;

void CShellOpener::Open(const QUrl& url, QObject* pContext, std::function<void()> onOpened) {
    const bool bPath = url.isLocalFile() && !url.hasFragment() && !url.hasQuery();
    Open(bPath ? url.toLocalFile() : url.toString(QUrl::FullyEncoded), pContext,
         std::move(onOpened));
}

void CShellOpener::Open(const QString& strTarget, QObject* pContext,
                        std::function<void()> onOpened) {
    auto pRun =
        std::make_shared<OpenRun>(OpenRun{pContext, pContext != nullptr, std::move(onOpened)});
    auto* pProcess = new QProcess(this);
    pProcess->setProgram(QStringLiteral("xdg-open"));
    pProcess->setArguments({strTarget});
    pProcess->setProcessChannelMode(QProcess::ForwardedChannels);
    pProcess->setStandardInputFile(QProcess::nullDevice());
    // nCode < 0: opened; otherwise the failure's code.
    const auto answer = [this, pRun](int nCode) {
        if (nCode >= 0) {
            ReportFailure(nCode);
            return;
        }
        if (pRun->bOpened)
            return;
        pRun->bOpened = true;
        if (pRun->onOpened && (!pRun->bHasContext || !pRun->pContext.isNull()))
            pRun->onOpened();
    };
    connect(pProcess, &QProcess::errorOccurred, this, [pProcess, answer](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        // No xdg-open: nothing on this desktop can open anything.
        answer(kNoOpener);
        pProcess->deleteLater();
    });
    // "No program for this type" said of a folder speaks of no file manager.
    const bool bFolder = QFileInfo(strTarget).isDir();
    connect(pProcess, &QProcess::finished, this,
            [pProcess, answer, bFolder](int nExit, QProcess::ExitStatus status) {
                int nCode = nExit == 0 ? -1 : CodeForExitStatus(nExit);
                if (status == QProcess::CrashExit)
                    nCode = CodeForExitStatus(128 + nExit);
                else if (bFolder && nCode == kNoAssociation)
                    nCode = kNoFolderProgram;
                answer(nCode);
                pProcess->deleteLater();
            });
    QTimer::singleShot(kStillRunningMs, pProcess, [answer] { answer(-1); });
    pProcess->start();
}

int CShellOpener::CodeForExitStatus(int nExitStatus) {
    switch (nExitStatus) {
    case kXdgFileMissing:
        return kFileNotFound;
    case kXdgToolMissing:
        return kNoAssociation;
    case kXdgActionFailed:
        return kBadAssociation;
    default:
        return kUnknownExitBase + nExitStatus;
    }
}

QString CShellOpener::ErrorText(int nCode) {
    if (nCode == kNoAssociation)
        return LoadString(IDS_NO_APPLICATION);
    if (nCode == kNoOpener)
        return QStringLiteral("No program is installed to open links: install xdg-utils.");
    if (nCode == kNoFolderProgram)
        return QStringLiteral("No program is installed to open folders: install a file manager.");
    for (const ErrorEntry& e : kErrors) {
        if (e.nCode == nCode)
            return QString::fromLatin1(e.pszText);
    }
    return QStringLiteral("Unknown Error (%1) occurred.")
        .arg(nCode >= kUnknownExitBase ? nCode - kUnknownExitBase : nCode);
}

void CShellOpener::ReportFailure(int nCode) const {
    QApplication::beep();
    m_ui.AppMessageBox(FormatString1(IDS_CANT_OPEN_LINK, ErrorText(nCode)), EMsgButtons::Ok,
                       EMsgIcon::Exclamation);
}
