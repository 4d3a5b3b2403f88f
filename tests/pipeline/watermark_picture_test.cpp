#include "pipeline/watermark_picture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "formats/library_messages.h"
#include "pipeline/drawing/picture_decoder.h"
#include "pipeline/independent_reader.h"
#include "pipeline/watermark.h"
#include "pixel_support.h"
#include "platform/files.h"
#include "support/temp_dir.h"
#include "settings/run_plan.h"

namespace {

constexpr RgbaPixel kWhite{255, 255, 255, 255};
constexpr RgbaPixel kRed{255, 0, 0, 255};

// Writes a picture with Pillow, which shares no code with the program (the
// system Python: another python3 may come first on PATH).
std::string makePicture(const TempDir& dir, const std::string& name, const std::string& python) {
  const std::string path = dir.path() + name;
  const std::string script = "from PIL import Image, ImageDraw\nimport sys\npath = sys.argv[1]\n" + python;
  EXPECT_EQ(runCommand("/usr/bin/python3 -c " + shellQuote(script) + " " + shellQuote(path)), 0) << name;
  return path;
}

ConversionSettings pictureSettings(const std::string& path, int32_t opacity = 255) {
  ConversionSettings settings;
  settings.watermarkKind = 2;
  settings.wmImage = path;
  settings.wmImageOpacity = opacity;
  return settings;
}

Bitmap watermarked(const ConversionSettings& settings, int width = 100, int height = 80) {
  return applyWatermark(solidBitmap(width, height, 24, kWhite), width, height,
                        planChain(settings).watermark, "", nullptr);
}

bool untouched(FIBITMAP* image) {
  for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(image)); ++y)
    for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(image)); ++x)
      if (!(pixelAt(image, x, y) == kWhite)) return false;
  return true;
}

// A valid 1-bit grey PNG of any size, built with zlib: small on disk, yet
// gigabytes once decoded to colour.
std::string writeHugePng(const TempDir& dir, uint32_t side) {
  auto be32 = [](uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
  };
  auto chunk = [&](const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size());
    return be32(static_cast<uint32_t>(data.size())) + body + be32(static_cast<uint32_t>(crc));
  };
  const std::string header = be32(side) + be32(side) + std::string("\x01\x00\x00\x00\x00", 5);
  const size_t rowBytes = 1 + (side + 7) / 8;
  std::string raw(rowBytes * side, '\0');
  uLongf packedSize = compressBound(raw.size());
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
            reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 1);
  packed.resize(packedSize);
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
                          chunk("IDAT", packed) + chunk("IEND", "");
  const std::string path = dir.path() + "huge.png";
  EXPECT_TRUE(writeWholeFile(path, png));
  return path;
}

}  // namespace

TEST(GreyFilter, WeightsAddUpTo256) {
  EXPECT_EQ(greyFilter({255, 0, 0, 9}), (RgbaPixel{76, 76, 76, 9}));
  EXPECT_EQ(greyFilter({0, 255, 0, 9}), (RgbaPixel{149, 149, 149, 9}));
  EXPECT_EQ(greyFilter({0, 0, 255, 9}), (RgbaPixel{28, 28, 28, 9}));
  EXPECT_EQ(greyFilter({255, 255, 255, 255}), (RgbaPixel{255, 255, 255, 255}));
}

TEST(PictureLayer, OpacityScalesThePicturesAlpha) {
  TempDir dir;
  const std::string png = makePicture(dir, "alpha.png",
                                      "im = Image.new('RGBA', (30, 20), (10, 20, 30, 200))\n"
                                      "im.putpixel((0, 0), (1, 2, 3, 255))\nim.save(path)\n");
  const std::string jpeg = makePicture(dir, "photo.jpg",
                                       "im = Image.new('RGB', (30, 20), (200, 100, 50))\n"
                                       "im.save(path, quality=95)\n");
  Bitmap layer = makePictureLayer(planChain(pictureSettings(png, 128)).watermark.picture);
  ASSERT_TRUE(layer);
  EXPECT_EQ(FreeImage_GetBPP(layer.get()), 32u);
  EXPECT_EQ(pixelAt(layer.get(), 5, 5), (RgbaPixel{10, 20, 30, 100})) << "128 * 200 / 255";
  EXPECT_EQ(pixelAt(layer.get(), 0, 0), (RgbaPixel{1, 2, 3, 128}));
  layer = makePictureLayer(planChain(pictureSettings(png, 255)).watermark.picture);
  EXPECT_EQ(pixelAt(layer.get(), 5, 5), (RgbaPixel{10, 20, 30, 200})) << "255 copies exactly";

  layer = makePictureLayer(planChain(pictureSettings(jpeg, 128)).watermark.picture);
  ASSERT_TRUE(layer);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) ASSERT_EQ(pixelAt(layer.get(), x, y).a, 128) << x << "," << y;
  }
  EXPECT_NEAR(pixelAt(layer.get(), 15, 10).r, 200, 3);

  ConversionSettings grey = pictureSettings(jpeg, 77);
  grey.wmImageGreyscale = 1;
  layer = makePictureLayer(planChain(grey).watermark.picture);
  const RgbaPixel p = pixelAt(layer.get(), 15, 10);
  EXPECT_EQ(p.r, p.g);
  EXPECT_EQ(p.g, p.b);
  EXPECT_NEAR(p.r, (77 * 200 + 150 * 100 + 29 * 50) >> 8, 3);
  EXPECT_EQ(p.a, 77);
}

TEST(PictureLayer, ReadsBmpAndIconButNotTiff) {
  TempDir dir;
  const std::string bmp = makePicture(dir, "red.bmp", "Image.new('RGB', (8, 6), (255, 0, 0)).save(path)\n");
  const std::string ico = makePicture(
      dir, "icon.ico", "Image.new('RGBA', (16, 16), (0, 0, 255, 100)).save(path, sizes=[(16, 16)])\n");
  const std::string tif = makePicture(dir, "red.tif", "Image.new('RGB', (8, 6), (255, 0, 0)).save(path)\n");
  Bitmap layer = makePictureLayer(planChain(pictureSettings(bmp)).watermark.picture);
  ASSERT_TRUE(layer);
  EXPECT_EQ(FreeImage_GetWidth(layer.get()), 8u);
  EXPECT_EQ(pixelAt(layer.get(), 7, 5), kRed);
  layer = makePictureLayer(planChain(pictureSettings(ico)).watermark.picture);
  ASSERT_TRUE(layer);
  EXPECT_EQ(pixelAt(layer.get(), 3, 3), (RgbaPixel{0, 0, 255, 100}));
  EXPECT_FALSE(makePictureLayer(planChain(pictureSettings(tif)).watermark.picture));

  Bitmap image = watermarked(pictureSettings(tif));
  ASSERT_TRUE(image);
  EXPECT_EQ(FreeImage_GetBPP(image.get()), 24u);
  EXPECT_TRUE(untouched(image.get()));
}

TEST(PictureWatermark, LargerPictureIsCroppedAndPlacedAtTheOrigin) {
  TempDir dir;
  const std::string png = makePicture(dir, "big.png",
                                      "im = Image.new('RGB', (200, 150), (0, 0, 255))\n"
                                      "ImageDraw.Draw(im).rectangle((0, 0, 99, 74), fill=(255, 0, 0))\n"
                                      "im.save(path)\n");
  Bitmap image = watermarked(pictureSettings(png));
  ASSERT_TRUE(image);
  EXPECT_EQ(pixelAt(image.get(), 0, 0), kRed);
  EXPECT_EQ(pixelAt(image.get(), 89, 69), kRed) << "top-left part of the picture kept";
  EXPECT_EQ(pixelAt(image.get(), 90, 10), kWhite) << "cropped to width - 10";
  EXPECT_EQ(pixelAt(image.get(), 10, 70), kWhite) << "cropped to height - 10";
}

TEST(PictureWatermark, Rotation45GrowsWithTransparentCorners) {
  TempDir dir;
  const std::string png = makePicture(dir, "square.png",
                                      "im = Image.new('RGBA', (40, 40), (0, 160, 0, 255))\n"
                                      "ImageDraw.Draw(im).ellipse((10, 10, 29, 29), fill=(255, 255, 0, 128))\n"
                                      "im.save(path)\n");
  ConversionSettings settings = pictureSettings(png, 200);
  settings.wmImageRotation = 45;
  settings.wmImagePosition = 0;
  settings.wmImageXOffset = 0;
  settings.wmImageYOffset = 0;
  Bitmap image = watermarked(settings);
  ASSERT_TRUE(image);
  saveForEye(image.get(), "picture_rotated_45");
  EXPECT_EQ(pixelAt(image.get(), 2, 2), kWhite);
  EXPECT_EQ(pixelAt(image.get(), 54, 2), kWhite);
  EXPECT_EQ(pixelAt(image.get(), 2, 54), kWhite);
  EXPECT_FALSE(pixelAt(image.get(), 28, 4) == kWhite) << "the top tip of the turned square";
  EXPECT_FALSE(pixelAt(image.get(), 55, 28) == kWhite) << "wider than the picture itself";
}

TEST(PictureWatermark, BadPicturesGiveNoWatermark) {
  TempDir dir;
  const std::string good = makePicture(dir, "good.png", "Image.new('RGB', (50, 40), (255, 0, 0)).save(path)\n");
  const std::string goodJpeg =
      makePicture(dir, "good.jpg", "Image.new('RGB', (50, 40), (255, 0, 0)).save(path)\n");
  std::string pngData, jpegData;
  ASSERT_TRUE(readWholeFile(good, &pngData));
  ASSERT_TRUE(readWholeFile(goodJpeg, &jpegData));
  struct Case {
    std::string name, data;
  };
  const Case cases[] = {
      {"truncated.png", pngData.substr(0, pngData.size() / 2)},
      {"header-only.png", pngData.substr(0, 40)},
      {"garbage.png", pngData.substr(0, 8) + std::string(500, '\x7f')},
      {"truncated.jpg", jpegData.substr(0, jpegData.size() / 2)},
      {"garbage.jpg", jpegData.substr(0, 3) + std::string(500, '\x55')},
      {"garbage.bmp", "BM" + std::string(100, '\xff')},
      {"garbage.ico", std::string("\0\0\1\0", 4) + std::string(100, '\xff')},
      {"empty.png", ""},
      {"text.png", "this is not a picture"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(writeWholeFile(dir.path() + c.name, c.data));
    Bitmap image = watermarked(pictureSettings(dir.path() + c.name));
    ASSERT_TRUE(image) << c.name;
    EXPECT_EQ(FreeImage_GetBPP(image.get()), 24u) << c.name;
    EXPECT_EQ(FreeImage_GetWidth(image.get()), 100u) << c.name;
  }
  Bitmap missing = watermarked(pictureSettings(dir.path() + "missing.png"));
  EXPECT_TRUE(missing && untouched(missing.get()));
}

TEST(PictureWatermark, TinyAndHugePictures) {
  TempDir dir;
  const std::string tiny = makePicture(dir, "tiny.png", "Image.new('RGB', (1, 1), (255, 0, 0)).save(path)\n");
  ConversionSettings settings = pictureSettings(tiny);
  settings.wmImagePosition = 0;
  Bitmap image = watermarked(settings);
  EXPECT_EQ(pixelAt(image.get(), 10, 10), kRed);
  EXPECT_EQ(pixelAt(image.get(), 11, 10), kWhite);

  const std::string huge = writeHugePng(dir, 20000);
  Canvas picture;
  EXPECT_FALSE(decodePicture(huge, &picture)) << "refused before gigabytes are allocated";
  image = watermarked(pictureSettings(huge));
  ASSERT_TRUE(image);
  EXPECT_TRUE(untouched(image.get()));

  const std::string allowed = writeHugePng(dir, 3000);
  ASSERT_TRUE(decodePicture(allowed, &picture));
  EXPECT_EQ(picture.width(), 3000);
  EXPECT_EQ(picture.depth(), 24);
}

TEST(PictureWatermark, LibraryComplaintsAboutThePictureDoNotFailTheImage) {
  TempDir dir;
  std::string bmp;
  const std::string good = makePicture(dir, "good.bmp", "Image.new('RGB', (8, 8), (255, 0, 0)).save(path)\n");
  ASSERT_TRUE(readWholeFile(good, &bmp));
  std::string badCompression = bmp;
  badCompression[30] = 9;
  const std::string ico = makePicture(dir, "icon.ico", "Image.new('RGBA', (16, 16), (0, 0, 255, 100)).save(path)\n");
  std::string icon;
  ASSERT_TRUE(readWholeFile(ico, &icon));
  const std::pair<std::string, std::string> cases[] = {
      {"garbage.bmp", "BM" + std::string(100, '\xff')},
      {"compression.bmp", badCompression},
      {"truncated.ico", icon.substr(0, 60)},
  };
  installLibraryMessageHandler();
  takeThreadLibraryMessages();
  for (const auto& [name, data] : cases) {
    ASSERT_TRUE(writeWholeFile(dir.path() + name, data));
    recordLibraryMessage("earlier");
    Canvas picture;
    EXPECT_FALSE(decodePicture(dir.path() + name, &picture)) << name;
    EXPECT_EQ(takeThreadLibraryMessages(), std::vector<std::string>{"earlier"}) << name;
  }
}
