// SPDX-License-Identifier: MIT
// Finding the image views' host.
#include "views/ImageViewHost.h"

#include <QWidget>

IImageViewHost* IImageViewHost::Of(const QWidget* pWidget) {
    return pWidget != nullptr ? dynamic_cast<IImageViewHost*>(pWidget->window()) : nullptr;
}
