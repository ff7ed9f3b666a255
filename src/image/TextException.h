// SPDX-License-Identifier: MIT
// The one exception type of the image and codec layers: a numeric code and the text shown to
// the user.
#pragma once

#include "image/ImageObject.h"

#include <exception>
#include <string>

class CTextException : public CImageObject, public std::exception {
public:
    CTextException(int nCode, std::string strText)
        : m_nCode(nCode), m_strText(std::move(strText)) {}

    int Code() const noexcept { return m_nCode; }
    const std::string& Text() const noexcept { return m_strText; }
    const char* what() const noexcept override { return m_strText.c_str(); }

private:
    int m_nCode;
    std::string m_strText;
};

// Codes and texts shared by more than one place of the image layer.
namespace img::err {
inline constexpr int kOutOfMemory = 10;
inline constexpr const char* kOutOfMemoryCreatingBitmap = "Out of memory creating bitmap.";
inline constexpr const char* kGlobalBlock = "Can't allocate global memory block.";
} // namespace img::err
