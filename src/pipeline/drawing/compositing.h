#pragma once

#include <cstdint>
#include <functional>

#include "pipeline/drawing/canvas.h"

// Source-over of one straight-alpha pixel onto another with an opacity
// 0..255, in integer arithmetic with truncating division:
//   a = opacity * As / 255; a = 0 keeps the destination; Ad = 0 gives (Cs, a);
//   otherwise k = (255 - a) * Ad, C = (Cd * k + Cs * a * 255) / (k + a * 255)
//   and A = (k + a * 255) / 255.
RgbaPixel sourceOver(RgbaPixel destination, RgbaPixel source, int32_t opacity);

// Draws source onto destination with its top-left at (x, y) by sourceOver;
// the part outside destination is clipped.
void drawCanvasOver(Canvas& destination, const Canvas& source, int32_t x, int32_t y,
                    int32_t opacity);

// Draws picture at (0, 0) replacing all four channels: each pixel becomes
// (R, G, B, opacity * A / 255), A being 255 for a picture without alpha.
void drawPictureReplacing(Canvas& destination, const Canvas& picture, int32_t opacity);

// Like drawPictureReplacing, but each pixel (R, G, B, opacity * A / 255) goes
// through filter and its result is written as it is.
using PixelFilter = std::function<RgbaPixel(RgbaPixel)>;
void drawPictureFiltered(Canvas& destination, const Canvas& picture, int32_t opacity,
                         const PixelFilter& filter);

// Writes color exactly over the pixel at (x, y) and every pixel connected to
// it (4-neighbours) that has the same red, green and blue as that pixel.
void floodFill(Canvas& canvas, int32_t x, int32_t y, RgbaPixel color);
