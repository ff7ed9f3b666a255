// SPDX-License-Identifier: MIT
// How large dialogs open: the file dialogs take a share of the screen, with columns sized for
// their text.
#pragma once

class QFileDialog;

namespace dialogs {

// Gives a non-native file dialog its starting size, about three fifths of the available area
// of its parent's screen (never less than its controls need or a list with room for names,
// never more than the area), and its detail columns: size, type and date as wide as their
// text, the names the rest of the width.
void FitFileDialog(QFileDialog& dialog);

} // namespace dialogs
