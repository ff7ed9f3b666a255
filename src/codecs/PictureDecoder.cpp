// SPDX-License-Identifier: MIT
// The loader: recognition, trace lines and dispatch to the readers.
#include "codecs/PictureDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/ImageDecoder.h"
#include "codecs/LibraryError.h"
#include "image/ImageBitmap.h"
#include "image/TextException.h"
#include "image/Trace.h"

namespace {

// An EPS file with a TIFF preview: a 30-byte header whose offset and length (bytes 20-27)
// locate the TIFF inside the file.
CDataSource EpsPreview(CDataSource& source) {
    const auto all = source.All();
    const std::uint64_t offset = std::uint64_t(all[20]) | (std::uint64_t(all[21]) << 8) |
                                 (std::uint64_t(all[22]) << 16) | (std::uint64_t(all[23]) << 24);
    const std::uint64_t length = std::uint64_t(all[24]) | (std::uint64_t(all[25]) << 8) |
                                 (std::uint64_t(all[26]) << 16) | (std::uint64_t(all[27]) << 24);
    if (offset > all.size() || length > all.size() - offset)
        throw CTextException(codec::kDamagedCode, "The TIFF preview lies outside the EPS file.");
    return CDataSource(all.data() + offset, std::size_t(length), source.ProgressSink());
}

} // namespace

CPictureDecoder::CPictureDecoder() {
    for (std::size_t i = 0; i < m_decoders.size(); ++i)
        m_decoders[i] = codec::CreateDecoder(DecoderSlot(i));
}

CPictureDecoder::~CPictureDecoder() = default;

void CPictureDecoder::SetDecoder(DecoderSlot slot, std::unique_ptr<CImageDecoder> decoder) {
    if (decoder)
        decoder->SetPixelByteLimit(m_nPixelByteLimit);
    m_decoders.at(std::size_t(slot)) = std::move(decoder);
}

void CPictureDecoder::SetPixelByteLimit(std::size_t bytes) {
    m_nPixelByteLimit = bytes;
    for (auto& decoder : m_decoders)
        if (decoder)
            decoder->SetPixelByteLimit(bytes);
}

PictureFormat CPictureDecoder::LoadFromFile(const std::string& path, CImageBitmap& bitmap,
                                            int depth, CProgressSink* pProgress) {
    img::Trace("--- Decoding file %s. ---\n", path.c_str());
    try {
        CDataSource source = CDataSource::FromFile(path, pProgress);
        PictureFormat format = codec::RecognizeByName(path);
        if (format == PictureFormat::Unknown)
            format = codec::RecognizeByContent(source.All());
        Decode(format, source, bitmap, depth);
        return format;
    } catch (const CTextException& e) {
        img::Trace("Decoder error: %s\n", e.Text().c_str());
        throw;
    }
}

PictureFormat CPictureDecoder::LoadFromMemory(const std::uint8_t* data, std::size_t size,
                                              CImageBitmap& bitmap, int depth,
                                              CProgressSink* pProgress) {
    try {
        CDataSource source(data, size, pProgress);
        const PictureFormat format = codec::RecognizeByContent(source.All());
        Decode(format, source, bitmap, depth);
        return format;
    } catch (const CTextException& e) {
        img::Trace("Decoder error: %s\n", e.Text().c_str());
        throw;
    }
}

void CPictureDecoder::Decode(PictureFormat format, CDataSource& source, CImageBitmap& bitmap,
                             int depth) {
    if (format == PictureFormat::Unknown)
        throw CTextException(codec::kUnknownTypeCode, codec::kUnknownTypeText);
    img::Trace("%s", codec::RecognizedTrace(format));
    CImageDecoder* decoder = m_decoders[std::size_t(codec::SlotOf(format))].get();
    if (!decoder)
        throw CTextException(codec::kLibraryErrorCode, codec::kNotCompiledText);
    depth = depth == 32 ? 32 : 0;
    // Decoding into a fresh bitmap of the caller's class keeps the caller's image whole when the
    // file turns out to be damaged half-way.
    std::unique_ptr<CImageBitmap> result = bitmap.CreateEmptyLike();
    if (format == PictureFormat::EpsTiff) {
        CDataSource preview = EpsPreview(source);
        decoder->Decode(preview, *result, depth);
    } else {
        decoder->Decode(source, *result, depth);
    }
    if (source.WasCutShort())
        throw CTextException(codec::kEndOfData, codec::kCutShortText);
    bitmap.SwapStorage(*result);
}
