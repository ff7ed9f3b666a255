// SPDX-License-Identifier: MIT
// The module's one exported entry: the table of renderers the loader looks up.
#include "codecs/metafile/MetafileDraw.h"

extern "C" __attribute__((visibility("default"))) const codec::MetafileRenderers*
quorvi_metafile_renderers() {
    static constexpr codec::MetafileRenderers kRenderers{codec::kMetafileModuleVersion,
                                                         codec::DrawWmf, codec::DrawEmf};
    return &kRenderers;
}
