// SPDX-License-Identifier: MIT
// Message boxes answered from a script, for tests that run the program's questions headless.
#pragma once

#include "framework/MessageBoxes.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

namespace testsupport {

// Each box takes the next scripted answer; every request is kept for checking. With the script
// used up a box is dismissed (the headless answer), or fails the test when bFailUnscripted.
class CScriptedMessageBoxes final : public IMessageBoxes {
public:
    explicit CScriptedMessageBoxes(bool bFailUnscripted = false)
        : m_bFailUnscripted(bFailUnscripted) {}

    EMsgResult Show(const MessageBoxRequest& request) override {
        m_shown.push_back(request);
        if (m_onShow)
            m_onShow();
        if (m_answers.empty()) {
            if (m_bFailUnscripted)
                ADD_FAILURE() << "unexpected message box: " << request.strText.toStdString();
            return DismissAnswer(request.buttons);
        }
        const EMsgResult answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::deque<EMsgResult> m_answers;
    std::vector<MessageBoxRequest> m_shown;
    std::function<void()> m_onShow; // runs while a box is up

private:
    bool m_bFailUnscripted;
};

} // namespace testsupport
