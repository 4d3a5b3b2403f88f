#include <gtest/gtest.h>

#include <string>

#include "formats/format_tables.h"
#include "formats/writers/encode_image.h"
#include "formats/writers/verify_output.h"
#include "platform/files.h"

// A corrupted encoded buffer must fail the check; the untouched one must pass.

namespace {

// 32 x 24, a colour gradient with texture, 24 or 32 bits.
Bitmap gradient(int bpp) {
  Bitmap image = adoptBitmap(FreeImage_Allocate(32, 24, bpp));
  for (unsigned y = 0; y < 24; ++y) {
    BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
    for (unsigned x = 0; x < 32; ++x, row += bpp / 8) {
      row[FI_RGBA_RED] = static_cast<BYTE>(x * 8);
      row[FI_RGBA_GREEN] = static_cast<BYTE>(y * 10);
      row[FI_RGBA_BLUE] = static_cast<BYTE>((x * y) & 0xFF);
      if (bpp == 32) row[FI_RGBA_ALPHA] = static_cast<BYTE>(255 - x * 4);
    }
  }
  return image;
}

// The whole file encodeImage makes of a copy of image (streamed or not).
struct Encoded {
  bool ok = false;
  std::string bytes;
};

class StringSink : public ByteSink {
 public:
  explicit StringSink(std::string* bytes) : bytes_(bytes) {}
  bool write(const void* data, size_t size) override {
    bytes_->append(static_cast<const char*>(data), size);
    return true;
  }

 private:
  std::string* bytes_;
};

Encoded encode(FIBITMAP* image, const SaveTarget& target) {
  EncodedImage encoded = encodeImage(adoptBitmap(FreeImage_Clone(image)), target);
  Encoded result{encoded.ok, ""};
  StringSink sink(&result.bytes);
  if (encoded.ok) encodedBytes(encoded)(sink);
  return result;
}

SaveTarget targetFor(const std::string& extension, int32_t flags) {
  return SaveTarget{extension, findOutputFormat(extension)->code, flags, false};
}

struct Corruption {
  const char* extension;
  int bpp;
  int32_t flags;
  const char* reason;  // text the reason must hold
};

const Corruption kCorruptions[] = {
    // Still valid files with one pixel byte changed: the comparison finds it.
    {"bmp", 32, 0, "of pixel "},
    {"tga", 24, 0, "of pixel "},
    {"tiff", 32, TIFF_NONE, "of pixel "},
    // A checksum broken.
    {"png", 32, PNG_Z_BEST_SPEED, "the file does not decode"},
    // Coded data broken.
    {"jxr", 24, 0, ""},
    {"webp", 32, WEBP_LOSSLESS, ""},
};

}  // namespace

TEST(VerifyOutput, CorruptedBufferFailsVerification) {
  for (const Corruption& c : kCorruptions) {
    Bitmap image = gradient(c.bpp);
    const SaveTarget target = targetFor(c.extension, c.flags);
    Encoded encoded = encode(image.get(), target);
    ASSERT_TRUE(encoded.ok) << c.extension;
    std::string reason;
    EXPECT_TRUE(verifyEncodedImage(image.get(), target, encoded.bytes, &reason))
        << c.extension << ": " << reason;

    std::string bad = encoded.bytes;
    const size_t at = bad.size() / 2;  // past every header, inside the pixels
    bad[at] = static_cast<char>(bad[at] ^ 0x5A);
    EXPECT_FALSE(verifyEncodedImage(image.get(), target, bad, &reason)) << c.extension;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.extension << ": " << reason;
  }
}

TEST(VerifyOutput, LossyOutputPassesOnlyAboveThePsnrFloor) {
  Bitmap image = gradient(24);
  const SaveTarget target = targetFor("jpg", 90);
  Encoded encoded = encode(image.get(), target);
  ASSERT_TRUE(encoded.ok);
  std::string reason;
  EXPECT_TRUE(verifyEncodedImage(image.get(), target, encoded.bytes, &reason)) << reason;
  // The same file compared with an image it was not made from.
  Bitmap other = gradient(24);
  FreeImage_Invert(other.get());
  EXPECT_FALSE(verifyEncodedImage(other.get(), target, encoded.bytes, &reason));
  EXPECT_EQ(reason.rfind("PSNR ", 0), 0u) << reason;
  // Truncated in the middle of its coded data.
  EXPECT_FALSE(verifyEncodedImage(image.get(), target, encoded.bytes.substr(0, encoded.bytes.size() / 3), &reason));
}

TEST(VerifyOutput, RgbeHoldsNoNegativesButKeepsItsMantissa) {
  Bitmap image = adoptBitmap(FreeImage_AllocateT(FIT_RGBF, 7, 16));
  for (unsigned y = 0; y < 16; ++y) {
    auto* row = reinterpret_cast<FIRGBF*>(FreeImage_GetScanLine(image.get(), static_cast<int>(y)));
    for (unsigned x = 0; x < 7; ++x) row[x] = FIRGBF{x * 0.37f, y * 11.5f, 0.001f * (x + y)};
  }
  const SaveTarget target = targetFor("hdr", 0);
  Encoded encoded = encode(image.get(), target);
  ASSERT_TRUE(encoded.ok);
  std::string reason;
  EXPECT_TRUE(verifyEncodedImage(image.get(), target, encoded.bytes, &reason)) << reason;
  // Narrower than 8 pixels, the file is stored flat: one mantissa byte of
  // the last pixel off by 8 steps.
  std::string bad = encoded.bytes;
  bad[bad.size() - 4] = static_cast<char>(bad[bad.size() - 4] + 8);
  EXPECT_FALSE(verifyEncodedImage(image.get(), target, bad, &reason));
}
