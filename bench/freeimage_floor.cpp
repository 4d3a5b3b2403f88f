// The least a DDS batch converter can do per file with FreeImage: load, save,
// unload. The save flags are those pellucidcmd uses with default settings
// (PNG without compression, plain BMP), so both do the same encoding work;
// png6 is PNG at zlib level 6 (pellucidcmd's --png-compression=zlib6).
// The batch benchmark compares pellucidcmd against this loop.
//
// Usage: freeimage_floor <png|png6|bmp> <output folder/> <input.dds>...

#include <FreeImage.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <png|png6|bmp> <output folder/> <input.dds>...\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  const std::string format = mode == "bmp" ? "bmp" : "png";
  const FREE_IMAGE_FORMAT outputFormat = format == "png" ? FIF_PNG : FIF_BMP;
  const int flags = mode == "png6" ? PNG_Z_DEFAULT_COMPRESSION
                    : mode == "png" ? PNG_Z_NO_COMPRESSION
                                    : BMP_DEFAULT;
  const std::string outputFolder = argv[2];
  int converted = 0;
  for (int i = 3; i < argc; ++i) {
    FIBITMAP* image = FreeImage_Load(FIF_DDS, argv[i], 0);
    if (!image) continue;
    std::string name = argv[i];
    size_t slash = name.rfind('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    name = name.substr(0, name.rfind('.')) + "." + format;
    if (FreeImage_Save(outputFormat, image, (outputFolder + name).c_str(), flags)) ++converted;
    FreeImage_Unload(image);
  }
  std::printf("%d\n", converted);
  return 0;
}
