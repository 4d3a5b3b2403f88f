// The Python module `pellucid`: each function hands its arguments to the
// library (include/pellucid/pellucid.h) with the interpreter's lock
// released, and turns the answer into Python objects. A failure the library
// reports becomes ValueError with its reason.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
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

// Text of a path or of any other value: os.fspath for paths, str otherwise.
std::string textOf(const py::handle& value) {
  if (py::hasattr(value, "__fspath__")) return py::str(value.attr("__fspath__")());
  return py::str(value);
}

py::dict recordDict(const pellucid::InputRecord& record) {
  py::list outputs;
  for (const pellucid::OutputRecord& output : record.outputs) {
    outputs.append(py::dict(py::arg("path") = output.path, py::arg("bytes") = output.bytes,
                            py::arg("sha256") = output.sha256));
  }
  return py::dict(py::arg("input") = record.input, py::arg("status") = record.status,
                  py::arg("outputs") = outputs, py::arg("error") = record.error,
                  py::arg("of") = record.of);
}

// Keyword options become long options: jpg_quality=90 is --jpg-quality=90;
// a flag is given by True and left out by False.
py::list convertFiles(const py::handle& input, const py::handle& output, const std::string& format,
                 const py::kwargs& options) {
  std::vector<pellucid::Option> pairs{
      {"input", textOf(input)}, {"output", textOf(output)}, {"conversion", format}};
  for (const auto& [key, value] : options) {
    std::string name = py::str(key);
    for (char& c : name) {
      if (c == '_') c = '-';
    }
    if (py::isinstance<py::bool_>(value)) {
      if (value.cast<bool>()) pairs.emplace_back(name, "");
      continue;
    }
    pairs.emplace_back(name, textOf(value));
  }
  pellucid::BatchResult result;
  {
    py::gil_scoped_release unlocked;
    result = pellucid::runBatch(pairs);
  }
  if (!result.started) throw py::value_error(result.error);
  py::list records;
  for (const pellucid::InputRecord& record : result.inputs) records.append(recordDict(record));
  return records;
}

}  // namespace

PYBIND11_MODULE(pellucid, m) {
  m.doc() = "Read DDS textures into numpy arrays and convert them as pellucidcmd does.";
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
  m.def("convert", &convertFiles, py::arg("input"), py::arg("output"), py::arg("format"),
        "Convert as `pellucidcmd -i input -o output -c format` with the long options as\n"
        "keywords (jpg_quality=90; a flag is True). Returns one dict per input: input,\n"
        "status, outputs (path, bytes, sha256), error, of. Raises ValueError with the\n"
        "program's error text when an option is unknown or invalid.");
}
