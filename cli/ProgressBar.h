// SPDX-License-Identifier: MIT
// A progress bar on stderr for long work (`quorvi convert --progress`).
#pragma once

#include "image/ProgressSink.h"

#include <cstdio>
#include <string>

namespace cli {

class CProgressBar : public CProgressSink {
public:
    explicit CProgressBar(std::FILE* out = stderr) : m_pOut(out) {}
    ~CProgressBar() override { Finish(); }

    // Starts a new bar labelled with what runs now; ends the previous one.
    void Begin(std::string label);
    // Redrawn only when the whole percentage changes, as the status bar does.
    void SetProgress(double fraction) override;
    // Ends the current bar's line.
    void Finish();

private:
    std::FILE* m_pOut;
    std::string m_strLabel;
    int m_nPercent = -1;
    bool m_bOpen = false;
};

} // namespace cli
