// SPDX-License-Identifier: MIT
// Working the options dialog as a user does: clicking a page in its tree, typing into a field.
#pragma once

#include "dialogs/options/OptionsTreeDlg.h"
#include "support/ModalDriver.h"
#include "support/QtWait.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdint>

namespace apptest {

// "OptionsA" with the main window shown and no tray hiding, as the options tests start.
inline constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;

// Clicks page nIndex in the tree and waits until it shows.
inline void ShowPage(COptionsTreeDlg& dlg, int nIndex) {
    QTreeWidget* pTree = dlg.Tree();
    QTreeWidgetItem* pItem = pTree->topLevelItem(nIndex);
    ASSERT_NE(pItem, nullptr);
    QTest::mouseClick(pTree->viewport(), Qt::LeftButton, {}, pTree->visualItemRect(pItem).center());
    ASSERT_TRUE(testsupport::WaitUntilPumping([&] { return dlg.CurrentPage() == nIndex; }));
}

inline void ClickOk(COptionsTreeDlg& dlg) {
    testsupport::ButtonWithText<QPushButton>(dlg, QStringLiteral("OK"))->click();
}

// Replaces the field's text by typing strText.
inline void TypeInto(QWidget* pField, const QString& strText) {
    ASSERT_NE(pField, nullptr);
    if (auto* pSpin = qobject_cast<QAbstractSpinBox*>(pField))
        pSpin->selectAll();
    else if (auto* pEdit = qobject_cast<QLineEdit*>(pField))
        pEdit->selectAll();
    QTest::keyClicks(pField, strText);
}

} // namespace apptest
