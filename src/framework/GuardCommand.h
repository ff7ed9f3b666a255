// SPDX-License-Identifier: MIT
// The one catch site of the program's command handlers: nothing thrown by a handler crosses a
// Qt slot, event handler or lambda.
#pragma once

#include "image/TextException.h"

#include <QLoggingCategory>

class CUiServices;

#include <exception>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcFramework)

namespace fw::detail {
// Shows the exception's text in a message box (stop icon, OK).
void ReportTextException(const CUiServices& ui, const CTextException& e) noexcept;
// Logs anything else; `what` may be null for exceptions that are not std::exception.
void LogUnexpectedException(const char* what) noexcept;
} // namespace fw::detail

// Runs fn. A CTextException becomes a message box of ui with its text; any other exception is
// logged. Returns true when fn returned normally.
template <class F> bool GuardCommand(const CUiServices& ui, F&& fn) noexcept {
    try {
        std::forward<F>(fn)();
        return true;
    } catch (const CTextException& e) {
        fw::detail::ReportTextException(ui, e);
    } catch (const std::exception& e) {
        fw::detail::LogUnexpectedException(e.what());
    } catch (...) {
        fw::detail::LogUnexpectedException(nullptr);
    }
    return false;
}
