#include "formats/format_tables.h"

namespace {

void addInputGroup(std::vector<InputFormat>& table, const char* key,
                   std::initializer_list<const char*> extensions, const char* description) {
  for (const char* extension : extensions) table.push_back({extension, key, description});
}

std::vector<InputFormat> buildInputTable() {
  std::vector<InputFormat> t;
  addInputGroup(t, "bmp", {"bmp", "rle", "dib"}, "Windows or OS/2 Bitmap");
  addInputGroup(t, "dds", {"dds"}, "DirectDraw Surface File");
  addInputGroup(t, "emf", {"emf", "emz"}, "Enhanced Metafile Format");
  addInputGroup(t, "gif", {"gif"}, "GIF File");
  addInputGroup(t, "hdr", {"hdr", "hdri"}, "High Dynamic Range File");
  addInputGroup(t, "ico", {"ico"}, "Windows Icon");
  addInputGroup(t, "jpg", {"jpg", "jpeg", "jpe", "jif"}, "JPEG File");
  addInputGroup(t, "pcd", {"pcd", "pcd1", "pcds", "ppcd"}, "Kodak PhotoCD File");
  addInputGroup(t, "pcx", {"pcx"}, "ZSoft Paintbrush File");
  addInputGroup(t, "pic", {"pic", "pict", "pct"}, "Macintosh PICT");
  addInputGroup(t, "png", {"png"}, "Portable Network Graphics");
  addInputGroup(t, "psd", {"psd"}, "Adobe Photoshop File");
  addInputGroup(t, "tga", {"tga", "targa"}, "Truevision Targa");
  addInputGroup(t, "tiff", {"tiff", "tif"}, "Tagged Image File Format");
  addInputGroup(t, "wmf", {"wmf", "wmz"}, "Windows Metafile Format");
  addInputGroup(t, "wmf", {"apm"}, "Aldus Placeable Metafile");
  addInputGroup(t, "raw", {"raw", "raw1", "raw2"}, "Camera RAW Image");
  addInputGroup(t, "raw", {"3fr"}, "Hasselblad Camera RAW Image");
  addInputGroup(t, "raw", {"arw", "sr2", "srf"}, "Sony Camera RAW Image");
  addInputGroup(t, "raw", {"bay"}, "Casio Camera RAW Image");
  addInputGroup(t, "raw", {"bmq"}, "NuCore RAW Image");
  addInputGroup(t, "raw", {"cap", "iiq", "eip"}, "Phase One Camera RAW Image");
  addInputGroup(t, "raw", {"cine"}, "Phantom RAW Image");
  addInputGroup(t, "raw", {"cr2", "crw"}, "Canon Camera RAW Image");
  addInputGroup(t, "raw", {"cs1"}, "Capture Shop RAW Image");
  addInputGroup(t, "raw", {"dc2", "dcr", "drf", "dsc", "k25", "kc2", "kdc", "dcs"},
                "Kodak Camera RAW Image");
  addInputGroup(t, "raw", {"dng"}, "Adobe Digital Negative Image");
  addInputGroup(t, "raw", {"erf"}, "Epson Camera RAW Image");
  addInputGroup(t, "raw", {"fff"}, "Imacon Camera RAW Image");
  addInputGroup(t, "raw", {"ia", "sti"}, "Sinar RAW Image");
  addInputGroup(t, "raw", {"mdc", "mrw"}, "Minolta Camera RAW Image");
  addInputGroup(t, "raw", {"mef", "mos"}, "Mamiya Camera RAW Image");
  addInputGroup(t, "raw", {"nef", "nrw"}, "Nikon Camera RAW Image");
  addInputGroup(t, "raw", {"orf"}, "Olympus Camera RAW Image");
  addInputGroup(t, "raw", {"pef", "ptx"}, "Pentax Camera RAW Image");
  addInputGroup(t, "raw", {"pxn"}, "Logitech Camera RAW Image");
  addInputGroup(t, "raw", {"qtk"}, "Apple Quicktake Camera RAW Image");
  addInputGroup(t, "raw", {"raf"}, "Fuji Camera RAW Image");
  addInputGroup(t, "raw", {"rdc"}, "Digital Foto Maker RAW Image");
  addInputGroup(t, "raw", {"rw2"}, "Panasonic Camera RAW Image");
  addInputGroup(t, "raw", {"rwz"}, "Rawzor Camera RAW Image");
  addInputGroup(t, "raw", {"x3f"}, "Sigma Camera RAW Image");
  addInputGroup(t, "raw", {"ari"}, "ARRI RAW Image");
  addInputGroup(t, "raw", {"r3d"}, "RED RAW Image");
  addInputGroup(t, "raw", {"rwl"}, "Leica Camera RAW Image");
  return t;
}

// Decimal fields of a comma-separated list; a field without digits reads as 0.
std::vector<int32_t> splitDepths(const std::string& list, size_t maxEntries) {
  std::vector<int32_t> values;
  int32_t value = 0;
  for (size_t i = 0; i <= list.size() && values.size() < maxEntries; ++i) {
    if (i == list.size() || list[i] == ',') {
      values.push_back(value);
      value = 0;
    } else if (list[i] >= '0' && list[i] <= '9') {
      value = value * 10 + (list[i] - '0');
    }
  }
  return values;
}

}  // namespace

FormatTables buildFormatTables() {
  FormatTables tables;
  tables.outputExtensions = {"bmp", "dds", "exr", "gif",  "hdr",  "ico",  "j2k", "jng",
                             "jp2", "jpg", "jxr", "pbm",  "pcx",  "pfm",  "pgm", "png",
                             "ppm", "psd", "tga", "tiff", "wbmp", "webp", "xpm"};
  tables.inputFormatList = {"dds"};
  tables.inputFormats = buildInputTable();
  tables.outputFormats = buildOutputTable();
  return tables;
}

const FormatTables& formatTables() {
  static const FormatTables tables = buildFormatTables();
  return tables;
}

std::vector<std::string> buildAcceptedInputExtensions(const FormatTables& tables) {
  std::vector<std::string> accepted;
  for (const std::string& key : tables.inputFormatList) {
    for (const InputFormat& entry : tables.inputFormats) {
      if (entry.formatKey == key) accepted.push_back(entry.extension);
    }
  }
  if (accepted.empty()) accepted.push_back("");
  return accepted;
}

const OutputFormat* findOutputFormat(std::string_view extension) {
  for (const OutputFormat& format : formatTables().outputFormats) {
    if (format.extension == extension) return &format;
  }
  return nullptr;
}

const InputFormat* findInputFormat(std::string_view extension) {
  for (const InputFormat& format : formatTables().inputFormats) {
    if (format.extension == extension) return &format;
  }
  return nullptr;
}

bool isOutputExtension(std::string_view extension) {
  for (const std::string& e : formatTables().outputExtensions) {
    if (e == extension) return true;
  }
  return false;
}

std::vector<int32_t> allowedDepths(std::string_view extension) {
  const OutputFormat* format = findOutputFormat(extension);
  if (!format) return {};
  return splitDepths(format->depths, 127);
}

bool isBppAllowed(std::string_view extension, int32_t bpp) {
  if (bpp == 0) return true;
  for (int32_t depth : allowedDepths(extension)) {
    if (depth == bpp) return true;
  }
  return false;
}
