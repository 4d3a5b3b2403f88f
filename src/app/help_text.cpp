#include "app/help_text.h"

#include "app/message_catalogue.h"
#include "formats/format_tables.h"
#include "platform/clock.h"

namespace {

// Which extension fills %s2% of a line.
enum class Example { kNone, kInput, kOutput };

struct HelpLine {
  const char* text;
  Example example;
};

constexpr HelpLine kHelp[] = {
    {" ", Example::kNone},
    {"Usage: %s1% -i <filename> [options]", Example::kNone},
    {" ", Example::kNone},
    {"  %s1% -i example.%s2%", Example::kInput},
    {"  %s1% -i c:\\tmp\\example.%s2%", Example::kInput},
    {"  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted", Example::kInput},
    {"  %s1% -i c:\\tmp\\filelist.txt", Example::kNone},
    {"  %s1% -i c:\\tmp\\ -o d:\\converted --jpg-quality=95", Example::kNone},
    {"  %s1% -i c:\\tmp\\ -o d:\\converted -c %s2% --jpg-quality=95", Example::kOutput},
    {" ", Example::kNone},
    {"Options:", Example::kNone},
    {" ", Example::kNone},
    {"  -h, -?, --help            Display this help and exit", Example::kNone},
    {"  -i FILE, --input=FILE     Set input file/list/folder", Example::kNone},
    {"  -o PATH, --output=PATH    Set output folder", Example::kNone},
    {"  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)", Example::kNone},
    {" ", Example::kNone},
    {"Advanced options:", Example::kNone},
    {" ", Example::kNone},
    {"  --width=NUM               Set output image width", Example::kNone},
    {"  --height=NUM              Set output image height", Example::kNone},
    {"  --filename-mask=STR       Define output filename format", Example::kNone},
    {"  --flip-horizontal         Flip output image horizontally", Example::kNone},
    {"  --flip-vertical           Flip output image vertically", Example::kNone},
    {"  --brightness=NUM          Set output image brightness, NUM = -100..100", Example::kNone},
    {"  --contrast=NUM            Set output image contrast, NUM = -100..100", Example::kNone},
    {"  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99", Example::kNone},
    {"  --invert                  Invert output image", Example::kNone},
    {"  --greyscale               Greyscale output image", Example::kNone},
    {"  --profile=FILE            Set configuration file with required settings", Example::kNone},
    {"    ...                     Refer documentation for all available options", Example::kNone},
    {" ", Example::kNone},
    {"Other options:", Example::kNone},
    {" ", Example::kNone},
    {"  -q, --quiet               Don't print status messages to stdout", Example::kNone},
    {"  -d, --debug               Print debug information to stdout", Example::kNone},
    {"  -p, --pause               Pause at exit", Example::kNone},
    {"  -v, --version             Display version information and exit", Example::kNone},
};

// Each example line picks its own input extension from the default list.
std::string randomInputExtension() {
  const std::vector<std::string>& list = kDefaultInputExtensions;
  int32_t last = static_cast<int32_t>(list.size()) - 1;
  return list[static_cast<size_t>(randomInteger(0, last))];
}

}  // namespace

std::vector<std::string> helpLines(const std::string& programName) {
  std::vector<std::string> lines;
  for (const HelpLine& line : kHelp) {
    std::string extension;
    if (line.example == Example::kInput) extension = randomInputExtension();
    if (line.example == Example::kOutput) extension = formatTables().outputExtensions.front();
    lines.push_back(ExpandPlaceholders(line.text, programName, extension));
  }
  return lines;
}
