// SPDX-License-Identifier: MIT
// The user-interface services and their display-less fallbacks.
#include "framework/UiServices.h"

#include "framework/CommandIds.h"
#include "framework/GuardCommand.h"
#include "framework/StringTable.h"

namespace {

class CHeadlessMessageBoxes final : public IMessageBoxes {
public:
    EMsgResult Show(const MessageBoxRequest& request) override {
        // No display to ask on: the text still reaches the log so that it is not lost.
        qCInfo(lcFramework, "message box: %s", qUtf8Printable(request.strText));
        return DismissAnswer(request.buttons);
    }
};

class CNoWaitCursor final : public IWaitCursor {
public:
    void Begin() override {}
    void End() override {}
};

class CNoStatusText final : public IStatusText {
public:
    void SetMessageText(const QString&) override {}
};

class CNoProgress final : public CProgressSink {
public:
    void SetProgress(double) override {}
};

class CNoFileDialogs final : public IFileDialogs {
public:
    std::optional<QString> PromptFileName(const FilePrompt&) override { return std::nullopt; }
};

CHeadlessMessageBoxes s_headlessBoxes;
CNoWaitCursor s_noWaitCursor;
CNoStatusText s_noStatusText;
CNoProgress s_noProgress;
CNoFileDialogs s_noFileDialogs;

} // namespace

CUiServices::CUiServices() = default;

IMessageBoxes& CUiServices::MessageBoxes() const noexcept {
    return m_pMessageBoxes != nullptr ? *m_pMessageBoxes : s_headlessBoxes;
}

IWaitCursor& CUiServices::WaitCursor() const noexcept {
    return m_pWaitCursor != nullptr ? *m_pWaitCursor : s_noWaitCursor;
}

IStatusText& CUiServices::StatusText() const noexcept {
    return m_pStatusText != nullptr ? *m_pStatusText : s_noStatusText;
}

CProgressSink& CUiServices::Progress() const noexcept {
    return m_pProgress != nullptr ? *m_pProgress : s_noProgress;
}

QStringList IFileDialogs::PromptFileNames(const FilePrompt& prompt) {
    const std::optional<QString> answer = PromptFileName(prompt);
    if (!answer || answer->isEmpty())
        return {};
    return {*answer};
}

IFileDialogs& CUiServices::FileDialogs() const noexcept {
    return m_pFileDialogs != nullptr ? *m_pFileDialogs : s_noFileDialogs;
}

EMsgResult DismissAnswer(EMsgButtons buttons) noexcept {
    switch (buttons) {
    case EMsgButtons::Ok:
        return EMsgResult::Ok;
    case EMsgButtons::YesNo:
        return EMsgResult::No;
    case EMsgButtons::OkCancel:
    case EMsgButtons::YesNoCancel:
        break;
    }
    return EMsgResult::Cancel;
}

EMsgIcon ResolveIcon(EMsgIcon icon, EMsgButtons buttons) noexcept {
    if (icon != EMsgIcon::Default)
        return icon;
    if (buttons == EMsgButtons::YesNo || buttons == EMsgButtons::YesNoCancel)
        return EMsgIcon::Question;
    return EMsgIcon::Exclamation;
}

EMsgResult CUiServices::AppMessageBox(const QString& strText, EMsgButtons buttons, EMsgIcon icon,
                                      int nDefaultButton) const {
    MessageBoxRequest request;
    request.strText = strText;
    request.strCaption = LoadString(IDS_APP_TITLE);
    request.buttons = buttons;
    request.icon = ResolveIcon(icon, buttons);
    request.nDefaultButton = nDefaultButton;
    return MessageBoxes().Show(request);
}

EMsgResult CUiServices::AppMessageBox(unsigned nIDPrompt, EMsgButtons buttons, EMsgIcon icon,
                                      int nDefaultButton) const {
    return AppMessageBox(LoadString(nIDPrompt), buttons, icon, nDefaultButton);
}
