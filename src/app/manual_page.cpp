#include "app/program_identity.h"
#include "app/reference_documents.h"
#include "app/reference_texts.h"
#include "formats/format_tables.h"
#include "platform/text.h"

namespace {

// Text for a roff line: backslashes and hyphens escaped, and a leading "."
// or "'" kept from being read as a request.
std::string roff(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out.push_back(c);
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

std::string bold(std::string_view text) { return "\\fB" + roff(text) + "\\fR"; }
std::string italic(std::string_view text) { return "\\fI" + roff(text) + "\\fR"; }

// "-i FILE, --input=FILE" with names bold and the value word italic.
std::string optionHeading(const OptionRow& row) {
  std::string hint(row.valueHint);
  if (row.kind == OptionKind::kKeyword) hint = "KEYWORD";
  std::string longForm = bold(row.longName) + (hint.empty() ? "" : "=" + italic(hint));
  if (row.shortName.empty()) return longForm;
  std::string shortForm = bold(row.shortName) + (hint.empty() ? "" : " " + italic(hint));
  if (!row.aliasName.empty()) shortForm += ", " + bold(row.aliasName);
  return shortForm + ", " + longForm;
}

std::string listOf(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : ", ") + value;
  return text;
}

void appendOptions(std::string& out) {
  out += ".SH OPTIONS\n";
  for (const OptionRow& row : optionTable()) {
    for (const NamedText& group : optionGroups()) {
      if (group.name == row.longName) out += ".SS " + roff(group.text) + "\n";
    }
    out += ".TP\n" + optionHeading(row) + "\n" + roff(row.description());
    if (row.description().back() != '.') out += ".";
    std::vector<std::string> values = acceptedValues(row);
    if (!values.empty()) out += " Values: " + roff(listOf(values)) + ".";
    std::string defaultText = defaultValueText(row);
    if (!defaultText.empty()) out += " Default: " + roff(defaultText) + ".";
    if (!row.inProfile) out += " Command line only.";
    out += "\n";
  }
}

void appendTokensAndFormats(std::string& out) {
  out += ".SH FILENAME MASK\n"
         "The output name is the mask with each token replaced; the whole mask is "
         "lower-cased first, literal text included.\nA \\(lq/\\(rq in the mask names a "
         "subfolder of the output folder, which must exist.\n";
  for (const NamedText& token : maskTokens()) {
    out += ".TP\n" + bold(token.name) + "\n" + roff(token.text) + "\n";
  }
  out += ".SH FORMATS\nThe 23 values of " + bold("-c") +
         ", with the bits per pixel each allows (the " + bold("--FORMAT-bpp") +
         " options; 0 picks one automatically):\n";
  for (const std::string& extension : formatTables().outputExtensions) {
    const OutputFormat* format = findOutputFormat(extension);
    out += ".TP\n" + bold(extension) + "\n" + roff(format->description) + "; " +
           roff(replaceAllIgnoringCase(format->depths, ",", ", ")) + "\n";
  }
}

void appendClosingSections(std::string& out) {
  out += ".SH DEFAULTS\n";
  for (std::string_view line : surprisingDefaults()) out += ".IP \\(bu 2\n" + roff(line) + "\n";
  out += ".SH EXIT STATUS\nWithout " + bold("--exit-code") +
         " the status is always 0. With it:\n";
  for (const NamedText& status : exitStatuses()) {
    out += ".TP\n" + bold(status.name) + "\n" + roff(status.text) + "\n";
  }
  out += ".PP\nA run ended by a signal (Ctrl+C) ends with status 1 when " + bold("--exit-code") +
         " is given, otherwise by that signal; its partly written output is removed.\n";
  out += ".SH ENVIRONMENT\n.TP\n" + bold("XDG_RUNTIME_DIR") +
         "\nHolds the lock file that lets one copy convert at a time (with --shard: one copy per part and\n"
         "output folder); a second copy waits.\n"
         "When it is unset or unusable, a private folder " +
         italic("pellucidcmd-UID") + " below " + bold("TMPDIR") + " (default " +
         italic("/tmp") + ") is used.\n";
  out += ".SH EXAMPLES\n";
  for (const NamedText& job : exampleJobs()) {
    out += ".PP\n" + roff(job.name) + ":\n.PP\n.RS 4\n.nf\n" + roff(job.text) + "\n.fi\n.RE\n";
  }
}

}  // namespace

std::string manualPage() {
  std::string version = VersionText(kProgramVersion);
  std::string out = ".TH PELLUCIDCMD 1 \"\" \"pellucidcmd " + version + "\" \"User Commands\"\n";
  out += ".nh\n.ad l\n";  // no hyphenation, ragged right: option names stay whole
  out += ".SH NAME\npellucidcmd \\- convert DDS textures into other image formats\n";
  out += ".SH SYNOPSIS\n" + bold("pellucidcmd") + " " + bold("-i") + " " + italic("INPUT") +
         " [" + bold("-o") + " " + italic("FOLDER") + "] [" + bold("-c") + " " +
         italic("FORMAT") + "] [" + italic("options") + "]\n";
  out += ".SH DESCRIPTION\n" + bold("pellucidcmd") +
         " converts DirectDraw Surface (DDS) textures into one of 23 image formats.\n"
         "The input is one DDS file, a list file (" + italic(".txt") + " or " + italic(".lst") +
         ", one file or folder per line) or a folder searched with all its subfolders.\n"
         "Relative paths are taken from the current directory.\n"
         "Long options take their value after \\(lq=\\(rq; " + bold("-i") + ", " + bold("-o") +
         " and " + bold("-c") + " take the next parameter.\nOption names and keywords are "
         "case-insensitive; unknown options are ignored.\nThe report goes to standard output "
         "with CR LF line ends; on a terminal a progress line runs on standard error.\n";
  appendOptions(out);
  appendTokensAndFormats(out);
  appendClosingSections(out);
  return out;
}
