// SPDX-License-Identifier: MIT
// The file-type lists of the open and save dialogs, as Qt name filters ("Text (*.a *.b)").
#pragma once

#include <QString>
#include <QStringList>

namespace dialogs {

// Every format the loader reads, one entry each, then "All supported graphic formats" (all
// of them) and all files.
QStringList OpenImageFilters();
// The entry the open dialog starts with: "All supported graphic formats".
int OpenImageFilterDefault();

// The five formats the writers produce, JPEG first.
QStringList SaveImageFilters();
// The extension (without the dot) of a save filter's first pattern, empty for none.
QString FilterExtension(const QString& strFilter);

} // namespace dialogs
