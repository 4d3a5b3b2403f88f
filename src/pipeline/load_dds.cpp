#include "pipeline/load_dds.h"

#include "formats/dds/dds_reader.h"

Bitmap loadDdsImage(const std::string& path) { return readDdsFile(path); }
