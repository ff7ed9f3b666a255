// SPDX-License-Identifier: MIT
// Image operations given on the command line (`quorvi convert IN OUT [operations...]`).
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CImageBitmap;
class CProgressSink;

namespace cli {

// One parsed operation, applied in command-line order.
class CImageOperation {
public:
    virtual ~CImageOperation() = default;
    virtual void Apply(CImageBitmap& bitmap, CProgressSink* pProgress) = 0;
    // The option as given, e.g. "--rotate 30", for progress and messages.
    virtual std::string Name() const { return {}; }
};

// Parses the operation option at args[index] (with its value, if any) into out. Returns how many
// arguments it consumed, or 0 when args[index] is not an operation option. Throws
// cli::UsageError for bad values.
std::size_t ParseImageOperation(std::span<const std::string> args, std::size_t index,
                                std::vector<std::unique_ptr<CImageOperation>>& out);

// Usage lines of the operation options, for the convert command's help.
std::string ImageOperationsUsage();

} // namespace cli
