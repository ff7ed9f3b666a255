// SPDX-License-Identifier: MIT
// Frames, views and a small text document without widgets, for the routing and document tests
// of the framework core. The widget frames of framework/ui are tested in tests/framework_ui.
#pragma once

#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/UiServices.h"
#include "framework/View.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <memory>
#include <vector>

class CTestMainFrame;

class CTestView : public CView {
public:
    void OnInitialUpdate() override { ++m_nInitialUpdates; }
    void OnUpdate(CView* pSender, const ViewUpdate& update) override {
        m_updates.emplace_back(pSender, update.kind);
    }
    int m_nInitialUpdates = 0;
    std::vector<std::pair<CView*, ViewUpdate::EKind>> m_updates;
};

class CTestChildFrame : public CFrameWnd {
public:
    CTestChildFrame(CTestMainFrame* pMain, std::unique_ptr<CTestView> pView)
        : m_pMain(pMain), m_pView(std::move(pView)) {
        m_pView->SetParentFrame(this);
    }
    CFrameWnd* GetParentFrame() const override;
    CView* GetActiveView() const override { return m_pView.get(); }
    void ActivateFrame() override;
    void DestroyFrame() override;
    void RequestClose() override {
        CDocument* pDoc = GetActiveDocument();
        if (pDoc != nullptr && !pDoc->CanCloseFrame(this))
            return;
        if (pDoc != nullptr && pDoc->Views().size() == 1)
            pDoc->OnCloseDocument();
        else
            DestroyFrame();
    }
    void OnUpdateFrameTitle() override {
        CDocument* pDoc = GetActiveDocument();
        m_strCaption = pDoc != nullptr ? TitleFor(pDoc->GetTitle()) : QString();
    }

    CTestView* View() const { return m_pView.get(); }
    QString m_strCaption;
    bool m_bDestroyed = false;

private:
    CTestMainFrame* m_pMain;
    std::unique_ptr<CTestView> m_pView;
};

class CTestMainFrame : public CFrameWnd {
public:
    CFrameWnd* GetActiveChildFrame() const override { return m_pActive; }
    CView* GetActiveView() const override {
        return m_pActive != nullptr ? m_pActive->GetActiveView() : nullptr;
    }
    void ActivateFrame() override {}
    void DestroyFrame() override {}
    void RequestClose() override { ++m_nCloseRequests; }

    CTestChildFrame* AddChild(std::unique_ptr<CTestView> pView) {
        m_children.push_back(std::make_unique<CTestChildFrame>(this, std::move(pView)));
        return m_children.back().get();
    }
    int LiveChildren() const {
        return static_cast<int>(std::count_if(m_children.begin(), m_children.end(),
                                              [](const auto& p) { return !p->m_bDestroyed; }));
    }

    CTestChildFrame* m_pActive = nullptr;
    int m_nCloseRequests = 0;
    std::vector<std::unique_ptr<CTestChildFrame>> m_children;
};

inline CFrameWnd* CTestChildFrame::GetParentFrame() const {
    return m_pMain;
}

inline void CTestChildFrame::ActivateFrame() {
    m_pMain->m_pActive = this;
}

inline void CTestChildFrame::DestroyFrame() {
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    if (m_pMain->m_pActive == this)
        m_pMain->m_pActive = nullptr;
    // The view leaves its document as it goes, like a widget view deleted with its window.
    m_pView.reset();
}

// A document of plain text: enough to see open, save and close work on real files.
class CTextDoc : public CDocument {
public:
    explicit CTextDoc(CUiServices& ui) : CDocument(ui) {}
    bool OnNewDocument() override {
        if (!CDocument::OnNewDocument())
            return false;
        m_strText = QStringLiteral("new");
        return true;
    }
    bool OnOpenDocument(const QString& strPath) override {
        DeleteContents();
        QFile file(strPath);
        if (!file.open(QIODevice::ReadOnly)) {
            Ui().AppMessageBox(QStringLiteral("Cannot read %1").arg(strPath));
            return false;
        }
        m_strText = QString::fromUtf8(file.readAll());
        SetModifiedFlag(false);
        return true;
    }
    bool OnSaveDocument(const QString& strPath, ESaveKind) override {
        QSaveFile file(strPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(m_strText.toUtf8()) < 0 ||
            !file.commit()) {
            Ui().AppMessageBox(QStringLiteral("Cannot write %1").arg(strPath));
            return false;
        }
        ++m_nSaves;
        SetModifiedFlag(false);
        return true;
    }
    void DeleteContents() override { m_strText.clear(); }

    QString m_strText;
    int m_nSaves = 0;
};

class CTextDocTemplate : public CDocTemplate {
public:
    explicit CTextDocTemplate(CTestMainFrame* pMain)
        : CDocTemplate(129, [](CUiServices& ui) { return std::make_unique<CTextDoc>(ui); }),
          m_pMain(pMain) {}
    CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd*) override {
        if (m_bFailFrames)
            return nullptr;
        auto pView = std::make_unique<CTestView>();
        CTestView* pRawView = pView.get();
        CTestChildFrame* pFrame = m_pMain->AddChild(std::move(pView));
        pDoc->AddView(pRawView);
        return pFrame;
    }

    bool m_bFailFrames = false;

private:
    CTestMainFrame* m_pMain;
};
