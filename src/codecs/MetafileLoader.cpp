// SPDX-License-Identifier: MIT
// The metafile renderers, loaded from their module on first use (see MetafileModule.h).
#include "codecs/DecodeSupport.h"
#include "codecs/LibraryError.h"
#include "codecs/MetafileModule.h"
#include "codecs/MetafileRender.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"
#include "image/Trace.h"

#include <dlfcn.h>

namespace codec {
namespace {

// The caller's bitmap as the module sees it.
class CBitmapCanvas final : public IMetafileCanvas {
public:
    CBitmapCanvas(CImageBitmap& bitmap, CProgressSink* pProgress, std::size_t pixelByteLimit)
        : m_bitmap(bitmap), m_pProgress(pProgress), m_nPixelByteLimit(pixelByteLimit) {}

    void CheckSize(int width, int height) override {
        CheckImageSize(width, height, 32, m_nPixelByteLimit);
    }
    void Create(int width, int height) override {
        CheckSize(width, height);
        m_bitmap.Create(width, height, 32, true);
    }
    RGBQuad* Row(int y) override { return m_bitmap.Row<RGBQuad>(y); }
    void SetProgress(double fraction) override {
        if (m_pProgress)
            m_pProgress->SetProgress(fraction);
    }

private:
    CImageBitmap& m_bitmap;
    CProgressSink* m_pProgress;
    std::size_t m_nPixelByteLimit;
};

// Found through the program's run path: beside it in the build tree, in its private library
// folder when installed. Loaded once and kept for the life of the process.
const MetafileRenderers* LoadModule() noexcept {
    void* module = ::dlopen(kMetafileModuleFile, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        img::Trace("Metafile module: %s\n", ::dlerror());
        return nullptr;
    }
    using Entry = const MetafileRenderers* (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(module, kMetafileModuleEntry));
    const MetafileRenderers* renderers = entry ? entry() : nullptr;
    if (!renderers || renderers->version != kMetafileModuleVersion) {
        img::Trace("Metafile module: no renderers of version %d\n", kMetafileModuleVersion);
        return nullptr;
    }
    return renderers;
}

const MetafileRenderers& Renderers() {
    static const MetafileRenderers* const s_pRenderers = LoadModule();
    if (!s_pRenderers)
        throw CTextException(kLibraryErrorCode, kNotCompiledText);
    return *s_pRenderers;
}

} // namespace

void RenderWmf(std::span<const std::uint8_t> data, CImageBitmap& bitmap, CProgressSink* pProgress,
               std::size_t pixelByteLimit) {
    CBitmapCanvas canvas(bitmap, pProgress, pixelByteLimit);
    Renderers().drawWmf(data, canvas);
}

void RenderEmf(std::span<const std::uint8_t> data, CImageBitmap& bitmap,
               std::size_t pixelByteLimit) {
    CBitmapCanvas canvas(bitmap, nullptr, pixelByteLimit);
    Renderers().drawEmf(data, canvas);
}

} // namespace codec
