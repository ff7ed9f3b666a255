// SPDX-License-Identifier: MIT
// How libpng's failures leave the library, for the reader and the writer alike: the error
// handler keeps the message and jumps back to the one function that calls the library, which
// then throws (see ThrowLibraryError) once it has returned.
#pragma once

#include <csetjmp>

#include <png.h>

namespace codec {

// The error pointer handed to png_create_read_struct / png_create_write_struct together with
// OnPngError and OnPngWarning.
struct PngError {
    std::jmp_buf jump;
    char text[256];
};

// Keeps the message in the PngError's text and longjmps to its jump.
[[noreturn]] void OnPngError(png_structp png, png_const_charp message);
// Warnings only reach the trace.
void OnPngWarning(png_structp png, png_const_charp message);

} // namespace codec
