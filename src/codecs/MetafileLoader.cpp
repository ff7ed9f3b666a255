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

#include <cstddef>
#include <new>
#include <string>
#include <vector>

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

// The folders the program's own libraries are looked up in, its run path first. dlopen would
// search the run path of the object that calls it, which a sanitizer that wraps dlopen changes.
std::vector<std::string> ProgramLibraryFolders() {
    void* program = ::dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size{};
    if (!program || ::dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0)
        return {};
    std::vector<std::max_align_t> block(size.dls_size / sizeof(std::max_align_t) + 1);
    auto* info = reinterpret_cast<Dl_serinfo*>(block.data());
    *info = size;
    std::vector<std::string> folders;
    if (::dlinfo(program, RTLD_DI_SERINFOSIZE, info) == 0 &&
        ::dlinfo(program, RTLD_DI_SERINFO, info) == 0) {
        for (unsigned i = 0; i < info->dls_cnt; ++i)
            folders.emplace_back(info->dls_serpath[i].dls_name);
    }
    return folders;
}

void* OpenModule() {
    for (const std::string& folder : ProgramLibraryFolders()) {
        const std::string path = folder + "/" + kMetafileModuleFile;
        if (void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
    }
    return ::dlopen(kMetafileModuleFile, RTLD_NOW | RTLD_LOCAL);
}

// Found through the program's run path: beside it in the build tree, in its private library
// folder when installed. Loaded once and kept for the life of the process.
const MetafileRenderers* LoadModule() noexcept {
    void* module = nullptr;
    try {
        module = OpenModule();
    } catch (const std::bad_alloc&) {
    }
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
