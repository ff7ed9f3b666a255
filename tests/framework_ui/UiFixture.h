// SPDX-License-Identifier: MIT
// A main frame with the program's menus, toolbar and accelerators, an MDI template of a small
// text document with a widget view, and the scripted services: the set-up of the widget tests.
#pragma once

#include "framework/ScriptedUi.h"
#include "framework/TestFrames.h"

#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MDIChildWnd.h"
#include "framework/ui/MDIFrameWnd.h"
#include "framework/ui/MultiDocTemplate.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <string>
#include <vector>

// Commands the test classes handle, and what they record.
inline constexpr unsigned kViewCommand = 5101, kDocCommand = 5102, kChildCommand = 5103,
                          kMainCommand = 5104;
inline constexpr unsigned kViewChecked = 5110;
inline std::vector<std::string> g_uiLog;

class CWidgetView : public QWidget, public CView {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    void OnCommand() { g_uiLog.push_back("view"); }
    void OnUpdateChecked(CCmdUI& cmdUI) {
        cmdUI.SetCheck(m_bChecked ? 1 : 0);
        cmdUI.SetText(m_bChecked ? QStringLiteral("Checked &Item")
                                 : QStringLiteral("Unchecked &Item"));
    }
    void OnToggle() { m_bChecked = !m_bChecked; }
    void OnActivateView(bool bActivate, CView*, CView*) override {
        g_uiLog.push_back(bActivate ? "activate" : "deactivate");
    }
    bool m_bChecked = false;
};

class CUiTextDoc : public CTextDoc {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    using CTextDoc::CTextDoc;
    void OnCommand() { g_uiLog.push_back("doc"); }
    void OnUpdateUndo(CCmdUI& cmdUI) { cmdUI.Enable(m_bCanUndo); }
    void OnUndo() { g_uiLog.push_back("undo"); }
    bool m_bCanUndo = false;
};

class CUiChildFrame : public CMDIChildWnd {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    void OnCommand() { g_uiLog.push_back("child"); }
};

class CUiMainFrame : public CMDIFrameWnd {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    using CMDIFrameWnd::CMDIFrameWnd;
    void OnCommand() { g_uiLog.push_back("main"); }
    void OnPasteAsNew() { g_uiLog.push_back("paste as new"); }
    void OnInitMenuPopup(QMenu* pMenu) override {
        m_opened.push_back(pMenu->title().toStdString());
    }
    std::vector<std::string> m_opened;
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_uiLog.clear();
        m_pMain = new CUiMainFrame(m_app.Ui());
        m_app.SetMainWnd(m_pMain);
        m_pMain->LoadMenus(IDR_MAINFRAME, IDR_IMAGETYPE);
        m_pMain->LoadToolBar(IDR_MAINFRAME, QStringLiteral("Standard"));
        m_pMain->LoadAccelerators(IDR_MAINFRAME);
        m_pMain->resize(800, 600);
        m_pMain->show();
        m_app.AddDocTemplate(
            MakeMultiDocTemplate<CUiTextDoc, CUiChildFrame, CWidgetView>(*m_pMain, IDR_IMAGETYPE));
    }
    void TearDown() override {
        m_app.CloseAllDocuments(false);
        delete m_pMain;
        Flush();
    }

    static void Flush() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString Path(const char* pszName) const {
        return QString::fromStdString((m_dir.Path() / pszName).string());
    }
    void WriteFile(const char* pszName, const QByteArray& data) const {
        QFile file(Path(pszName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    std::vector<std::string> MenuTitles() const {
        std::vector<std::string> titles;
        for (QAction* pAction : m_pMain->menuBar()->actions())
            titles.push_back(pAction->text().toStdString());
        return titles;
    }
    QMenu* TopMenu(const char* pszTitle) const {
        for (QAction* pAction : m_pMain->menuBar()->actions()) {
            if (pAction->text() == QString::fromUtf8(pszTitle))
                return pAction->menu();
        }
        return nullptr;
    }
    static QAction* FindAction(QMenu* pMenu, unsigned nID) {
        for (QAction* pAction : pMenu->actions()) {
            if (CCommandDispatcher::ActionId(pAction) == nID)
                return pAction;
        }
        return nullptr;
    }
    // Runs the menu's update pass as opening it does.
    static void Open(QMenu* pMenu) { emit pMenu->aboutToShow(); }

    testsupport::CTempDir m_dir;
    CScriptedApp m_app;
    CUiMainFrame* m_pMain = nullptr;
};
