#include "formats/signature.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "support/temp_dir.h"

using namespace std::string_literals;

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

}  // namespace

TEST(Signature, NamesTheFormatOfCommonFileStarts) {
  struct Case {
    std::string prefix;
    const char* expected;
  } cases[] = {
      {bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}), "PNG"},
      {bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 1}), "JPEG/JFIF"},
      // The APP1 segment length (bytes 4 and 5) is not compared.
      {bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34, 'E', 'x', 'i', 'f', 0, 0}), "JPEG/EXIF"},
      {bytes({0xFF, 0xD8, 0xFF, 0xE1, 0xAB, 0xCD, 'E', 'x', 'i', 'f', 0, 0}), "JPEG/EXIF"},
      {bytes({0xFF, 0xD8, 0xFF, 0xDB, 0, 0x43}), "JPG"},
      {"GIF89a\x01\x00"s, "GIF89A"},
      {"GIF87a\x01\x00"s, "GIF87A"},
      {"RIFF\x10\x20\x30\x40WEBPVP8 "s, "WEBP"},
      {"RIFF\xFF\xFF\xFF\xFFWAVEfmt "s, "WAV"},
      {bytes({'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00, 5}), "RAR (5.0+)"},
      {bytes({'R', 'a', 'r', '!', 0x1A, 0x07, 0x00, 0xCF}), "RAR (1.5+)"},
      // A Canon raw file matches the little-endian TIFF entry first; the
      // longer entry after it wins.
      {bytes({'I', 'I', 0x2A, 0x00, 0x10, 0, 0, 0, 'C', 'R', 2, 0}), "CR2"},
      {bytes({'I', 'I', 0x2A, 0x00, 0x08, 0, 0, 0, 0, 0}), "TIFF (LE)"},
      {"CWS\x0A\x00\x00"s, "SWF"},
      {"FWS\x0A\x00\x00"s, "SWF"},
      {"FLV\x01\x05"s, "FLV"},
      {"ID3\x03\x00\x00"s, "MP3/ID3V2"},
      {"ISc(\x01"s, "CAB (IS)"},
      {bytes({0x1F, 0x8B, 0x08, 0x00}), "GZ"},
      {bytes({0x60, 0xEA, 0x2C, 0x00}), "ARJ"},
      {bytes({0xFF, 0xFB, 0x90, 0x64}), "MP3"},
      {bytes({0xFF, 0xF2, 0x10}), "MP3"},
      {bytes({0xCA, 0xFE, 0xBA, 0xBE}), "CLASS"},
      {bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62,
              0xCE, 0x6C, 0x01}),
       "ASF/WMA/WMV"},
      {"AT&TFORM\x00\x00\x01\x00" "DJXU"s, "[ERROR] UNRECOGNIZED"},
      {"AT&TFORM\x00\x00\x01\x00" "DJVU"s, "DJVU"},
      {"SQLite format 3" + std::string(1, '\0') + "\x10", "SQLITE/DB"},
      {bytes({0xD7, 0xCD, 0xC6, 0x9A, 0, 0}), "WMF"},
      {"BM\x36\x00"s, "BMP"},
      {"MZ\x90\x00"s, "EXE/DLL (MZ/PE/NE)"},
      {"P3\n1 1"s, "PPM"},
      {"P3 1 1"s, "[ERROR] UNRECOGNIZED"},
      {"DDS |\x00\x00\x00"s, "[ERROR] UNRECOGNIZED"},
      {"hello world"s, "[ERROR] UNRECOGNIZED"},
      {std::string(), "[ERROR] UNRECOGNIZED"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(signatureOfBytes(c.prefix), c.expected) << "case " << c.expected << " / "
                                                      << c.prefix.size() << " bytes";
  }
}

TEST(Signature, BytesMissingFromShortFilesDoNotMatch) {
  struct Case {
    std::string prefix;
    const char* expected;
  } cases[] = {
      // A file that ends inside a pattern matches only the shorter entries.
      {bytes({'R', 'a', 'r', '!', 0x1A, 0x07, 0x01}), "RAR (1.5+)"},
      {bytes({'R', 'a', 'r', '!', 0x1A}), "[ERROR] UNRECOGNIZED"},
      {bytes({'I', 'I', 0x2A, 0x00, 0x10, 0, 0, 0, 'C'}), "TIFF (LE)"},
      // Would match if the missing bytes counted as zero.
      {bytes({0x50, 0x4B}), "[ERROR] UNRECOGNIZED"},
      {bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00}), "[ERROR] UNRECOGNIZED"},
      {"RIFF\x01\x02\x03\x04WEB"s, "[ERROR] UNRECOGNIZED"},
      {bytes({0x1F}), "[ERROR] UNRECOGNIZED"},
      {bytes({0x1F, 0x8B}), "GZ"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(signatureOfBytes(c.prefix), c.expected) << "prefix of " << c.prefix.size()
                                                      << " bytes, expected " << c.expected;
  }
}

TEST(Signature, ReadsOnlyTheStartOfTheFileAndToleratesMissingFiles) {
  TempDir dir;
  const std::string png = dir.path() + "picture.dds";
  std::string content = bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
  content += std::string(5000, 'x');
  ASSERT_TRUE(writeWholeFile(png, content));
  EXPECT_EQ(detectSignature(png), "PNG");

  const std::string empty = dir.path() + "empty.dds";
  ASSERT_TRUE(writeWholeFile(empty, ""));
  EXPECT_EQ(detectSignature(empty), "[ERROR] UNRECOGNIZED");
  EXPECT_EQ(detectSignature(dir.path() + "missing.dds"), "[ERROR] UNRECOGNIZED");
  EXPECT_EQ(detectSignature(dir.path()), "[ERROR] UNRECOGNIZED");
}
