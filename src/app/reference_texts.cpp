#include "app/reference_texts.h"

#include <cstdio>

#include "formats/format_tables.h"
#include "platform/text.h"
#include "settings/conversion_settings.h"
#include "settings/keyword_tables.h"

const std::vector<NamedText>& optionGroups() {
  static const std::vector<NamedText> groups = {
      {"--help", "Input and output"},      {"--dds-load-as", "Load options"},
      {"--colorspace", "Colour"},          {"--bmp-bpp", "Save options"},
      {"--rotation-type", "Geometry"},
      {"--brightness", "Tone"},            {"--fr-solid-left", "Frame"},
      {"--wm-text", "Text watermark"},     {"--wm-image", "Picture watermark"},
      {"--filename-mask", "Output files"}, {"--info", "Pipelines"},
      {"--debug", "Run control"},
  };
  return groups;
}

const std::vector<NamedText>& maskTokens() {
  static const std::vector<NamedText> tokens = {
      {"%filename%", "input file name without its folder and last extension"},
      {"%filename[u]%", "the same in upper case"},
      {"%filename[l]%", "the same in lower case"},
      {"%filename[t]%", "the same with only the first letter in upper case"},
      {"%ext%", "output format (the -c value)"},
      {"%ext[u]%", "output format in upper case"},
      {"%ext[t]%", "output format with the first letter in upper case"},
      {"%yyyy%", "year now, four digits"},
      {"%mm%", "month now, 01..12"},
      {"%dd%", "day of the month now, 01..31"},
      {"%hh%", "hour now, 00..23"},
      {"%ii%", "minute now, 00..59"},
      {"%ss%", "second now, 00..59"},
      {"%bpp%", "bits per pixel written"},
      {"%width%", "width of the written image"},
      {"%height%", "height of the written image"},
      {"%frame%", "frame number, always 1"},
      {"%rnd%", "random number, five digits, drawn again after each converted file"},
      {"%n%", "count of converted files, five digits or more, from 00001"},
      {"%mip%", "mip level, 0 for the top one (only with --mipmaps=all)"},
      {"%face%", "cube face: posx, negx, posy, negy, posz, negz (only with --faces=all)"},
      {"%layer%", "array element or depth slice, from 0 (only with --layers=all)"},
  };
  return tokens;
}

const std::vector<std::string_view>& surprisingDefaults() {
  static const std::vector<std::string_view> defaults = {
      "Without -c the output format is BMP.",
      "PNG is written uncompressed unless --png-compression is given: --png-compression=zlib6 "
      "makes files a fraction of the size.",
      "Without -o every output lands beside its input (in the input folder, mirroring its "
      "subfolders).",
      "An existing output file of the same name is replaced without notice.",
      "The output folder must exist; subfolders below it are created.",
      "The filename mask is lower-cased as a whole, literal text included.",
  };
  return defaults;
}

const std::vector<NamedText>& exitStatuses() {
  static const std::vector<NamedText> statuses = {
      {"0", "every input file was converted (without --exit-code: always)"},
      {"1", "at least one input file was not converted, or the run was stopped by a signal"},
      {"2", "the run did not start: an Error line before the conversion, or no input file"},
  };
  return statuses;
}

const std::vector<NamedText>& exampleJobs() {
  static const std::vector<NamedText> jobs = {
      {"Every texture of a folder tree to PNG, compressed at zlib level 6",
       "pellucidcmd -i textures/ -o converted/ -c png --png-compression=zlib6"},
      {"Half size",
       "pellucidcmd -i textures/ -o small/ -c png --width=50 --width-unit=percent "
       "--height=50 --height-unit=percent"},
      {"JPEG at quality 85", "pellucidcmd -i textures/ -o jpeg/ -c jpg --jpg-quality=85"},
      {"The files and folders named in a list file, one per line",
       "pellucidcmd -i list.txt -o converted/ -c tga"},
      {"Numbered upper-case names", "pellucidcmd -i textures/ -o out/ -c png "
                                    "--filename-mask=%filename[u]%_%n%.%ext%"},
      {"In a script: stop when a file fails",
       "pellucidcmd -q --exit-code -i textures/ -o out/ -c png || exit 1"},
  };
  return jobs;
}

namespace {

bool isDepthRow(const OptionRow& row) {
  return row.kind == OptionKind::kInteger && endsWith(row.longName, "-bpp");
}

// "--png-bpp" gives "png".
std::string depthFormat(const OptionRow& row) {
  std::string_view name = row.longName.substr(2);
  return std::string(name.substr(0, name.size() - 4));
}

}  // namespace

std::string optionForm(const OptionRow& row) {
  if (row.kind != OptionKind::kKeyword) return describeOption(row);
  return std::string(row.longName) + "=KEYWORD";
}

std::string defaultValueText(const OptionRow& row) {
  const ConversionSettings defaults;
  switch (row.kind) {
    case OptionKind::kInteger:
      if (std::get<SettingsInt>(row.field) == &ConversionSettings::customTimestamp) return "";
      return std::to_string(defaults.*std::get<SettingsInt>(row.field));
    case OptionKind::kReal: {
      char text[32];
      std::snprintf(text, sizeof(text), "%g", defaults.*std::get<SettingsReal>(row.field));
      return text;
    }
    case OptionKind::kKeyword: {
      int32_t code = 0;
      if (auto* field = std::get_if<SettingsInt>(&row.field)) {
        code = defaults.**field;
      } else {
        code = defaults.*std::get<SettingsByte>(row.field);
      }
      return KeywordText(row.keywordTable, code);
    }
    case OptionKind::kText:
      return defaults.*std::get<SettingsText>(row.field);
    default:
      return "";
  }
}

std::vector<std::string> acceptedValues(const OptionRow& row) {
  if (row.kind == OptionKind::kKeyword) return KeywordList(row.keywordTable);
  if (row.kind == OptionKind::kJobText &&
      std::get<JobText>(row.field) == &ConversionJob::conversion) {
    return formatTables().outputExtensions;
  }
  if (!isDepthRow(row) || findOutputFormat(depthFormat(row)) == nullptr) return {};
  std::vector<std::string> values = {"0"};
  for (int32_t depth : allowedDepths(depthFormat(row))) values.push_back(std::to_string(depth));
  return values;
}
