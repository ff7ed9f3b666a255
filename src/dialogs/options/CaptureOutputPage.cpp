// SPDX-License-Identifier: MIT
// The "Capture Output" page.
#include "dialogs/options/CaptureOutputPage.h"

#include "dialogs/options/FolderBrowser.h"
#include "dialogs/options/RangeSpinBox.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"
#include "framework/ui/DataExchange.h"
#include "platform/AppSettings.h"
#include "platform/ProgramPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace opt = platform::options;
namespace autosave = platform::autosave;

namespace {

constexpr int kMinDigits = 2;
constexpr int kMaxDigits = 6;
constexpr int kMaxStartNumber = 999999;
constexpr int kIndent = 20; // px, dependent boxes under the one they depend on

QLabel* Label(const char* pszText, QWidget* pParent, QWidget* pBuddy = nullptr) {
    auto* pLabel = new QLabel(QString::fromLatin1(pszText), pParent);
    if (pBuddy != nullptr)
        pLabel->setBuddy(pBuddy);
    return pLabel;
}

// The typing cap must not cut a longer stored text: it shows whole, and OK asks for a shorter one.
void ShowWhole(QLineEdit* pEdit, const QString& strText, int nCap) {
    if (strText.size() <= nCap)
        return;
    pEdit->setMaxLength(static_cast<int>(strText.size()));
    pEdit->setText(strText);
}

QHBoxLayout* Indented(QWidget* pWidget) {
    auto* pRow = new QHBoxLayout;
    pRow->addSpacing(kIndent);
    pRow->addWidget(pWidget);
    return pRow;
}

} // namespace

CCaptureOutputPage::CCaptureOutputPage(const CUiServices& ui, platform::CAppSettings& settings)
    : COptionsSubDlg(ui, kTemplateID), m_settings(settings) {}

QString CCaptureOutputPage::StoredLeadName(const QString& strTyped) {
    static const QString s_strForbidden = QStringLiteral("\\/:*?\"<>|.");
    for (qsizetype i = 0; i < strTyped.size(); ++i) {
        if (s_strForbidden.contains(strTyped[i]))
            return strTyped.left(i);
    }
    return strTyped;
}

QCheckBox* CCaptureOutputPage::AddFlag(const char* pszText, std::uint32_t dwBit,
                                       bool bAutoSaveOptions) {
    auto* pBox = new QCheckBox(QString::fromLatin1(pszText), this);
    m_flags.push_back(FlagBox{pBox, dwBit, bAutoSaveOptions, 0});
    return pBox;
}

void CCaptureOutputPage::BuildControls() {
    auto* pLayout = new QVBoxLayout(this);
    m_pWindow = AddFlag("Create an image &window after capturing an image", opt::kOpenImageWindow);
    pLayout->addWidget(m_pWindow);
    pLayout->addWidget(AddFlag("&Copy the image to the clipboard after capturing an image",
                               opt::kCopyToClipboard));
    m_pPrint =
        AddFlag("&Print the image on a printer after capturing an image", opt::kPrintCapture);
    pLayout->addWidget(m_pPrint);
    pLayout->addLayout(Indented(AddFlag(
        "S&kip the Print dialog and use the current printer settings.", opt::kPrintWithoutDialog)));
    m_pSave = AddFlag("&Save the image to a file after capturing an image", opt::kSaveToFile);
    pLayout->addWidget(m_pSave);
    BuildNamingGroup(*pLayout);
    pLayout->addStretch(1);

    connect(m_pSave, &QCheckBox::toggled, this, &CCaptureOutputPage::OnSaveToggled);
    connect(m_pPrint, &QCheckBox::toggled, this, &CCaptureOutputPage::OnPrintToggled);
    connect(m_pAutoName, &QCheckBox::toggled, this, [this] { EnableSaveControls(); });
}

void CCaptureOutputPage::BuildNamingGroup(QVBoxLayout& layout) {
    m_pAutoName = AddFlag("&Automatically name and save the image using the following settings:",
                          opt::kAutoNameFile);
    m_pPath = new QLineEdit(this);
    auto* pBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_pLead = new QLineEdit(this);
    m_pLead->setMaximumWidth(110);
    m_pDigits = new CRangeSpinBox(kMinDigits, kMaxDigits, this);
    m_pStart = new CRangeSpinBox(1, kMaxStartNumber, this);
    m_pStart->setMinimumWidth(90);
    m_pType = new QComboBox(this);
    QLabel* pPathLabel = Label("Save files in &directory:", this, m_pPath);
    QLabel* pLeadLabel = Label("File names begin with", this, m_pLead);
    QLabel* pDigitsLabel = Label("and end with a", this, m_pDigits);
    QLabel* pStartLabel = Label("digit counter starting with", this, m_pStart);
    QLabel* pTypeLabel = Label("Save image as:", this, m_pType);
    QCheckBox* pReplace = AddFlag("&Replace existing files", autosave::kReplaceExisting, true);
    QCheckBox* pReset = AddFlag("Reset counter on startup", autosave::kResetCounterAtStart, true);
    QCheckBox* pWrap = AddFlag("Wrap counter", autosave::kWrapCounter, true);

    auto* pGrid = new QGridLayout;
    pGrid->setColumnMinimumWidth(0, kIndent * 2);
    pGrid->addWidget(m_pAutoName, 0, 1, 1, 4);
    pGrid->addWidget(pPathLabel, 1, 1, 1, 4);
    pGrid->addWidget(m_pPath, 2, 1, 1, 3);
    pGrid->addWidget(pBrowse, 2, 4);
    auto* pNameRow = new QHBoxLayout;
    for (QWidget* pWidget : {static_cast<QWidget*>(pLeadLabel), static_cast<QWidget*>(m_pLead),
                             static_cast<QWidget*>(pDigitsLabel), static_cast<QWidget*>(m_pDigits)})
        pNameRow->addWidget(pWidget);
    pNameRow->addStretch(1);
    pGrid->addLayout(pNameRow, 3, 1, 1, 4);
    auto* pStartRow = new QHBoxLayout;
    pStartRow->addWidget(pStartLabel);
    pStartRow->addWidget(m_pStart);
    pStartRow->addStretch(1);
    pGrid->addLayout(pStartRow, 4, 1, 1, 4);
    auto* pTypeRow = new QHBoxLayout;
    pTypeRow->addWidget(pTypeLabel);
    pTypeRow->addWidget(m_pType);
    pTypeRow->addStretch(1);
    pGrid->addLayout(pTypeRow, 5, 1, 1, 4);
    pGrid->addWidget(pReplace, 6, 1, 1, 4);
    pGrid->addWidget(pReset, 7, 1, 1, 4);
    pGrid->addWidget(pWrap, 8, 1, 1, 4);
    pGrid->setColumnStretch(3, 1);
    layout.addLayout(pGrid);

    m_namingControls = {pPathLabel, pLeadLabel, pDigitsLabel, pStartLabel, pTypeLabel,
                        m_pStart,   m_pDigits,  m_pType,      pReplace,    pReset,
                        pWrap,      m_pPath,    m_pLead,      pBrowse};
    m_saveControls = m_namingControls;
    m_saveControls.append(m_pAutoName);
    connect(pBrowse, &QPushButton::clicked, this, &CCaptureOutputPage::OnBrowse);
}

void CCaptureOutputPage::OnInitDialog() {
    for (FlagBox& flag : m_flags) {
        const std::uint32_t dwWord =
            flag.bAutoSaveOptions ? m_settings.m_dwAutoSaveOptions : m_settings.m_dwOptionsA;
        flag.nChecked = (dwWord & flag.dwBit) != 0 ? 1 : 0;
    }
    m_strPath = QString::fromStdString(m_settings.m_strAutoSavePath);
    m_strLead = QString::fromStdString(m_settings.m_strAutoSaveLeadFileName);
    m_nDigits = m_settings.m_wAutoSaveDigitCount % 7;
    m_nStart = static_cast<int>(m_settings.m_dwAutoSaveStartNO % 1000000);
    FillTypeList();
    COptionsSubDlg::OnInitDialog();
    ShowWhole(m_pPath, m_strPath, kMaxPathChars);
    ShowWhole(m_pLead, m_strLead, kMaxLeadChars);
    EnableSaveControls();
}

void CCaptureOutputPage::FillTypeList() {
    m_pType->clear();
    const std::pair<const char*, int> types[] = {
        {"JPEG", 1}, {"Bitmap", 0}, {"PNG", 2}, {"GIF", 3}, {"TIFF", 4}};
    for (const auto& [pszName, nType] : types)
        m_pType->addItem(QString::fromLatin1(pszName), nType);
    const int nIndex = m_pType->findData(int(m_settings.m_dwAutoSaveImageType));
    m_pType->setCurrentIndex(nIndex >= 0 ? nIndex : 0);
}

void CCaptureOutputPage::DoDataExchange(CDataExchange& dx) {
    for (FlagBox& flag : m_flags)
        DDX_Check(dx, flag.pBox, flag.nChecked);
    DDX_Text(dx, m_pPath, m_strPath);
    DDV_MaxChars(dx, m_strPath, kMaxPathChars);
    // A relative folder would follow the current folder, which moves with every file opened.
    if (dx.IsSaving() && !dx.Failed() && !platform::IsAbsolutePathSetting(m_strPath.toStdString()))
        dx.Fail(QStringLiteral("Please enter the full path of the folder, starting with /."));
    DDX_Text(dx, m_pLead, m_strLead);
    DDV_MaxChars(dx, m_strLead, kMaxLeadChars);
    DDX_IntInRange(dx, m_pDigits, m_nDigits);
    DDX_IntInRange(dx, m_pStart, m_nStart);
}

bool CCaptureOutputPage::SavesAutomatically() const {
    return m_pSave->isChecked() && m_pAutoName->isChecked();
}

bool CCaptureOutputPage::CheckPage() {
    // Only automatic saves use the folder; an empty one is the engine's to refuse.
    if (!SavesAutomatically() || m_strPath.isEmpty())
        return true;
    return OutputFolderIsThere() || FailOn(m_pPath);
}

bool CCaptureOutputPage::OutputFolderIsThere() {
    const std::filesystem::path folder = m_strPath.toStdString();
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    // Something else of that name gets no question: making the folder fails, with the reason.
    if (!std::filesystem::exists(folder, error) &&
        Ui().AppMessageBox(
            QStringLiteral("The folder %1 does not exist. Create it?").arg(m_strPath),
            EMsgButtons::YesNo, EMsgIcon::Question) != EMsgResult::Yes)
        return false;
    std::string strError;
    if (platform::EnsureOutputDirectory(folder, &strError))
        return true;
    QString strReason = QString::fromStdString(strError);
    if (!strReason.isEmpty())
        strReason[0] = strReason[0].toUpper();
    Ui().AppMessageBox(strReason + QLatin1Char('.'), EMsgButtons::Ok, EMsgIcon::Exclamation);
    return false;
}

void CCaptureOutputPage::EnableSaveControls() {
    // The naming fields follow the naming box only while saving is on at all.
    const bool bSave = m_pSave->isChecked();
    m_pAutoName->setEnabled(bSave);
    const bool bNaming = bSave && m_pAutoName->isChecked();
    for (QWidget* pControl : m_namingControls)
        pControl->setEnabled(bNaming);
}

void CCaptureOutputPage::OnSaveToggled(bool bChecked) {
    // A saved capture goes through an image window.
    if (bChecked && !m_pWindow->isChecked())
        m_pWindow->setChecked(true);
    EnableSaveControls();
}

void CCaptureOutputPage::OnPrintToggled(bool bChecked) {
    if (bChecked && !m_pWindow->isChecked())
        m_pWindow->setChecked(true);
}

void CCaptureOutputPage::OnBrowse() {
    const CFolderBrowser browser(this, LoadString(IDS_CHOOSE_DIRECTORY));
    if (const auto strFolder = browser.Browse(m_pPath->text()))
        m_pPath->setText(*strFolder);
}

void CCaptureOutputPage::OnOK() {
    for (const FlagBox& flag : m_flags) {
        std::uint32_t& dwWord =
            flag.bAutoSaveOptions ? m_settings.m_dwAutoSaveOptions : m_settings.m_dwOptionsA;
        dwWord = flag.nChecked != 0 ? (dwWord | flag.dwBit) : (dwWord & ~flag.dwBit);
    }
    // Printing and saving go through an image window, whatever its box says.
    if (m_pPrint->isChecked() || m_pSave->isChecked())
        m_settings.m_dwOptionsA |= opt::kOpenImageWindow;
    m_settings.m_strAutoSavePath = m_strPath.toStdString();
    m_settings.m_strAutoSaveLeadFileName = StoredLeadName(m_strLead).toStdString();
    m_settings.m_wAutoSaveDigitCount = static_cast<std::uint16_t>(m_nDigits % 7);
    m_settings.m_dwAutoSaveStartNO = static_cast<std::uint32_t>(m_nStart % 1000000);
    if (m_pType->currentIndex() >= 0)
        m_settings.m_dwAutoSaveImageType = m_pType->currentData().toUInt();
}
