// SPDX-License-Identifier: MIT
// Where dialogs open and how large: the file dialogs take a share of the screen, with columns
// sized for their text; the dialogs that change the image while they are open show beside its
// window.
#pragma once

class QFileDialog;
class QWidget;

namespace dialogs {

// Gives a non-native file dialog its starting size, about three fifths of the available area
// of its parent's screen (never less than its controls need or a list with room for names,
// never more than the area), and its detail columns: size, type and date as wide as their
// text, the names the rest of the width.
void FitFileDialog(QFileDialog& dialog);

// Moves the top-level dialog, before it shows, beside the visible part of the image window on
// that window's screen: on the first side with room (right, left, below, above); when none has
// room, into the corner of the screen that covers the least of the window, and never its
// centre where a corner can leave it in view.
void MoveBeside(QWidget& dialog, const QWidget& imageWindow);

} // namespace dialogs
