// SPDX-License-Identifier: MIT
// CPreviewDlg: base of the dialogs that show their operation applied to the image inside the
// dialog (brightness, contrast, intensity, rotate) and hand the values back. OK ends the run as
// accepted only when a value differs from where it started, so that an unchanged OK applies
// nothing and adds no undo step.
#pragma once

#include "dialogs/ValueRow.h"
#include "framework/ui/Dialog.h"

#include <memory>
#include <vector>

class CImageBitmap;
class CImageFilter;
class CImagePreview;
class QDialogButtonBox;
class QGridLayout;
class QVBoxLayout;

class CPreviewDlg : public CDialog {
    Q_OBJECT

public:
    // pImage: the document's image (may be null: the preview stays empty); it must outlive the
    // dialog and is only read.
    CPreviewDlg(const CUiServices& ui, const CImageBitmap* pImage, QWidget* pParent);

    // OK: accepted when a value was changed, otherwise rejected.
    void accept() override;
    // True once a value differs from its initial position.
    bool IsChanged() const;

    CImagePreview* Preview() const noexcept { return m_pPreview; }
    QDialogButtonBox* Buttons() const noexcept { return m_pButtons; }

signals:
    void helpRequested();

protected:
    // Adds a value row under the earlier ones; its changes redraw the preview.
    CValueRow* AddRow(const ValueRowSpec& spec);
    // The layout above the preview, for controls beside the rows.
    QVBoxLayout* TopLayout() const noexcept { return m_pTop; }
    // The operation with the values shown now, as the document will apply it.
    virtual std::unique_ptr<CImageFilter> MakeFilter() const = 0;
    void UpdatePreview();
    void OnInitDialog() override;

private:
    struct RowStart {
        CValueRow* pRow;
        int nInitial;
    };

    const CImageBitmap* m_pImage;
    QGridLayout* m_pRows;
    QVBoxLayout* m_pTop;
    CImagePreview* m_pPreview;
    QDialogButtonBox* m_pButtons;
    std::vector<RowStart> m_rows;
    bool m_bAttached = false;
};
