// SPDX-License-Identifier: MIT
// CPrintLayoutDlg: "Print Layout": edits a copy of the print layout with a live preview of the
// pages; the caller takes the copy back after OK.
#pragma once

#include "framework/ui/Dialog.h"
#include "views/PrintLayout.h"

#include <optional>

class CImageBitmap;
class CLayoutPage;
class CLayoutPreview;
class QTabWidget;

class CPrintLayoutDlg : public CDialog {
    Q_OBJECT

public:
    // The page size of A4, for a dialog that no print setup opened.
    static constexpr std::int32_t kA4Width = 2100;
    static constexpr std::int32_t kA4Height = 2970;

    // record: the settings' layout (copied). pageSize: the selected paper in tenths of a
    // millimetre (A4 when not given). pImage: the active image or null; it must outlive the
    // dialog.
    CPrintLayoutDlg(const CUiServices& ui, const PrintLayoutSettings& record,
                    std::optional<QSize> pageSize, const CImageBitmap* pImage,
                    QWidget* pParent = nullptr);

    // The edited copy.
    const PrintLayoutSettings& Record() const noexcept { return m_record; }
    CLayoutPage* Page() const noexcept { return m_pPage; }
    CLayoutPreview* Preview() const noexcept { return m_pPreview; }

signals:
    // The Help button: the print layout topic.
    void helpRequested();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;

private:
    PrintLayoutSettings m_record;
    CLayoutPreview* m_pPreview;
    CLayoutPage* m_pPage;
    QTabWidget* m_pTabs;
};
