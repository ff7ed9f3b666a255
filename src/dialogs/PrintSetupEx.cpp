// SPDX-License-Identifier: MIT
// The print setup dialog.
#include "dialogs/PrintSetupEx.h"

#include "dialogs/PrintLayoutDlg.h"
#include "framework/CommandIds.h"
#include "framework/UiServices.h"
#include "views/PrintLayout.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString StateText(QPrinter::PrinterState state) {
    switch (state) {
    case QPrinter::Idle:
        return QStringLiteral("Ready");
    case QPrinter::Active:
        return QStringLiteral("Printing");
    case QPrinter::Aborted:
        return QStringLiteral("Stopped");
    case QPrinter::Error:
        break;
    }
    return QStringLiteral("Error");
}

// The papers offered when the system has no printer: the layout still needs a page.
QList<QPageSize> CommonPapers() {
    QList<QPageSize> papers;
    for (QPageSize::PageSizeId id :
         {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::B4, QPageSize::B5,
          QPageSize::Letter, QPageSize::Legal, QPageSize::Executive, QPageSize::Tabloid})
        papers << QPageSize(id);
    return papers;
}

QLabel* ValueLabel(QWidget* pParent) {
    auto* pLabel = new QLabel(pParent);
    pLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return pLabel;
}

} // namespace

CPrintSetupEx::CPrintSetupEx(const CUiServices& ui, QPrinter& printer,
                             platform::CAppSettings& settings, std::vector<PrinterEntry> printers,
                             const CImageBitmap* pImage, QWidget* pParent)
    : CDialog(ui, pParent), m_printer(printer), m_settings(settings),
      m_printers(std::move(printers)), m_pImage(pImage) {
    setWindowTitle(QStringLiteral("Print Setup"));
    auto* pOrientation = new QGroupBox(QStringLiteral("Orientation"), this);
    auto* pOrientationRow = new QVBoxLayout(pOrientation);
    m_pPortrait = new QRadioButton(QStringLiteral("P&ortrait"), pOrientation);
    m_pLandscape = new QRadioButton(QStringLiteral("L&andscape"), pOrientation);
    pOrientationRow->addWidget(m_pPortrait);
    pOrientationRow->addWidget(m_pLandscape);

    auto* pButtons = new QDialogButtonBox(this);
    QPushButton* pLayoutButton =
        pButtons->addButton(QStringLiteral("&Layout"), QDialogButtonBox::ActionRole);
    QPushButton* pOk = pButtons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    pButtons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    pOk->setDefault(true);
    connect(pLayoutButton, &QPushButton::clicked, this, &CPrintSetupEx::OnLayout);
    connect(pButtons, &QDialogButtonBox::accepted, this, &CPrintSetupEx::OnOk);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pPaperRow = new QHBoxLayout;
    pPaperRow->addWidget(BuildPaperGroup(), 1);
    pPaperRow->addWidget(pOrientation);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(BuildPrinterGroup());
    pLayout->addLayout(pPaperRow);
    pLayout->addWidget(pButtons);
    connect(m_pPrinters, &QComboBox::currentIndexChanged, this, &CPrintSetupEx::OnPrinterChanged);
}

QWidget* CPrintSetupEx::BuildPrinterGroup() {
    auto* pGroup = new QGroupBox(QStringLiteral("Printer"), this);
    auto* pForm = new QFormLayout(pGroup);
    m_pPrinters = new QComboBox(pGroup);
    for (const PrinterEntry& entry : m_printers)
        m_pPrinters->addItem(entry.strName.isEmpty() ? QStringLiteral("(No printer installed)")
                                                     : entry.strName);
    m_pStatus = ValueLabel(pGroup);
    m_pType = ValueLabel(pGroup);
    m_pWhere = ValueLabel(pGroup);
    m_pComment = ValueLabel(pGroup);
    pForm->addRow(QStringLiteral("&Name:"), m_pPrinters);
    pForm->addRow(QStringLiteral("Status:"), m_pStatus);
    pForm->addRow(QStringLiteral("Type:"), m_pType);
    pForm->addRow(QStringLiteral("Where:"), m_pWhere);
    pForm->addRow(QStringLiteral("Comment:"), m_pComment);
    return pGroup;
}

QWidget* CPrintSetupEx::BuildPaperGroup() {
    auto* pGroup = new QGroupBox(QStringLiteral("Paper"), this);
    auto* pForm = new QFormLayout(pGroup);
    m_pPapers = new QComboBox(pGroup);
    pForm->addRow(QStringLiteral("Si&ze:"), m_pPapers);
    return pGroup;
}

std::vector<PrinterEntry> CPrintSetupEx::SystemPrinters() {
    std::vector<PrinterEntry> printers;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        PrinterEntry entry{
            info.printerName(), StateText(info.state()),   info.makeAndModel(),   info.location(),
            info.description(), info.supportedPageSizes(), info.defaultPageSize()};
        printers.push_back(std::move(entry));
    }
    if (printers.empty())
        printers.push_back(PrinterEntry{QString(), QStringLiteral("No printers are installed."),
                                        QString(), QString(), QString(), CommonPapers(),
                                        QPageSize(QPageSize::A4)});
    return printers;
}

QSize CPrintSetupEx::PageSizeOf(const QPageSize& paper, QPageLayout::Orientation orientation) {
    if (!paper.isValid())
        return {0, 0};
    const QSizeF mm = paper.size(QPageSize::Millimeter);
    const QSize tenths(static_cast<int>(std::lround(mm.width() * 10)),
                       static_cast<int>(std::lround(mm.height() * 10)));
    return orientation == QPageLayout::Portrait ? tenths : tenths.transposed();
}

QSize CPrintSetupEx::SelectedPageSize() const {
    const std::optional<QPageSize> paper = SelectedPaper();
    return PageSizeOf(paper.value_or(QPageSize()),
                      m_pLandscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

std::optional<QPageSize> CPrintSetupEx::SelectedPaper() const {
    const int nPrinter = m_pPrinters->currentIndex();
    const int nPaper = m_pPapers->currentIndex();
    if (nPrinter < 0 || nPaper < 0 || nPaper >= m_printers[nPrinter].papers.size())
        return std::nullopt;
    return m_printers[nPrinter].papers[nPaper];
}

void CPrintSetupEx::OnInitDialog() {
    // The printer the image printer uses now, its paper and orientation.
    int nPrinter = 0;
    for (int i = 0; i < int(m_printers.size()); ++i) {
        if (!m_printers[i].strName.isEmpty() && m_printers[i].strName == m_printer.printerName())
            nPrinter = i;
    }
    m_pPrinters->setCurrentIndex(nPrinter);
    OnPrinterChanged(nPrinter);
    const QPageSize current = m_printer.pageLayout().pageSize();
    const QList<QPageSize>& papers = m_printers[nPrinter].papers;
    for (int i = 0; i < papers.size(); ++i) {
        if (papers[i].isEquivalentTo(current))
            m_pPapers->setCurrentIndex(i);
    }
    const bool bLandscape = m_printer.pageLayout().orientation() == QPageLayout::Landscape;
    (bLandscape ? m_pLandscape : m_pPortrait)->setChecked(true);
}

void CPrintSetupEx::OnPrinterChanged(int nIndex) {
    if (nIndex < 0 || nIndex >= int(m_printers.size()))
        return;
    const PrinterEntry& entry = m_printers[nIndex];
    m_pStatus->setText(entry.strStatus);
    m_pType->setText(entry.strType);
    m_pWhere->setText(entry.strWhere);
    m_pComment->setText(entry.strComment);
    m_pPapers->clear();
    for (const QPageSize& paper : entry.papers) {
        m_pPapers->addItem(paper.name());
        if (paper.isEquivalentTo(entry.defaultPaper))
            m_pPapers->setCurrentIndex(m_pPapers->count() - 1);
    }
}

void CPrintSetupEx::OnLayout() {
    CPrintLayoutDlg dialog(Ui(), PrintLayoutSettings::FromSettings(m_settings), SelectedPageSize(),
                           m_pImage, this);
    connect(&dialog, &CPrintLayoutDlg::helpRequested, this, &CPrintSetupEx::layoutHelpRequested);
    if (dialog.exec() == QDialog::Accepted)
        dialog.Record().ToSettings(m_settings);
}

void CPrintSetupEx::OnOk() {
    const PrinterEntry& entry = m_printers[std::max(m_pPrinters->currentIndex(), 0)];
    if (!entry.strName.isEmpty()) {
        m_printer.setOutputFormat(QPrinter::NativeFormat);
        m_printer.setPrinterName(entry.strName);
    }
    if (const std::optional<QPageSize> paper = SelectedPaper())
        m_printer.setPageSize(*paper);
    m_printer.setPageOrientation(m_pLandscape->isChecked() ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
    accept();
    // A printer that went away since the list was made.
    if (!entry.strName.isEmpty() && !m_printer.isValid())
        Ui().AppMessageBox(IDS_PRINTER_TROUBLE, EMsgButtons::Ok, EMsgIcon::Stop);
}
