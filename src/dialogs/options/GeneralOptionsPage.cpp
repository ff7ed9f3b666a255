// SPDX-License-Identifier: MIT
// The "General Options" page.
#include "dialogs/options/GeneralOptionsPage.h"

#include "dialogs/options/OptionsOwner.h"
#include "dialogs/options/RangeSpinBox.h"
#include "framework/UiServices.h"
#include "framework/ui/DataExchange.h"
#include "platform/AppSettings.h"
#include "platform/StartupEntry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace opt = platform::options;

namespace {

// The default-action list, in the order it shows them.
constexpr int kDefaultActions[] = {
    platform::ActiveWindow, platform::ActiveWindowClient,
    platform::Desktop,      platform::PopupMenu,
    platform::Control,      platform::Rectangle,
    platform::Square,       platform::Circle,
    platform::Ellipse,      platform::Polygon,
    platform::SingleWindow,
};

QString WithoutMnemonics(QString strCaption) {
    return strCaption.remove(QLatin1Char('&'));
}

} // namespace

CGeneralOptionsPage::CGeneralOptionsPage(const CUiServices& ui, platform::CAppSettings& settings,
                                         IOptionsOwner& owner)
    : COptionsSubDlg(ui, kTemplateID), m_settings(settings), m_owner(owner) {}

void CGeneralOptionsPage::BuildControls() {
    const auto box = [this](const char* pszText, std::uint32_t dwBit) {
        auto* pBox = new QCheckBox(QString::fromLatin1(pszText), this);
        if (dwBit != 0)
            m_flags.push_back(FlagBox{pBox, dwBit, 0});
        return pBox;
    };
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(
        box("&Minimize to system tray when main window minimized", opt::kMinimizeToTray));
    pLayout->addWidget(box("Minimize to system tray on &startup", opt::kStartHidden));
    pLayout->addWidget(box("&Popup main window after capture", opt::kShowAfterCapture));
    pLayout->addWidget(box("&Enable sounds after capture", opt::kPlaySound));
    auto* pRecentRow = new QHBoxLayout;
    pRecentRow->addWidget(box("&Reset recent file list on exit", opt::kClearRecentAtExit));
    m_pResetRecent = new QPushButton(QStringLiteral("Reset Recent File &List"), this);
    pRecentRow->addStretch(1);
    pRecentRow->addWidget(m_pResetRecent);
    pLayout->addLayout(pRecentRow);
    m_pAutoRun = box("&Automatically run when I log in", 0);
    pLayout->addWidget(m_pAutoRun);
    pLayout->addWidget(box("Prompt to &save modified images", opt::kAskBeforeDiscard));
    pLayout->addWidget(box("&Include mouse pointer on capturing", opt::kIncludePointer));

    pLayout->addSpacing(8);
    pLayout->addLayout(BuildValueRows());
    pLayout->addStretch(1);

    connect(m_pResetRecent, &QPushButton::clicked, this, &CGeneralOptionsPage::OnResetRecentList);
}

QGridLayout* CGeneralOptionsPage::BuildValueRows() {
    auto* pGrid = new QGridLayout;
    m_pDefaultAction = new QComboBox(this);
    auto* pActionLabel = new QLabel(QStringLiteral("Default Capture Action:"), this);
    pActionLabel->setBuddy(m_pDefaultAction);
    pGrid->addWidget(pActionLabel, 0, 0);
    pGrid->addWidget(m_pDefaultAction, 0, 1, 1, 3);
    const auto numberRow = [&](int nRow, const char* pszLabel, const char* pszUnit) {
        auto* pEdit = new QLineEdit(this);
        pEdit->setAlignment(Qt::AlignRight);
        pEdit->setMaximumWidth(70);
        auto* pLabel = new QLabel(QString::fromLatin1(pszLabel), this);
        pLabel->setBuddy(pEdit);
        pGrid->addWidget(pLabel, nRow, 0);
        pGrid->addWidget(pEdit, nRow, 1);
        pGrid->addWidget(new QLabel(QString::fromLatin1(pszUnit), this), nRow, 2, 1, 2);
        return pEdit;
    };
    m_pDelay = numberRow(1, "Start capture after 300 + ", "ms");
    m_pUndoMemory = numberRow(2, "Undo history takes at most", "MB (0: a quarter of the memory)");
    pGrid->setColumnStretch(3, 1);
    return pGrid;
}

void CGeneralOptionsPage::OnInitDialog() {
    for (FlagBox& flag : m_flags)
        flag.nChecked = (m_settings.m_dwOptionsA & flag.dwBit) != 0 ? 1 : 0;
    m_bAutoRun = platform::QueryStartupEntry() ? 1 : 0;
    m_bAutoRunBefore = m_bAutoRun;
    m_nDelay = m_settings.m_wCaptureDelayTime;
    m_nUndoMemoryMB = int(std::min<std::uint32_t>(m_settings.m_dwUndoMemoryMB, kMaxUndoMemoryMB));
    FillDefaultActions();
    COptionsSubDlg::OnInitDialog();
}

void CGeneralOptionsPage::FillDefaultActions() {
    m_pDefaultAction->clear();
    for (const int nAction : kDefaultActions)
        m_pDefaultAction->addItem(WithoutMnemonics(m_owner.CaptureActionCaption(nAction)), nAction);
    const int nIndex = m_pDefaultAction->findData(int(m_settings.m_dwDefaultCaptureAction));
    m_pDefaultAction->setCurrentIndex(nIndex >= 0 ? nIndex : 0);
}

void CGeneralOptionsPage::DoDataExchange(CDataExchange& dx) {
    for (FlagBox& flag : m_flags)
        DDX_Check(dx, flag.pBox, flag.nChecked);
    DDX_Check(dx, m_pAutoRun, m_bAutoRun);
    DDX_IntInRange(dx, m_pDelay, m_nDelay, 0, kMaxDelayMs);
    DDX_IntInRange(dx, m_pUndoMemory, m_nUndoMemoryMB, 0, kMaxUndoMemoryMB);
}

void CGeneralOptionsPage::OnResetRecentList() {
    m_owner.ClearRecentFileList();
    m_pResetRecent->setEnabled(false);
}

void CGeneralOptionsPage::OnOK() {
    for (const FlagBox& flag : m_flags) {
        if (flag.nChecked != 0)
            m_settings.m_dwOptionsA |= flag.dwBit;
        else
            m_settings.m_dwOptionsA &= ~flag.dwBit;
    }
    m_settings.m_wCaptureDelayTime = static_cast<std::uint16_t>(m_nDelay);
    m_settings.m_dwUndoMemoryMB = static_cast<std::uint32_t>(m_nUndoMemoryMB);
    if (m_pDefaultAction->currentIndex() >= 0)
        m_settings.m_dwDefaultCaptureAction = m_pDefaultAction->currentData().toUInt();
    StoreStartupEntry();
}

void CGeneralOptionsPage::StoreStartupEntry() {
    // An entry the user left as it was is not rewritten (it may carry changes of their own).
    if (m_bAutoRun == m_bAutoRunBefore)
        return;
    std::string strError;
    if (platform::SetStartupEntry(m_bAutoRun != 0, m_settings.ProgramPath(), &strError))
        return;
    Ui().AppMessageBox(QStringLiteral("The start at login could not be changed: %1")
                           .arg(QString::fromStdString(strError)),
                       EMsgButtons::Ok, EMsgIcon::Exclamation);
}
