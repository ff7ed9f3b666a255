// SPDX-License-Identifier: MIT
// libjpeg's error manager of the reader and the writer.
#include "codecs/JpegLibraryError.h"

#include "image/Trace.h"

namespace {

[[noreturn]] void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<codec::JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->text);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    img::Trace("JPEG library: %s\n", text);
}

} // namespace

namespace codec {

jpeg_error_mgr* InstallJpegError(JpegError& err) noexcept {
    jpeg_error_mgr* mgr = jpeg_std_error(&err.mgr);
    mgr->error_exit = OnError;
    mgr->output_message = OnMessage;
    return mgr;
}

} // namespace codec
