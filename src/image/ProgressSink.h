// SPDX-License-Identifier: MIT
// Receiver of progress reports from long image work (filters, decoders).
#pragma once

class CProgressSink {
public:
    virtual ~CProgressSink() = default;
    // fraction runs from 0 to 1; 1 means the work is finished.
    virtual void SetProgress(double fraction) = 0;
};
