#pragma once

// The library's public face: read DDS textures into pixel buffers, and
// describe DDS files as the pellucidcmd program's --info does. Nothing here throws;
// each call says whether it worked and, when not, why (one line of text).
// Every call may run on any thread; textures are read side by side.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pellucid {

// ---- Reading textures

enum class SampleType : uint8_t { kUint8, kUint16, kFloat32 };

// Bytes of one sample: 1, 2 or 4.
size_t sampleBytes(SampleType type);

// Which surface of a texture: mip level, cube face (0..5 for +X, -X, +Y, -Y,
// +Z, -Z; kNoFace, or 0, when the texture is not a cube map) and array
// element or, in a volume texture, depth slice.
inline constexpr int32_t kNoFace = -1;
struct SurfaceId {
  uint32_t mip = 0;
  int32_t face = kNoFace;
  uint32_t layer = 0;
};

struct Surface {
  SurfaceId id;
  uint32_t width = 0;
  uint32_t height = 0;
};

struct Texture;

// A decoded surface. Rows run from the top, rowBytes() apart (at least
// width * channels * sample bytes); each pixel holds its channels in the
// order grey, or red green blue, or red green blue alpha. The pixels live
// as long as the Image, which may be moved but not copied.
class Image {
 public:
  Image();
  ~Image();
  Image(Image&& other) noexcept;
  Image& operator=(Image&& other) noexcept;

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  int channels() const { return channels_; }  // 1, 3 or 4
  SampleType sampleType() const { return sampleType_; }
  size_t rowBytes() const { return rowBytes_; }
  const void* pixels() const { return pixels_; }
  void* pixels() { return pixels_; }
  bool empty() const { return pixels_ == nullptr; }

  // The decoder's pixel memory behind the image.
  struct Storage;

 private:
  friend bool decodeSurface(const Texture& texture, const SurfaceId& id, Image* image,
                            std::string* error);
  std::unique_ptr<Storage> storage_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  int channels_ = 0;
  SampleType sampleType_ = SampleType::kUint8;
  size_t rowBytes_ = 0;
  void* pixels_ = nullptr;
};

// A DDS file whose header has been read and checked: its surfaces, in file
// order (for each array element, each cube face present, each mip level;
// a volume lists each mip level's depth slices).
struct Texture {
  std::string path;
  uint32_t width = 0;  // of the top level
  uint32_t height = 0;
  uint32_t mips = 1;
  std::vector<int32_t> faces;  // cube faces present, in file order; empty when not a cube map
  uint32_t layers = 1;         // array elements, or depth slices of the top level
  bool volume = false;
  std::vector<Surface> surfaces;
};

// Reads the header of the DDS file at path (UTF-8) and lists its surfaces.
// False, with the reason in *error, when the file cannot be read or is not
// a DDS file this library decodes. The first call tunes the process's
// allocator as the program does: freed blocks up to 64 MB stay in the heap
// for the next texture instead of going back to the system.
bool openTexture(const std::string& path, Texture* texture, std::string* error);

// Decodes one surface of an opened texture into *image. The sample type is
// the decoder's: 8 bits for 8-bit and block layouts (BC1..BC5, BC7), 16 bits
// for 16-bit integer layouts, 32-bit float for float and half layouts and
// BC6H. False, with the reason in *error, when the texture has no such
// surface or its data cannot be decoded (cut short, out of memory).
bool decodeSurface(const Texture& texture, const SurfaceId& id, Image* image, std::string* error);

// ---- What a file holds

// The facts of a DDS file from its header alone, and the SHA-256 of the
// whole file: what the program's --info prints for it.
struct FileInfo {
  std::string path;
  int64_t bytes = 0;
  std::string format;  // "BC7_UNORM_SRGB" for a DX10 file; "DXT1", "A8R8G8B8", ... otherwise
  bool dx10 = false;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 1;   // depth slices of a volume texture
  uint32_t mips = 1;
  uint32_t faces = 0;   // cube faces present; 0 when not a cube map
  uint32_t layers = 1;  // array elements
  bool srgb = false;
  std::string alpha;  // "none", "straight" or "premultiplied"
  bool normalMap = false;
  std::optional<std::string> sha256;  // lower-case hex; none when the file cannot be read
  std::optional<std::string> error;   // why the file cannot be decoded; none when it can
};

// Never fails: a file that cannot be read or decoded gets the facts its
// header allows and an error.
FileInfo describeFile(const std::string& path);

}  // namespace pellucid
