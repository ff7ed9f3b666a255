// SPDX-License-Identifier: MIT
// Capture delivery decisions, the image window's outputs and the automatic file name.
#include "capture/engine/CaptureOutput.h"

#include "capture/AutoSaveName.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "image/Trace.h"
#include "platform/AppSettings.h"

namespace capture {

namespace opt = platform::options;

bool DeliveryOpensDocument(std::uint32_t dwOptionsA) noexcept {
    if (dwOptionsA & (opt::kOpenImageWindow | opt::kPrintCapture | opt::kSaveToFile))
        return true;
    return (dwOptionsA & opt::kCopyToClipboard) == 0;
}

void RunCaptureOutput(std::uint32_t dwOptionsA, ICaptureOutputTarget& target) {
    if (dwOptionsA & opt::kCopyToClipboard)
        target.CopyToClipboard();
    if (dwOptionsA & opt::kSaveToFile)
        target.SaveCapture((dwOptionsA & opt::kAutoNameFile) != 0);
    if (dwOptionsA & opt::kPrintCapture)
        target.PrintCapture((dwOptionsA & opt::kPrintWithoutDialog) != 0);
}

namespace {

AutoSaveParams AutoSaveParamsOf(const platform::CAppSettings& settings) {
    AutoSaveParams params;
    params.strDirectory = settings.m_strAutoSavePath;
    params.strLeadName = settings.m_strAutoSaveLeadFileName;
    params.nDigitCount = settings.m_wAutoSaveDigitCount;
    params.dwStartNo = settings.m_dwAutoSaveStartNO;
    params.dwImageType = settings.m_dwAutoSaveImageType;
    params.dwOptions = settings.m_dwAutoSaveOptions;
    return params;
}

// The messages of a plan that gives no name, and the replace question; true when the name may
// be used.
bool AcceptPlan(const AutoNamePlan& plan, const AutoSaveParams& params, const CUiServices& ui) {
    switch (plan.status) {
    case AutoNameStatus::CounterExhausted:
        ui.AppMessageBox(IDS_COUNTER_MAX, EMsgButtons::Ok, EMsgIcon::Exclamation);
        return false;
    case AutoNameStatus::NoDirectory:
        ui.AppMessageBox(
            FormatString1(IDS_NO_DIRECTORY, QString::fromStdString(params.strDirectory)),
            EMsgButtons::Ok, EMsgIcon::Exclamation);
        return false;
    case AutoNameStatus::AskReplace:
        return ui.AppMessageBox(
                   FormatString1(IDS_FILE_EXISTS, QString::fromStdString(plan.strPath)),
                   EMsgButtons::YesNoCancel, EMsgIcon::Question) == EMsgResult::Yes;
    case AutoNameStatus::Ready:
        break;
    }
    return true;
}

void TellCounterNotStored(const std::string& strError, const CUiServices& ui) {
    ui.AppMessageBox(QStringLiteral("The settings cannot be written (%1).\n\nUntil they can, "
                                    "automatic saves take the next free number and never "
                                    "replace an existing file.")
                         .arg(QString::fromStdString(strError)),
                     EMsgButtons::Ok, EMsgIcon::Exclamation);
}

} // namespace

std::optional<QString> PromptAutoSaveFileName(platform::CAppSettings& settings,
                                              const CUiServices& ui,
                                              const platform::HiveLocations& locations,
                                              CounterStoreState& state) {
    AutoSaveParams params = AutoSaveParamsOf(settings);
    params.bKeepExisting = state.bFailing;
    const AutoNamePlan plan = PlanAutoSaveName(params);
    if (!AcceptPlan(plan, params, ui))
        return std::nullopt;
    // Advanced before the write: a failing write still uses up its number. Stored at once: with
    // replacing on, a next run that started from an older number would overwrite this capture.
    settings.m_dwAutoSaveStartNO = plan.dwNextStartNo;
    std::string strError;
    if (settings.SaveAutoSaveCounter(locations, &strError)) {
        state.bFailing = false;
        return QString::fromStdString(plan.strPath);
    }
    img::Trace("automatic save: counter not stored: %s\n", strError.c_str());
    if (state.bFailing)
        return QString::fromStdString(plan.strPath);
    state.bFailing = true;
    if (!state.bTold) {
        state.bTold = true;
        TellCounterNotStored(strError, ui);
    }
    if (!plan.bReplaces || plan.status == AutoNameStatus::AskReplace)
        return QString::fromStdString(plan.strPath); // nothing replaced unasked
    settings.m_dwAutoSaveStartNO = static_cast<std::uint32_t>(params.dwStartNo);
    return PromptAutoSaveFileName(settings, ui, locations, state); // once more, keeping files
}

} // namespace capture
