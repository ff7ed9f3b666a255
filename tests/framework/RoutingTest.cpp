// SPDX-License-Identifier: MIT
// Routing of commands and update requests: view, document, child frame, main frame, application.
#include "ScriptedUi.h"
#include "TestFrames.h"

#include "framework/CmdTarget.h"
#include "framework/CommandIds.h"
#include "framework/GuardCommand.h"
#include "image/TextException.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Ids handled by a suffix of the chain: kFromView by all five targets, kFromDoc by the last
// four, and so on; kNobody by none.
constexpr unsigned kFromView = 5001, kFromDoc = 5002, kFromChild = 5003, kFromMain = 5004,
                   kFromApp = 5005;
constexpr unsigned kNobody = 5006;
constexpr unsigned kDocDeclines = 5007; // the document's handler declines; the child frame takes it
constexpr unsigned kUpdate = 5010;      // update handlers in view and document
constexpr unsigned kUpdatePassOn = 5011; // the view's update handler passes it on
constexpr unsigned kUpdateOnly = 5012;   // an update handler but no command handler
constexpr unsigned kRangeFirst = 5020, kRangeLast = 5029;

std::vector<std::string> g_log;

class CLogView : public CTestView {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    void OnCommand() { g_log.push_back("view"); }
    void OnUpdate(CCmdUI& cmdUI) {
        cmdUI.Enable(false);
        cmdUI.SetCheck(1);
    }
    void OnUpdatePassOn(CCmdUI& cmdUI) { cmdUI.ContinueRouting(); }
};

const CCommandMap& CLogView::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CLogView>(&CCmdTarget::ThisCommandMap())
                                         .On(kFromView, &CLogView::OnCommand)
                                         .OnUpdate(kUpdate, &CLogView::OnUpdate)
                                         .OnUpdate(kUpdatePassOn, &CLogView::OnUpdatePassOn)
                                         .Build();
    return s_map;
}

class CLogDoc : public CTextDoc {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    using CTextDoc::CTextDoc;
    void OnCommand() { g_log.push_back("doc"); }
    bool OnDecline(unsigned) {
        g_log.push_back("doc declined");
        return false;
    }
    void OnUpdate(CCmdUI& cmdUI) {
        cmdUI.Enable(true);
        cmdUI.SetText(QStringLiteral("from doc"));
    }
    void OnUpdateOnly(CCmdUI& cmdUI) { cmdUI.SetRadio(true); }
    void OnRange(unsigned nID) { g_log.push_back("range " + std::to_string(nID)); }
    // Replaces the document's own File Save handler.
    void OnFileSaveHere() { g_log.push_back("doc save"); }
};

const CCommandMap& CLogDoc::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CLogDoc>(&CDocument::ThisCommandMap())
                                         .On(kFromView, &CLogDoc::OnCommand)
                                         .On(kFromDoc, &CLogDoc::OnCommand)
                                         .OnEx(kDocDeclines, &CLogDoc::OnDecline)
                                         .OnUpdate(kUpdate, &CLogDoc::OnUpdate)
                                         .OnUpdate(kUpdatePassOn, &CLogDoc::OnUpdate)
                                         .OnUpdate(kUpdateOnly, &CLogDoc::OnUpdateOnly)
                                         .OnRange(kRangeFirst, kRangeLast, &CLogDoc::OnRange)
                                         .On(ID_FILE_SAVE, &CLogDoc::OnFileSaveHere)
                                         .Build();
    return s_map;
}

class CLogChild : public CTestChildFrame {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    using CTestChildFrame::CTestChildFrame;
    void OnCommand() { g_log.push_back("child"); }
};

const CCommandMap& CLogChild::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CLogChild>(&CCmdTarget::ThisCommandMap())
                                         .On(kFromView, &CLogChild::OnCommand)
                                         .On(kFromDoc, &CLogChild::OnCommand)
                                         .On(kFromChild, &CLogChild::OnCommand)
                                         .On(kDocDeclines, &CLogChild::OnCommand)
                                         .Build();
    return s_map;
}

class CLogMain : public CTestMainFrame {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    void OnCommand() { g_log.push_back("main"); }
};

const CCommandMap& CLogMain::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CLogMain>(&CCmdTarget::ThisCommandMap())
                                         .On(kFromView, &CLogMain::OnCommand)
                                         .On(kFromDoc, &CLogMain::OnCommand)
                                         .On(kFromChild, &CLogMain::OnCommand)
                                         .On(kFromMain, &CLogMain::OnCommand)
                                         .Build();
    return s_map;
}

class CLogApp : public CScriptedApp {
    QUORVI_DECLARE_COMMAND_MAP()
public:
    void OnCommand() { g_log.push_back("app"); }
};

const CCommandMap& CLogApp::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CLogApp>(&CWinApp::ThisCommandMap())
                                         .On(kFromView, &CLogApp::OnCommand)
                                         .On(kFromDoc, &CLogApp::OnCommand)
                                         .On(kFromChild, &CLogApp::OnCommand)
                                         .On(kFromMain, &CLogApp::OnCommand)
                                         .On(kFromApp, &CLogApp::OnCommand)
                                         .Build();
    return s_map;
}

class RoutingTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        auto pView = std::make_unique<CLogView>();
        m_pView = pView.get();
        m_main.m_children.push_back(std::make_unique<CLogChild>(&m_main, std::move(pView)));
        m_pChild = m_main.m_children.back().get();
        m_doc.AddView(m_pView);
        m_main.m_pActive = m_pChild;
        m_app.SetMainWnd(&m_main);
    }

    std::string Route(unsigned nID) {
        g_log.clear();
        const bool bHandled = m_main.OnCmdMsg(nID, ECmdKind::Command, nullptr);
        std::string strLog = bHandled ? "" : "unhandled";
        for (const std::string& s : g_log)
            strLog += (strLog.empty() ? "" : ",") + s;
        return strLog;
    }

    CLogApp m_app;
    CLogMain m_main;
    CLogDoc m_doc{m_app.Ui()};
    CLogView* m_pView = nullptr;
    CTestChildFrame* m_pChild = nullptr;
};

} // namespace

TEST_F(RoutingTest, FirstTargetInTheChainWins) {
    EXPECT_EQ(Route(kFromView), "view");
    EXPECT_EQ(Route(kFromDoc), "doc");
    EXPECT_EQ(Route(kFromChild), "child");
    EXPECT_EQ(Route(kFromMain), "main");
    EXPECT_EQ(Route(kFromApp), "app");
    EXPECT_EQ(Route(kNobody), "unhandled");
}

TEST_F(RoutingTest, WithoutAnActiveChildTheMainFrameThenTheApplicationAnswer) {
    m_main.m_pActive = nullptr;
    EXPECT_EQ(Route(kFromView), "main");
    EXPECT_EQ(Route(kFromDoc), "main");
    EXPECT_EQ(Route(kFromApp), "app");
}

TEST_F(RoutingTest, AChildFrameAloneDoesNotReachTheApplication) {
    // The application comes after the main frame, so only the top-level frame offers it.
    EXPECT_FALSE(m_pChild->OnCmdMsg(kFromApp, ECmdKind::Command, nullptr));
    EXPECT_FALSE(m_pChild->OnCmdMsg(kFromMain, ECmdKind::Command, nullptr));
    EXPECT_TRUE(m_pChild->OnCmdMsg(kFromChild, ECmdKind::Command, nullptr));
}

TEST_F(RoutingTest, ADecliningHandlerLetsRoutingGoOn) {
    EXPECT_EQ(Route(kDocDeclines), "doc declined,child");
}

TEST_F(RoutingTest, RangeHandlersGetTheId) {
    EXPECT_EQ(Route(kRangeFirst), "range 5020");
    EXPECT_EQ(Route(kRangeLast), "range 5029");
    EXPECT_EQ(Route(kRangeLast + 1), "unhandled");
}

TEST_F(RoutingTest, ADerivedTableHidesTheBaseEntryButKeepsTheRest) {
    EXPECT_EQ(Route(ID_FILE_SAVE), "doc save");
    // File Close comes from the document base's table: the unmodified document closes.
    EXPECT_EQ(Route(ID_FILE_CLOSE), "");
    EXPECT_TRUE(m_pChild->m_bDestroyed);
    EXPECT_EQ(m_main.m_pActive, nullptr);
}

TEST_F(RoutingTest, UpdateHandlersEnableCheckAndRetitle) {
    CCmdUI update(kUpdate);
    EXPECT_TRUE(m_main.OnCmdMsg(kUpdate, ECmdKind::Update, &update));
    // The view's handler answered first; the document's was not asked.
    EXPECT_TRUE(update.EnableChanged());
    EXPECT_FALSE(update.IsEnabled());
    EXPECT_EQ(update.Check(), 1);
    EXPECT_FALSE(update.Text().has_value());

    CCmdUI passOn(kUpdatePassOn);
    EXPECT_TRUE(m_main.OnCmdMsg(kUpdatePassOn, ECmdKind::Update, &passOn));
    EXPECT_TRUE(passOn.IsEnabled());
    EXPECT_EQ(passOn.Text(), QStringLiteral("from doc"));

    CCmdUI radio(kUpdateOnly);
    EXPECT_TRUE(m_main.OnCmdMsg(kUpdateOnly, ECmdKind::Update, &radio));
    EXPECT_TRUE(radio.IsRadio());
    EXPECT_EQ(radio.Check(), 1);
    EXPECT_FALSE(radio.EnableChanged());

    CCmdUI none(kNobody);
    EXPECT_FALSE(m_main.OnCmdMsg(kNobody, ECmdKind::Update, &none));
    EXPECT_FALSE(none.EnableChanged());
}

TEST_F(RoutingTest, HasHandlerAsksWithoutRunning) {
    EXPECT_TRUE(m_main.OnCmdMsg(kFromApp, ECmdKind::HasHandler, nullptr));
    EXPECT_TRUE(m_main.OnCmdMsg(kDocDeclines, ECmdKind::HasHandler, nullptr));
    EXPECT_TRUE(m_main.OnCmdMsg(ID_FILE_OPEN, ECmdKind::HasHandler, nullptr));
    EXPECT_FALSE(m_main.OnCmdMsg(kUpdateOnly, ECmdKind::HasHandler, nullptr));
    EXPECT_FALSE(m_main.OnCmdMsg(kNobody, ECmdKind::HasHandler, nullptr));
    EXPECT_TRUE(g_log.empty());
}

TEST(GuardCommand, TextExceptionsBecomeMessageBoxesOthersAreLogged) {
    CScriptedApp app;
    app.m_boxes.m_answers.push_back(EMsgResult::Ok);
    EXPECT_FALSE(GuardCommand(
        app.Ui(), [] { throw CTextException(11, "End of file reached while decoding.\n"); }));
    ASSERT_EQ(app.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(app.m_boxes.m_shown[0].strText.toStdString(),
              "End of file reached while decoding.\n");
    EXPECT_EQ(app.m_boxes.m_shown[0].icon, EMsgIcon::Stop);
    EXPECT_EQ(app.m_boxes.m_shown[0].strCaption.toStdString(), "Quorvi Studio");

    EXPECT_FALSE(GuardCommand(app.Ui(), [] { throw std::runtime_error("boom"); }));
    EXPECT_FALSE(GuardCommand(app.Ui(), [] { throw 42; }));
    EXPECT_EQ(app.m_boxes.m_shown.size(), 1u);
    EXPECT_TRUE(GuardCommand(app.Ui(), [] {}));
}
