#pragma once

#include <string>

#include "formats/bitmap.h"

// An X11 pixmap of a 24- or 32-bit image (alpha is not stored), as C source:
//
//   /* XPM */
//   static char *freeimage[] = {
//   /* width height num_colors chars_per_pixel */
//   "3 1 2 1",
//   /* colors */
//   "  c #ff0000",
//   ". c #0000ff",
//   /* pixels */
//   "  ."
//   };
//
// Every colour of the image gets its own code: the colours are numbered in
// the order they first appear (top row first, left to right), and a number is
// written in base 92 over the digits " .XoO+@#$%&*=-;:>,<1234567890qwerty..."
// with as many characters per pixel as the colour count has base-92 digits
// (92 colours take two). The layout is the one FreeImage's writer used, so
// files stay byte for byte what they were wherever those were right.
// False for any other kind of image, or when memory runs out.
bool buildXpm(FIBITMAP* image, std::string* file);
