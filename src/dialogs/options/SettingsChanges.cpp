// SPDX-License-Identifier: MIT
// Handing back a dialog's changes to the settings record.
#include "dialogs/options/SettingsChanges.h"

#include "platform/AppSettings.h"

#include <type_traits>
#include <variant>

namespace options {

void ApplyChangedSettings(const platform::CAppSettings& before, const platform::CAppSettings& after,
                          platform::CAppSettings& target) {
    for (const platform::SettingField& field : platform::SettingFields()) {
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    if (!(after.*member == before.*member))
                        target.*member = after.*member;
                }
            },
            field.member);
    }
}

} // namespace options
