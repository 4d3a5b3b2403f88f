#include "pipeline/independent_reader.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

int runCommand(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = std::move(text);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string identifyText(const std::string& path, const std::string& format) {
  std::string out;
  if (runCommand("/usr/bin/identify -format " + shellQuote(format) + " " + shellQuote(path + "[0]"),
                 &out) != 0) {
    return "";
  }
  return out;
}

bool decodeWithImageMagick(const std::string& path, DecodedImage* image) {
  *image = DecodedImage{};
  const std::string size = identifyText(path, "%w %h");
  if (std::sscanf(size.c_str(), "%d %d", &image->width, &image->height) != 2) return false;
  std::string raw;
  if (runCommand("/usr/bin/convert " + shellQuote(path + "[0]") + " -depth 8 rgba:-", &raw) != 0) {
    return false;
  }
  const size_t count = static_cast<size_t>(image->width) * image->height;
  if (raw.size() != count * 4) return false;
  image->pixels.resize(count);
  for (size_t i = 0; i < count; ++i) {
    image->pixels[i] = Rgba{static_cast<uint8_t>(raw[4 * i]), static_cast<uint8_t>(raw[4 * i + 1]),
                            static_cast<uint8_t>(raw[4 * i + 2]),
                            static_cast<uint8_t>(raw[4 * i + 3])};
  }
  return true;
}

namespace {

// Runs convertCommand (which writes target from source) in a private folder
// and hands the target's path to use; the folder is removed afterwards.
template <typename Use>
bool withConvertedCopy(const std::string& path, const std::string& sourceName,
                       const std::string& targetName, const std::string& convertCommand,
                       Use use) {
  namespace fs = std::filesystem;
  static std::atomic<int> serial{0};
  const fs::path folder = fs::temp_directory_path() / ("pellucid-reader-" +
                                                       std::to_string(::getpid()) + "-" +
                                                       std::to_string(serial++));
  std::error_code error;
  fs::create_directories(folder, error);
  const fs::path source = folder / sourceName;
  const fs::path target = folder / targetName;
  fs::copy_file(path, source, error);
  std::string command = convertCommand;
  for (auto [key, value] : {std::pair<std::string, std::string>{"{in}", source.string()},
                            std::pair<std::string, std::string>{"{out}", target.string()}}) {
    command.replace(command.find(key), key.size(), shellQuote(value));
  }
  bool ok = !error && runCommand(command + " >/dev/null") == 0 && fs::exists(target) &&
            use(target.string());
  fs::remove_all(folder, error);
  return ok;
}

bool endsWithText(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool decodeWithJxrDecApp(const std::string& path, DecodedImage* image) {
  // TIFF keeps alpha; 5-6-5 and 5-5-5 pictures come out as TIFF files
  // ImageMagick cannot read, so those go through BMP.
  auto decode = [&](const std::string& converted) { return decodeWithImageMagick(converted, image); };
  return withConvertedCopy(path, "in.jxr", "out.tif", "JxrDecApp -i {in} -o {out}", decode) ||
         withConvertedCopy(path, "in.jxr", "out.bmp", "JxrDecApp -i {in} -o {out}", decode);
}

bool decodeWithOiio(const std::string& path, DecodedImage* image) {
  const std::string extension = path.substr(path.rfind('.'));
  return withConvertedCopy(path, "in" + extension, "out.png", "oiiotool {in} -d uint8 -o {out}",
                           [&](const std::string& png) { return decodeWithImageMagick(png, image); });
}

bool decodeIndependently(const std::string& path, DecodedImage* image) {
  if (endsWithText(path, ".jxr")) return decodeWithJxrDecApp(path, image);
  // ImageMagick 6.9 reads FreeImage's bottom-up TGA files upside down; PIL and
  // OpenImageIO agree the files are right.
  if (endsWithText(path, ".exr") || endsWithText(path, ".tga")) return decodeWithOiio(path, image);
  return decodeWithImageMagick(path, image);
}

std::string describeIndependently(const std::string& path) {
  std::string text;
  auto describe = [&](const std::string& converted) {
    text = identifyText(converted, "%[channels] %z");
    return true;
  };
  if (endsWithText(path, ".jxr")) {
    withConvertedCopy(path, "in.jxr", "out.tif", "JxrDecApp -i {in} -o {out}", describe);
  } else if (endsWithText(path, ".exr")) {
    withConvertedCopy(path, "in.exr", "out.tif", "oiiotool {in} -o {out}", describe);
  } else {
    describe(path);
  }
  return text;
}

bool decodeWithNvdecompress(const std::string& path, DecodedImage* image) {
  // nvdecompress writes name.tga beside its input; work on a private copy.
  namespace fs = std::filesystem;
  static std::atomic<int> serial{0};
  const fs::path folder = fs::temp_directory_path() / ("pellucid-nv-" + std::to_string(::getpid()) +
                                                       "-" + std::to_string(serial++));
  std::error_code error;
  fs::create_directories(folder, error);
  const fs::path copy = folder / "input.dds";
  fs::copy_file(path, copy, error);
  bool ok = !error && runCommand("nvdecompress " + shellQuote(copy.string()) + " >/dev/null") == 0 &&
            decodeWithImageMagick((folder / "input.tga").string(), image);
  fs::remove_all(folder, error);
  return ok;
}

int largestChannelDifference(const DecodedImage& a, const DecodedImage& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return -1;
  int largest = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    const Rgba& p = a.pixels[i];
    const Rgba& q = b.pixels[i];
    largest = std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b),
                        std::abs(p.a - q.a)});
  }
  return largest;
}
