// SPDX-License-Identifier: MIT
// The "Hotkey Options" page.
#include "dialogs/options/HotkeyOptionsPage.h"

#include "base/HotkeyWord.h"
#include "dialogs/options/HotkeyTableAccess.h"
#include "framework/UiServices.h"
#include "hook/TavixHook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kRowLabels[CHotkeyOptionsPage::kRowCount] = {
    "Active Window Capture HotKey:",
    "Active Window Client Capture HotKey:",
    "Control,Child Window Capture HotKey:",
    "Square Capture HotKey:",
    "Rectangle Capture HotKey:",
    "Circle Capture HotKey:",
    "Ellipse Capture HotKey:",
    "Polygon Capture HotKey:",
    "Menu Capture HotKey:",
    "Desktop Capture HotKey:",
    "Single Window Capture HotKey:",
    "Repeat Last Capture HotKey:",
    "Default Capture HotKey:",
};

// Why Reset leaves some rows empty (the defaults of the settings record).
constexpr const char* kUnsetDefaultsNote =
    "Control, Circle and Single Window have no default hotkey: their obvious keys, Ctrl+N, "
    "Ctrl+Shift+C and Ctrl+Shift+S, are New, a terminal's Copy and Save As in most programs, "
    "and a global hotkey would take them from every program.";

// The keys a hotkey can use, in the order the lists show them: the named keys, the keypad,
// the function keys, digits and letters.
std::vector<std::uint8_t> ListedKeys() {
    std::vector<std::uint8_t> keys{44, 8, 9, 13, 27, 32, 37, 38, 39, 40, 45, 46, 36, 35};
    for (int vk = 0x60; vk <= 0x69; ++vk) // Num 0 - Num 9
        keys.push_back(std::uint8_t(vk));
    keys.insert(keys.end(), {106, 107, 109, 111});
    for (int vk = 0x70; vk <= 0x7B; ++vk) // F1 - F12
        keys.push_back(std::uint8_t(vk));
    for (int vk = '0'; vk <= '9'; ++vk)
        keys.push_back(std::uint8_t(vk));
    for (int vk = 'A'; vk <= 'Z'; ++vk)
        keys.push_back(std::uint8_t(vk));
    return keys;
}

QString StateNote(int nState, std::uint16_t wHotkey) {
    const QString strKey = QString::fromStdString(base::HotkeyText(wHotkey));
    switch (nState) {
    case QRZ_HOTKEY_TAKEN:
        return QStringLiteral("%1 is held by another program").arg(strKey);
    case QRZ_HOTKEY_DUPLICATE:
        return QStringLiteral("%1 is also another action's hotkey").arg(strKey);
    case QRZ_HOTKEY_NO_KEY:
        return QStringLiteral("%1: this keyboard has no such key").arg(strKey);
    case QRZ_HOTKEY_FAILED:
        return QStringLiteral("%1 was refused by the X server").arg(strKey);
    default:
        return {};
    }
}

} // namespace

CHotkeyOptionsPage::CHotkeyOptionsPage(const CUiServices& ui, IHotkeyTableAccess& hotkeys)
    : COptionsSubDlg(ui, kTemplateID), m_hotkeys(hotkeys) {}

void CHotkeyOptionsPage::BuildControls() {
    auto* pGrid = new QGridLayout;
    pGrid->setVerticalSpacing(1);
    pGrid->setHorizontalSpacing(4);
    for (int i = 0; i < kRowCount; ++i)
        AddRow(i, QString::fromLatin1(kRowLabels[i]), *pGrid);
    pGrid->setColumnStretch(4, 1);
    m_pReset = new QPushButton(QStringLiteral("&Reset"), this);
    auto* pUnsetNote = new QLabel(QString::fromLatin1(kUnsetDefaultsNote), this);
    pUnsetNote->setObjectName(QStringLiteral("unsetDefaultsNote"));
    pUnsetNote->setWordWrap(true);
    auto* pBottom = new QHBoxLayout;
    pBottom->addWidget(pUnsetNote, 1);
    pBottom->addWidget(m_pReset, 0, Qt::AlignTop);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setSpacing(4);
    if (const QString strNote = m_hotkeys.KeyBindingNote(); !strNote.isEmpty()) {
        auto* pNote = new QLabel(strNote, this);
        pNote->setObjectName(QStringLiteral("keyBindingNote"));
        pNote->setWordWrap(true);
        pLayout->addWidget(pNote);
    }
    pLayout->addLayout(pGrid);
    pLayout->addLayout(pBottom);
    pLayout->addStretch(1);
    connect(m_pReset, &QPushButton::clicked, this, &CHotkeyOptionsPage::OnReset);
}

void CHotkeyOptionsPage::AddRow(int nRow, const QString& strLabel, QGridLayout& grid) {
    Row& row = m_rows[static_cast<std::size_t>(nRow)];
    row.pCtrl = new QCheckBox(QStringLiteral("Ctrl+"), this);
    row.pAlt = new QCheckBox(QStringLiteral("Alt+"), this);
    row.pShift = new QCheckBox(QStringLiteral("Shift+"), this);
    row.pKey = new QComboBox(this);
    row.pKey->setMinimumContentsLength(9);
    row.pKey->setMaxVisibleItems(16);
    row.pNote = new QLabel(this);
    row.pNote->setStyleSheet(QStringLiteral("color: #b00000"));
    row.pNote->setWordWrap(true);
    row.pNote->hide();
    auto* pLabel = new QLabel(strLabel, this);
    pLabel->setBuddy(row.pKey);
    const int nGridRow = nRow * 2;
    grid.addWidget(pLabel, nGridRow, 0);
    grid.addWidget(row.pCtrl, nGridRow, 1);
    grid.addWidget(row.pAlt, nGridRow, 2);
    grid.addWidget(row.pShift, nGridRow, 3);
    grid.addWidget(row.pKey, nGridRow, 4);
    grid.addWidget(row.pNote, nGridRow + 1, 0, 1, 5);
    for (QCheckBox* pBox : {row.pCtrl, row.pAlt, row.pShift})
        connect(pBox, &QCheckBox::toggled, this, [this, nRow] { UpdateNote(nRow); });
    connect(row.pKey, &QComboBox::currentIndexChanged, this, [this, nRow] { UpdateNote(nRow); });
}

void CHotkeyOptionsPage::FillKeyList(QComboBox& list) const {
    list.clear();
    list.addItem(QStringLiteral("None"), 0);
    for (const std::uint8_t vk : ListedKeys())
        list.addItem(QString::fromStdString(base::KeyName(vk)), int(vk));
}

void CHotkeyOptionsPage::OnInitDialog() {
    m_shown = m_hotkeys.ReadHotkeys();
    for (int i = 0; i < kRowCount; ++i)
        ShowRow(i, m_shown[static_cast<std::size_t>(i)]);
    COptionsSubDlg::OnInitDialog();
}

void CHotkeyOptionsPage::ShowRow(int nRow, std::uint16_t wHotkey) {
    const Row& row = m_rows[static_cast<std::size_t>(nRow)];
    row.pCtrl->setChecked((wHotkey & QRZ_HOTKEY_CTRL) != 0);
    row.pAlt->setChecked((wHotkey & QRZ_HOTKEY_ALT) != 0);
    row.pShift->setChecked((wHotkey & QRZ_HOTKEY_SHIFT) != 0);
    FillKeyList(*row.pKey);
    if (wHotkey == 0) {
        row.pKey->setCurrentIndex(-1);
    } else {
        const int nIndex = row.pKey->findData(int(wHotkey & 0xFF));
        row.pKey->setCurrentIndex(nIndex >= 0 ? nIndex : 0);
    }
    UpdateNote(nRow);
}

std::uint16_t CHotkeyOptionsPage::ReadRow(int nRow) const {
    const Row& row = m_rows[static_cast<std::size_t>(nRow)];
    unsigned nWord = 0;
    if (row.pCtrl->isChecked())
        nWord |= QRZ_HOTKEY_CTRL;
    if (row.pAlt->isChecked())
        nWord |= QRZ_HOTKEY_ALT;
    if (row.pShift->isChecked())
        nWord |= QRZ_HOTKEY_SHIFT;
    if (row.pKey->currentIndex() >= 0)
        nWord |= row.pKey->currentData().toUInt() & 0xFFu;
    return static_cast<std::uint16_t>(nWord);
}

QString CHotkeyOptionsPage::RowNote(int nRow) const {
    const Row& row = m_rows[static_cast<std::size_t>(nRow)];
    return row.pNote->isHidden() ? QString() : row.pNote->text();
}

void CHotkeyOptionsPage::UpdateNote(int nRow) {
    // The library's state speaks of the combination it holds; once the row shows another one
    // nothing is known about it until OK hands it over.
    const Row& row = m_rows[static_cast<std::size_t>(nRow)];
    if (row.pKey->count() == 0)
        return;
    const std::uint16_t wShown = m_shown[static_cast<std::size_t>(nRow)];
    const QString strNote =
        ReadRow(nRow) == wShown ? StateNote(m_hotkeys.HotkeyState(nRow), wShown) : QString();
    row.pNote->setText(strNote);
    row.pNote->setVisible(!strNote.isEmpty());
}

bool CHotkeyOptionsPage::CheckPage() {
    for (int i = 0; i < kRowCount; ++i) {
        const std::uint16_t wWord = ReadRow(i);
        if ((wWord & 0xFF) == 0)
            continue;
        for (int j = i + 1; j < kRowCount; ++j) {
            if (ReadRow(j) == wWord) {
                Ui().AppMessageBox(
                    QStringLiteral("There are the same hotkey between capture actions!"),
                    EMsgButtons::Ok, EMsgIcon::None);
                return false;
            }
        }
    }
    return true;
}

void CHotkeyOptionsPage::OnOK() {
    // Entries past the capture actions stay as the library holds them.
    platform::HotkeyTable table = m_hotkeys.ReadHotkeys();
    for (int i = 0; i < kRowCount; ++i)
        table[static_cast<std::size_t>(i)] = ReadRow(i);
    m_hotkeys.WriteHotkeys(table);
    ReportUnusableChanges(table);
}

void CHotkeyOptionsPage::ReportUnusableChanges(const platform::HotkeyTable& table) {
    // A combination the user just chose that cannot work would otherwise fail in silence.
    QStringList notes;
    for (int i = 0; i < kRowCount; ++i) {
        const auto nIndex = static_cast<std::size_t>(i);
        if (table[nIndex] != m_shown[nIndex])
            notes << StateNote(m_hotkeys.HotkeyState(i), table[nIndex]);
    }
    notes.removeAll(QString());
    if (notes.isEmpty())
        return;
    Ui().AppMessageBox(QStringLiteral("These hotkeys do not work:\n%1").arg(notes.join('\n')),
                       EMsgButtons::Ok, EMsgIcon::Exclamation);
}

void CHotkeyOptionsPage::OnReset() {
    const platform::CAppSettings defaults{std::string()};
    for (int i = 0; i < kRowCount; ++i)
        ShowRow(i, defaults.Hotkeys()[static_cast<std::size_t>(i)]);
}
