// SPDX-License-Identifier: MIT
// Handing back what a dialog changed in its copy of the settings record.
#pragma once

namespace platform {
class CAppSettings;
}

namespace options {

// Every stored value that differs between before and after is written to target; the others
// keep what target holds now (another part of the program may have changed them meanwhile,
// such as the automatic-save counter advanced by a capture while the dialog was open).
void ApplyChangedSettings(const platform::CAppSettings& before, const platform::CAppSettings& after,
                          platform::CAppSettings& target);

} // namespace options
