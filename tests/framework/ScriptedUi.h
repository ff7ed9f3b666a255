// SPDX-License-Identifier: MIT
// User-interface services answered from a script, and an application object that uses them:
// the documents' questions are answered by the test and recorded for checking.
#pragma once

#include "framework/Profile.h"
#include "framework/UiServices.h"
#include "framework/WinApp.h"
#include "support/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

class CScriptedFileDialogs final : public IFileDialogs {
public:
    std::optional<QString> PromptFileName(const FilePrompt& prompt) override {
        m_prompts.push_back(prompt);
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected file prompt: " << prompt.strTitle.toStdString();
            return std::nullopt;
        }
        std::optional<QString> answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::deque<std::optional<QString>> m_answers;
    std::vector<FilePrompt> m_prompts;
};

class CCountingWaitCursor final : public IWaitCursor {
public:
    void Begin() override { ++m_nDepth, ++m_nBegins; }
    void End() override { --m_nDepth; }
    int m_nDepth = 0;
    int m_nBegins = 0;
};

// An application object whose services are the scripted ones above.
class CScriptedApp : public CWinApp {
public:
    CScriptedApp() {
        Ui().SetMessageBoxes(&m_boxes);
        Ui().SetFileDialogs(&m_files);
        Ui().SetWaitCursor(&m_wait);
        SetProfile(&m_profile);
        LoadStdProfileSettings(6);
    }
    ~CScriptedApp() override {
        EXPECT_TRUE(m_boxes.m_answers.empty()) << "message box answers left unused";
        EXPECT_TRUE(m_files.m_answers.empty()) << "file prompt answers left unused";
        // The services die before the base class closes what is left.
        Ui().SetMessageBoxes(nullptr);
        Ui().SetFileDialogs(nullptr);
        Ui().SetWaitCursor(nullptr);
        SetProfile(nullptr);
    }

    testsupport::CScriptedMessageBoxes m_boxes{true};
    CScriptedFileDialogs m_files;
    CCountingWaitCursor m_wait;
    CMemoryProfile m_profile;
};
