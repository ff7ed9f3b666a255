// SPDX-License-Identifier: MIT
// CLiveApplyDlg: base of the size dialogs (resize, scale, stretch), which change the document's
// image at once. Apply resamples the image as it was when the dialog opened (the document's
// snapshot) and keeps the result as the history's pending change; Revert takes it back; Done
// makes an applied change one undo step. Closing the dialog any other way (Escape, the close
// box) reverts an applied change, so nothing stays in the image without its undo step.
#pragma once

#include "dialogs/ExpandingDlg.h"
#include "dialogs/ValueRow.h"
#include "document/DocumentHost.h"
#include "image/ResampleKernels.h"

#include <QSize>

#include <array>

class CTavixCaptureDoc;
class QCheckBox;
class QGridLayout;
class QRadioButton;

class CLiveApplyDlg : public CExpandingDlg {
    Q_OBJECT

public:
    // One method button: its text and the kernel it stands for.
    struct MethodButton {
        const char* pszText;
        img::ResampleKernel kernel;
    };
    struct Layout {
        const char* pszTitle;
        const char* pszMethodGroup;
        std::array<MethodButton, 4> methods; // in the order shown, the first checked at start
        ValueRowSpec radius;
    };

    // The document must hold its snapshot (TakeOriginalSnapshot) for the whole run.
    CLiveApplyDlg(const CUiServices& ui, CTavixCaptureDoc& doc, ESizeDialog kind,
                  const Layout& layout, QWidget* pParent);

    void reject() override;

    QPushButton* ApplyButton() const noexcept { return m_pApply; }
    QPushButton* RevertButton() const noexcept { return m_pRevert; }
    QPushButton* DoneButton() const noexcept { return m_pDone; }
    QRadioButton* MethodRadio(int nIndex) const { return m_methods.at(std::size_t(nIndex)); }
    CValueRow* RadiusRow() const noexcept { return m_pRadius; }
    // "Keep aspect ratio" of the dialogs that take both sides; null for the others.
    QCheckBox* KeepAspectCheck() const noexcept { return m_pKeepAspect; }

signals:
    void helpRequested();

protected:
    // Adds a size row above the advanced part; its changes enable Apply and the methods.
    CValueRow* AddSizeRow(const ValueRowSpec& spec);
    // Adds "Keep aspect ratio" below the size rows (once).
    QCheckBox* AddKeepAspectCheck(bool bChecked);
    // The size Apply resamples to, from the rows and the snapshot's size.
    virtual QSize TargetSize() const = 0;
    // After Revert: the rows show the image as it is again.
    virtual void ShowRevertedSize() = 0;
    const CTavixCaptureDoc& Doc() const noexcept { return m_doc; }
    // The snapshot's size (the image's when there is none).
    QSize BaseSize() const;

private:
    void OnSizeChanged();
    void OnRadiusChanged();
    void OnMethodClicked(int nIndex);
    void OnApply();
    void OnRevert();
    void OnDone();
    void EnableMethods(bool bEnable);
    img::ResampleKernel CheckedKernel() const;

    CTavixCaptureDoc& m_doc;
    ESizeDialog m_kind;
    Layout m_layout;
    int m_nMethod = 0;
    QGridLayout* m_pRows;
    CValueRow* m_pRadius;
    std::array<QRadioButton*, 4> m_methods{};
    QPushButton* m_pApply;
    QPushButton* m_pRevert;
    QPushButton* m_pDone;
    QCheckBox* m_pKeepAspect = nullptr;
};
