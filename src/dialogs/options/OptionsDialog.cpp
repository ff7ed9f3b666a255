// SPDX-License-Identifier: MIT
// One run of the options dialog.
#include "dialogs/options/OptionsDialog.h"

#include "dialogs/options/CaptureOutputPage.h"
#include "dialogs/options/ColorSelectPage.h"
#include "dialogs/options/GeneralOptionsPage.h"
#include "dialogs/options/HotkeyOptionsPage.h"
#include "dialogs/options/ImageSaveOptionsPage.h"
#include "dialogs/options/OptionsOwner.h"
#include "dialogs/options/OptionsTreeDlg.h"
#include "dialogs/options/SettingsChanges.h"
#include "platform/AppSettings.h"

COptionsDialog::COptionsDialog(const CUiServices& ui, platform::CAppSettings& settings,
                               IOptionsOwner& owner, IHotkeyTableAccess& hotkeys, QWidget* pParent)
    : m_ui(ui), m_settings(settings), m_owner(owner), m_hotkeys(hotkeys), m_pParent(pParent) {}

int COptionsDialog::Run() {
    const platform::CAppSettings before = m_settings;
    platform::CAppSettings edited = m_settings;
    CGeneralOptionsPage general(m_ui, edited, m_owner);
    CHotkeyOptionsPage hotkeys(m_ui, m_hotkeys);
    CCaptureOutputPage output(m_ui, edited);
    CColorSelectPage colors(m_ui, edited, m_owner);
    CImageSaveOptionsPage jpeg(m_ui, edited);
    COptionsTreeDlg frame(m_ui, m_pParent);
    frame.AppendPage(&general, QStringLiteral("General Options"));
    frame.AppendPage(&hotkeys, QStringLiteral("Hotkey Options"));
    frame.AppendPage(&output, QStringLiteral("Capture Output"));
    frame.AppendPage(&colors, QStringLiteral("Color Select"));
    frame.AppendPage(&jpeg, QStringLiteral("Image Save Options"));
    frame.SetDialogTitle(QStringLiteral("Options"));
    frame.SetBannerText(QStringLiteral("Quorvi Studio"));
    QObject::connect(&frame, &COptionsTreeDlg::helpRequested, &frame,
                     [this] { m_owner.ShowHelpTopic(kHelpTopic); });
    const int nResult = frame.exec();
    if (nResult == QDialog::Accepted)
        options::ApplyChangedSettings(before, edited, m_settings);
    return nResult;
}
