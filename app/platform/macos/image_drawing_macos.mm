#include "platform/macos/image_drawing_macos.hpp"

namespace jolstrand {

QImage drawnImage(NSImage* image, int pixels, NSSize size) {
  if (pixels <= 0) return {};
  QImage out(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  // Core Graphics' name for Qt's premultiplied ARGB32, whose pixels are 32-bit words in host order.
  const CGBitmapInfo layout =
      static_cast<CGBitmapInfo>(kCGImageAlphaPremultipliedFirst) | kCGBitmapByteOrder32Host;
  CGColorSpaceRef space = CGColorSpaceCreateWithName(kCGColorSpaceSRGB);
  CGContextRef context =
      CGBitmapContextCreate(out.bits(), pixels, pixels, 8, out.bytesPerLine(), space, layout);
  CGColorSpaceRelease(space);
  if (context == nullptr) return out;
  // The bitmap's first row is the top of the picture, as in a QImage: no flipping.
  @autoreleasepool {
    [NSGraphicsContext saveGraphicsState];
    NSGraphicsContext.currentContext = [NSGraphicsContext graphicsContextWithCGContext:context
                                                                               flipped:NO];
    [image drawInRect:NSMakeRect((pixels - size.width) / 2, (pixels - size.height) / 2, size.width,
                                 size.height)
             fromRect:NSZeroRect
            operation:NSCompositingOperationSourceOver
             fraction:1.0];
    [NSGraphicsContext restoreGraphicsState];
  }
  CGContextRelease(context);
  return out;
}

}  // namespace jolstrand
