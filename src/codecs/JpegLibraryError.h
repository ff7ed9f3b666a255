// SPDX-License-Identifier: MIT
// How libjpeg's failures leave the library, for the reader and the writer alike: the error
// handler formats the message and jumps back to the one function that calls the library, which
// then throws (see ThrowLibraryError) once it has returned.
#pragma once

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE

#include <jpeglib.h>

namespace codec {

struct JpegError {
    jpeg_error_mgr mgr; // first, so the library's pointer is also ours
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

// Makes err the error manager to hang on cinfo.err: failures fill err.text and longjmp to
// err.jump; warnings and notes go to the trace.
jpeg_error_mgr* InstallJpegError(JpegError& err) noexcept;

} // namespace codec
