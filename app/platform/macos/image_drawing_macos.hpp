#pragma once
// macOS: an AppKit image as a QImage. Qt's public API takes no NSImage or CGImage, so the image is
// drawn into a bitmap context over the QImage's own pixels. Objective-C++ only; any thread.

#import <AppKit/AppKit.h>

#include <QImage>

namespace jolstrand {

/// A transparent square of `pixels` with image drawn centred in it at `size` (in pixels), as
/// AppKit draws it: a multi-resolution image picks the representation that suits that size.
/// Premultiplied ARGB32; a null image when pixels is not positive.
[[nodiscard]] QImage drawnImage(NSImage* image, int pixels, NSSize size);

}  // namespace jolstrand
