// SPDX-License-Identifier: MIT
// Metafile reader: picks the renderer by header.
#include "codecs/MetafileDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/LibraryError.h"
#include "codecs/MetafileRender.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/TextException.h"

void CMetafileDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int /*depth: always 32*/) {
    const auto data = source.All().subspan(source.Position());
    if (codec::LooksLikeEmf(data))
        codec::RenderEmf(data, bitmap, PixelByteLimit());
    else if (codec::LooksLikeWmf(data))
        codec::RenderWmf(data, bitmap, source.ProgressSink(), PixelByteLimit());
    else
        throw CTextException(codec::kNotThisFormatCode, "No header information in metafile");
    if (CProgressSink* sink = source.ProgressSink())
        sink->SetProgress(1.0);
}
