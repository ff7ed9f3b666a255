// SPDX-License-Identifier: MIT
// Where a capture goes: an image window or straight to the clipboard; the new image window's
// outputs (clipboard, automatic save, print) in their order; the automatic file name with its
// messages and counter.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class CUiServices;

namespace platform {
class CAppSettings;
struct HiveLocations;
} // namespace platform

namespace capture {

// True when a delivery opens a new image window: "OptionsA" asks for the window, printing or
// saving (both need one), or for no output at all. Otherwise the capture goes only to the
// clipboard.
bool DeliveryOpensDocument(std::uint32_t dwOptionsA) noexcept;

// What the new image window does with its capture.
class ICaptureOutputTarget {
public:
    virtual ~ICaptureOutputTarget() = default;
    virtual void CopyToClipboard() = 0;
    // Saves the document; the file name comes from PromptAutoSaveFileName when bAutoName.
    virtual void SaveCapture(bool bAutoName) = 0;
    virtual void PrintCapture(bool bWithoutDialog) = 0;
};

// The image window's capture output step: clipboard, save, print, in this order, as "OptionsA"
// asks.
void RunCaptureOutput(std::uint32_t dwOptionsA, ICaptureOutputTarget& target);

// Whether the automatic-save counter could be stored the last time, and whether the user has
// been told that it could not; kept by the owner of the automatic saves for the run.
struct CounterStoreState {
    bool bFailing = false;
    bool bTold = false;
};

// The automatic file name of the next save, or nothing when there is none: string 143 when the
// counter is exhausted, 141 when the directory is missing, question 142 when the file exists
// and replacing is off (No and Cancel give nothing), all shown through ui. The counter in
// settings advances when a name is returned, before anything is written, and reaches the hive at
// locations at once. While it cannot be stored (said once a run), no existing file is replaced
// without asking: the name skips to the next free number.
std::optional<QString> PromptAutoSaveFileName(platform::CAppSettings& settings,
                                              const CUiServices& ui,
                                              const platform::HiveLocations& locations,
                                              CounterStoreState& state);

} // namespace capture
