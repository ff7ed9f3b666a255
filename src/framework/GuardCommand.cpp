// SPDX-License-Identifier: MIT
// Reporting of exceptions caught by GuardCommand.
#include "framework/GuardCommand.h"

#include "framework/UiServices.h"
#include "image/TextException.h"

Q_LOGGING_CATEGORY(lcFramework, "quorvi.framework")

namespace fw::detail {

void ReportTextException(const CUiServices& ui, const CTextException& e) noexcept {
    try {
        ui.AppMessageBox(QString::fromStdString(e.Text()), EMsgButtons::Ok, EMsgIcon::Stop);
    } catch (...) {
        LogUnexpectedException(e.what());
    }
}

void LogUnexpectedException(const char* what) noexcept {
    try {
        qCWarning(lcFramework, "command failed: %s", what != nullptr ? what : "unknown exception");
    } catch (...) {
        // Nothing is left to report with.
    }
}

} // namespace fw::detail
