// SPDX-License-Identifier: MIT
// Root of the image layer's class tree.
#pragma once

class CImageObject {
public:
    CImageObject() = default;
    CImageObject(const CImageObject&) = default;
    CImageObject& operator=(const CImageObject&) = default;
    virtual ~CImageObject() = default;
};
