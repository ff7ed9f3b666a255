// SPDX-License-Identifier: MIT
// CPrintSetupEx: "Print Setup": the printer, its paper and the orientation for the image
// printer's next jobs, with a "&Layout" button that edits the print layout of the settings.
#pragma once

#include "framework/ui/Dialog.h"

#include <QPageLayout>
#include <QPageSize>

#include <optional>
#include <vector>

class CImageBitmap;
class QComboBox;
class QLabel;
class QPrinter;
class QRadioButton;

namespace platform {
class CAppSettings;
}

// One printer as the system lists it.
struct PrinterEntry {
    QString strName; // empty: no printer is installed
    QString strStatus;
    QString strType;
    QString strWhere;
    QString strComment;
    QList<QPageSize> papers;
    QPageSize defaultPaper;
};

class CPrintSetupEx : public CDialog {
    Q_OBJECT

public:
    // printer: the image printer's, changed on OK. settings: their layout is what "&Layout"
    // edits (written back when the layout dialog ends with OK, whatever this dialog ends with).
    // pImage: the active image or null. Each must outlive the dialog.
    CPrintSetupEx(const CUiServices& ui, QPrinter& printer, platform::CAppSettings& settings,
                  std::vector<PrinterEntry> printers, const CImageBitmap* pImage,
                  QWidget* pParent = nullptr);

    // The printers of the system; one entry without a name and with the common papers when
    // there are none.
    static std::vector<PrinterEntry> SystemPrinters();
    // A paper's size in tenths of a millimetre, width first, swapped for landscape; 0 x 0 for
    // no paper.
    static QSize PageSizeOf(const QPageSize& paper, QPageLayout::Orientation orientation);

    // The size of the paper and orientation selected now.
    QSize SelectedPageSize() const;

    QComboBox* PrinterList() const noexcept { return m_pPrinters; }
    QComboBox* PaperList() const noexcept { return m_pPapers; }
    QRadioButton* PortraitButton() const noexcept { return m_pPortrait; }
    QRadioButton* LandscapeButton() const noexcept { return m_pLandscape; }

signals:
    // The layout dialog's Help button.
    void layoutHelpRequested();

protected:
    void OnInitDialog() override;

private:
    QWidget* BuildPrinterGroup();
    QWidget* BuildPaperGroup();
    void OnPrinterChanged(int nIndex);
    void OnLayout();
    void OnOk();
    std::optional<QPageSize> SelectedPaper() const;

    QPrinter& m_printer;
    platform::CAppSettings& m_settings;
    std::vector<PrinterEntry> m_printers;
    const CImageBitmap* m_pImage;
    QComboBox* m_pPrinters = nullptr;
    QLabel* m_pStatus = nullptr;
    QLabel* m_pType = nullptr;
    QLabel* m_pWhere = nullptr;
    QLabel* m_pComment = nullptr;
    QComboBox* m_pPapers = nullptr;
    QRadioButton* m_pPortrait = nullptr;
    QRadioButton* m_pLandscape = nullptr;
};
