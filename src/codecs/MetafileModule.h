// SPDX-License-Identifier: MIT
// The metafile renderers live in a module of their own (libquorvi-metafile.so), loaded when the
// first metafile is read: the libraries they draw with (libwmf, librsvg, cairo, pango, glib and
// theirs, some forty in all) would otherwise be loaded and relocated at every start of every
// program, which costs a whole command-line conversion a third of its time.
//
// Loader and module are built together from this header; the module reaches the caller's
// bitmap only through IMetafileCanvas, so it links nothing of the image layer.
#pragma once

#include "image/Pixel.h"

#include <cstdint>
#include <span>

namespace codec {

class IMetafileCanvas {
public:
    // Throws CTextException 10 "Out of memory creating bitmap." when a picture of this size may
    // not be made; asked before drawing, which may be costly.
    virtual void CheckSize(int width, int height) = 0;
    // Makes the 32-bpp result (alpha flag set); its rows are then written through Row.
    virtual void Create(int width, int height) = 0;
    virtual RGBQuad* Row(int y) = 0;
    virtual void SetProgress(double fraction) = 0;

protected:
    ~IMetafileCanvas() = default;
};

using MetafileDraw = void (*)(std::span<const std::uint8_t> data, IMetafileCanvas& canvas);

struct MetafileRenderers {
    int version;
    MetafileDraw drawWmf;
    MetafileDraw drawEmf;
};

// Raised whenever the table or the canvas changes, so that a stale module is refused.
inline constexpr int kMetafileModuleVersion = 1;
inline constexpr const char* kMetafileModuleFile = "libquorvi-metafile.so";
inline constexpr const char* kMetafileModuleEntry = "quorvi_metafile_renderers";

} // namespace codec

extern "C" const codec::MetafileRenderers* quorvi_metafile_renderers();
