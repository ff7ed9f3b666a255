// SPDX-License-Identifier: MIT
// No operation options are known yet; the image operations add theirs here.
#include "ImageOperations.h"

namespace cli {

std::size_t ParseImageOperation(std::span<const std::string>, std::size_t,
                                std::vector<std::unique_ptr<CImageOperation>>&) {
    return 0;
}

std::string ImageOperationsUsage() { return {}; }

} // namespace cli
