// SPDX-License-Identifier: MIT
// A display-less application for the document tests: scripted message boxes, file prompts and
// operation dialogs, recorded status texts and view updates, and the real settings record and
// file loader.
#pragma once

#include "codecs/PictureDecoder.h"
#include "document/DocumentHost.h"
#include "document/TavixCaptureDoc.h"
#include "framework/UiServices.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "image/ProgressSink.h"
#include "platform/AppSettings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CImageFilter;

namespace doctest {

class CScriptedFiles final : public IFileDialogs {
public:
    std::optional<QString> PromptFileName(const FilePrompt& prompt) override;
    std::deque<QString> m_answers; // an empty text cancels the prompt
    int m_nPrompts = 0;
};

class CRecordingStatus final : public IStatusText {
public:
    void SetMessageText(const QString& strText) override { m_texts << strText; }
    QStringList m_texts;
};

class CCountingCursor final : public IWaitCursor {
public:
    void Begin() override { ++m_nDepth, ++m_nBegins; }
    void End() override { --m_nDepth; }
    int m_nDepth = 0;
    int m_nBegins = 0;
};

class CRecordingProgress final : public CProgressSink {
public:
    void SetProgress(double fraction) override { m_fractions.push_back(fraction); }
    std::vector<double> m_fractions;
};

// The application object with the services above installed.
class CTestApp : public CWinApp {
public:
    CTestApp();
    ~CTestApp() override;

    testsupport::CScriptedMessageBoxes m_boxes{true};
    CScriptedFiles m_files;
    CRecordingStatus m_status;
    CCountingCursor m_cursor;
    CRecordingProgress m_progress;
};

// The operation dialogs, answered by the test. The size dialog runs m_sizeDialog, which plays
// the user's Apply, Revert and Done on the document.
class CScriptedDialogs final : public IImageDialogs {
public:
    std::optional<int> RunBrightness(CTavixCaptureDoc&) override { return Take(m_brightness); }
    std::optional<ContrastDialogResult> RunContrast(CTavixCaptureDoc&) override {
        return Take(m_contrast);
    }
    std::optional<IntensityDialogResult> RunIntensity(CTavixCaptureDoc&) override {
        return Take(m_intensity);
    }
    std::optional<RotateDialogResult> RunRotate(CTavixCaptureDoc&) override {
        return Take(m_rotate);
    }
    void RunSizeDialog(ESizeDialog kind, CTavixCaptureDoc& doc) override;

    std::optional<int> m_brightness;
    std::optional<ContrastDialogResult> m_contrast;
    std::optional<IntensityDialogResult> m_intensity;
    std::optional<RotateDialogResult> m_rotate;
    std::function<void(ESizeDialog, CTavixCaptureDoc&)> m_sizeDialog;
    int m_nRuns = 0;

private:
    template <class T> std::optional<T> Take(std::optional<T>& slot) {
        ++m_nRuns;
        return std::exchange(slot, std::nullopt);
    }
};

class CTestHost final : public IDocumentHost {
public:
    CTestHost();

    platform::CAppSettings& Settings() override { return m_settings; }
    CPictureDecoder& PictureDecoder() override { return m_decoder; }
    void PostDocumentChange() override { ++m_nDocumentChanges; }
    bool CopyImageToClipboard(const CImageBitmap& image) override;
    IImageDialogs& Dialogs() override { return m_dialogs; }

    platform::CAppSettings m_settings;
    CPictureDecoder m_decoder;
    // What the test's new documents are made from: a capture, else an image (taken).
    std::unique_ptr<CImageBitmap> m_pCapture;
    std::unique_ptr<CImageBitmap> m_pPending;
    std::unique_ptr<CImageBitmap> m_pClipboard;
    int m_nDocumentChanges = 0;
    CScriptedDialogs m_dialogs;
};

// A view that records what its document tells it.
class CRecordingView final : public CView {
public:
    void OnUpdate(CView*, const ViewUpdate& update) override { m_updates.push_back(update); }
    int CountKind(ViewUpdate::EKind kind) const;
    std::vector<ViewUpdate> m_updates;
};

// A 32-bpp image whose pixels all differ, with a fourth byte of 0.
std::unique_ptr<CImageBitmap> MakeTestImage(int width, int height, unsigned seed = 1);
// An 8-bpp image with a palette of distinct colours.
std::unique_ptr<CImageBitmap> MakePaletteImage(int width, int height);
// Empty when a and b have the same size, depth, palette (depth <= 8) and pixels (the fourth
// byte of 32-bpp pixels included unless ignoreFourth); else what differs.
std::string CompareImages(const CImageBitmap& a, const CImageBitmap& b, bool ignoreFourth = false);
// filter applied on a copy of image, the way a command applies it.
std::unique_ptr<CImageBitmap> FilteredCopy(const CImageBitmap& image, CImageFilter& filter);
// A copy of image.
std::unique_ptr<CImageBitmap> CopyOf(const CImageBitmap& image);

// A document with a host and an application, as the tests need them.
class DocumentTest : public ::testing::Test {
protected:
    DocumentTest();
    ~DocumentTest() override;

    // A document made by the framework's new step from host.m_pCapture / m_pPending, titled as
    // the template titles untitled documents.
    std::unique_ptr<CTavixCaptureDoc>
    NewDocument(const QString& strTitle = QStringLiteral("Quorv1"));
    // A document opened from path (expects success).
    std::unique_ptr<CTavixCaptureDoc> OpenDocument(const std::filesystem::path& path);
    // Saves image to dir/name with the real writer (for files to open).
    std::filesystem::path WriteFile(const CImageBitmap& image, const std::string& name);
    // Runs command id on doc through its command table; true when it was handled.
    static bool Run(CTavixCaptureDoc& doc, unsigned nID);
    // The enabled state an update handler gives id.
    static bool IsEnabled(CTavixCaptureDoc& doc, unsigned nID);

    testsupport::CTempDir m_temp;
    std::filesystem::path m_dir;
    std::filesystem::path m_oldCwd;
    CTestApp m_app;
    CTestHost m_host;
};

} // namespace doctest
