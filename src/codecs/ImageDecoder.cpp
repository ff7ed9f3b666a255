// SPDX-License-Identifier: MIT
#include "codecs/ImageDecoder.h"

#include "codecs/DataSource.h"

void CImageDecoder::LoadFromFile(const std::string& path, CImageBitmap& bitmap, int depth,
                                 CProgressSink* pProgress) {
    CDataSource source = CDataSource::FromFile(path, pProgress);
    Decode(source, bitmap, depth);
}

void CImageDecoder::LoadFromMemory(const std::uint8_t* data, std::size_t size, CImageBitmap& bitmap,
                                   int depth, CProgressSink* pProgress) {
    CDataSource source(data, size, pProgress);
    Decode(source, bitmap, depth);
}
