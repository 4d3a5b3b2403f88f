// The Python module `pellucid`: each function hands its arguments to the
// library (include/pellucid/pellucid.h) with the interpreter's lock
// released, and turns the answer into Python objects. A failure the library
// reports becomes ValueError with its reason.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "pellucid/pellucid.h"

namespace py = pybind11;

namespace {

py::dtype dtypeOf(pellucid::SampleType type) {
  switch (type) {
    case pellucid::SampleType::kUint8: return py::dtype::of<uint8_t>();
    case pellucid::SampleType::kUint16: return py::dtype::of<uint16_t>();
    case pellucid::SampleType::kFloat32: return py::dtype::of<float>();
  }
  return py::dtype::of<uint8_t>();
}

// The array takes over the decoded pixels: the capsule owns the Image and
// frees it with the last array that views it.
py::array readSurface(const std::filesystem::path& path, uint32_t mip, int32_t face, uint32_t layer) {
  auto image = std::make_unique<pellucid::Image>();
  std::string error;
  bool ok = false;
  {
    py::gil_scoped_release unlocked;
    pellucid::Texture texture;
    ok = pellucid::openTexture(path.string(), &texture, &error) &&
         pellucid::decodeSurface(texture, pellucid::SurfaceId{mip, face, layer}, image.get(), &error);
  }
  if (!ok) throw py::value_error(error);
  const auto sample = static_cast<py::ssize_t>(pellucid::sampleBytes(image->sampleType()));
  const py::ssize_t channels = image->channels();
  std::vector<py::ssize_t> shape{image->height(), image->width(), channels};
  std::vector<py::ssize_t> strides{static_cast<py::ssize_t>(image->rowBytes()), channels * sample,
                                   sample};
  void* pixels = image->pixels();
  py::dtype dtype = dtypeOf(image->sampleType());
  py::capsule owner(image.release(),
                    [](void* held) { delete static_cast<pellucid::Image*>(held); });
  return py::array(dtype, std::move(shape), std::move(strides), pixels, owner);
}

// The keys and values of the program's --info line for the file.
py::dict info(const std::filesystem::path& path) {
  pellucid::FileInfo facts;
  {
    py::gil_scoped_release unlocked;
    facts = pellucid::describeFile(path.string());
  }
  return py::dict(py::arg("path") = facts.path, py::arg("bytes") = facts.bytes,
                  py::arg("format") = facts.format, py::arg("dx10") = facts.dx10,
                  py::arg("width") = facts.width, py::arg("height") = facts.height,
                  py::arg("depth") = facts.depth, py::arg("mips") = facts.mips,
                  py::arg("faces") = facts.faces, py::arg("layers") = facts.layers,
                  py::arg("srgb") = facts.srgb, py::arg("alpha") = facts.alpha,
                  py::arg("normal_map") = facts.normalMap, py::arg("sha256") = facts.sha256,
                  py::arg("error") = facts.error);
}

}  // namespace

PYBIND11_MODULE(pellucid, m) {
  m.doc() = "Read DDS textures into numpy arrays; describe them as pellucidcmd --info does.";
  m.def("info", &info, py::arg("path"),
        "The facts of a DDS file as the program's --info gives them (header only, no pixel\n"
        "decoded, and the file's SHA-256): path, bytes, format, dx10, width, height, depth,\n"
        "mips, faces, layers, srgb, alpha, normal_map, sha256, error (None when decodable).");
  m.def("read", &readSurface, py::arg("path"), py::arg("mip") = 0, py::arg("face") = 0,
        py::arg("layer") = 0,
        "Decode one surface of a DDS file into an array of shape (height, width, channels),\n"
        "dtype uint8, uint16 or float32 as decoded. face is 0..5 (+X, -X, +Y, -Y, +Z, -Z)\n"
        "on a cube map, 0 otherwise; layer is the array element or depth slice.\n"
        "Raises ValueError with the reason when the file or surface cannot be decoded.");
}
