// SPDX-License-Identifier: MIT
// libpng's error handlers of the reader and the writer.
#include "codecs/PngLibraryError.h"

#include "image/Trace.h"

#include <cstdio>

namespace codec {

void OnPngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<PngError*>(png_get_error_ptr(png));
    std::snprintf(error->text, sizeof error->text, "%s", message ? message : "");
    std::longjmp(error->jump, 1);
}

void OnPngWarning(png_structp, png_const_charp message) {
    img::Trace("PNG library: %s\n", message);
}

} // namespace codec
