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

std::optional<QString> PromptAutoSaveFileName(platform::CAppSettings& settings,
                                              const CUiServices& ui,
                                              const platform::HiveLocations& locations) {
    AutoSaveParams params;
    params.strDirectory = settings.m_strAutoSavePath;
    params.strLeadName = settings.m_strAutoSaveLeadFileName;
    params.nDigitCount = settings.m_wAutoSaveDigitCount;
    params.dwStartNo = settings.m_dwAutoSaveStartNO;
    params.dwImageType = settings.m_dwAutoSaveImageType;
    params.dwOptions = settings.m_dwAutoSaveOptions;
    const AutoNamePlan plan = PlanAutoSaveName(params);
    switch (plan.status) {
    case AutoNameStatus::CounterExhausted:
        ui.AppMessageBox(IDS_COUNTER_MAX, EMsgButtons::Ok, EMsgIcon::Exclamation);
        return std::nullopt;
    case AutoNameStatus::NoDirectory:
        ui.AppMessageBox(
            FormatString1(IDS_NO_DIRECTORY, QString::fromStdString(params.strDirectory)),
            EMsgButtons::Ok, EMsgIcon::Exclamation);
        return std::nullopt;
    case AutoNameStatus::AskReplace:
        if (ui.AppMessageBox(FormatString1(IDS_FILE_EXISTS, QString::fromStdString(plan.strPath)),
                             EMsgButtons::YesNoCancel, EMsgIcon::Question) != EMsgResult::Yes)
            return std::nullopt;
        break;
    case AutoNameStatus::Ready:
        break;
    }
    // Advanced before the write: a failing write still uses up its number. Stored at once: with
    // replacing on, a next run that started from an older number would overwrite this capture.
    settings.m_dwAutoSaveStartNO = plan.dwNextStartNo;
    std::string strError;
    if (!settings.SaveAutoSaveCounter(locations, &strError))
        img::Trace("automatic save: counter not stored: %s\n", strError.c_str());
    return QString::fromStdString(plan.strPath);
}

} // namespace capture
