// SPDX-License-Identifier: MIT
// Message boxes as the documents and commands ask for them, behind an interface so that they
// run without a display (tests answer them from a script).
#pragma once

#include <QString>

enum class EMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
// Default picks the usual icon: a question for Yes/No boxes, an exclamation for OK boxes.
enum class EMsgIcon { Default, None, Information, Question, Exclamation, Stop };
enum class EMsgResult { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    QString strText;
    QString strCaption;
    EMsgButtons buttons = EMsgButtons::Ok;
    EMsgIcon icon = EMsgIcon::Default;
    int nDefaultButton = 0; // 0 first button, 1 second, 2 third
};

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Shows the box modally and returns the button chosen. Closing the box without a choice
    // answers Cancel where there is one, else No, else OK.
    virtual EMsgResult Show(const MessageBoxRequest& request) = 0;
};

// The answer a box gives when it is dismissed without a choice (and the headless answer).
EMsgResult DismissAnswer(EMsgButtons buttons) noexcept;
// The icon shown for EMsgIcon::Default with these buttons.
EMsgIcon ResolveIcon(EMsgIcon icon, EMsgButtons buttons) noexcept;
