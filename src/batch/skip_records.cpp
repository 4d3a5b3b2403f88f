#include "batch/skip_records.h"

#include <array>
#include <charconv>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

#include "batch/commit_output.h"
#include "batch/file_hash.h"
#include "platform/file_stamp.h"
#include "platform/files.h"

namespace {

constexpr char kRecordHeader[] = "pellucid-record 1";
constexpr std::string_view kPackHeader = "pellucid-pack 1\n";
constexpr std::string_view kRecordEnd = "\nend\n";

// Paths may hold any byte; hex keeps a record one word per field.
std::string toHex(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex(bytes.size() * 2, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    hex[2 * i] = kHex[static_cast<unsigned char>(bytes[i]) >> 4];
    hex[2 * i + 1] = kHex[static_cast<unsigned char>(bytes[i]) & 0xf];
  }
  return hex;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool fromHex(std::string_view hex, std::string* bytes) {
  if (hex.size() % 2 != 0) return false;
  bytes->resize(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = hexDigit(hex[i]);
    const int low = hexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    (*bytes)[i / 2] = static_cast<char>(high * 16 + low);
  }
  return true;
}

struct RecordedOutput {
  OutputFacts facts;
  int64_t modifiedNanos = 0;
};

struct Record {
  std::string key;
  std::string input;
  FileStamp inputStamp;
  std::vector<RecordedOutput> outputs;
};

std::string recordText(const Record& record) {
  std::ostringstream text;
  text << kRecordHeader << '\n'
       << "key " << record.key << '\n'
       << "input " << record.inputStamp.size << ' ' << record.inputStamp.modifiedNanos << ' '
       << toHex(record.input) << '\n';
  for (const RecordedOutput& output : record.outputs) {
    text << "output " << output.facts.bytes << ' ' << output.modifiedNanos << ' '
         << (output.facts.sha256.empty() ? "-" : output.facts.sha256) << ' '
         << toHex(output.facts.path) << '\n';
  }
  text << "end\n";  // a record without it was cut short
  return text.str();
}

// A record as read: views into its text, paths still in hex.
struct ReadOutput {
  int64_t bytes = 0;
  int64_t modifiedNanos = 0;
  std::string_view sha256;  // "-": not taken
  std::string_view pathHex;
};

struct ReadRecord {
  std::string_view key;
  std::string_view inputHex;
  FileStamp inputStamp;
  std::vector<ReadOutput> outputs;
};

// The words of one line, split at single spaces; false past kMostWords.
constexpr size_t kMostWords = 5;
struct Words {
  std::array<std::string_view, kMostWords> word;
  size_t count = 0;
};

bool wordsOf(std::string_view line, Words* words) {
  words->count = 0;
  size_t start = 0;
  for (size_t space; (space = line.find(' ', start)) != std::string_view::npos; start = space + 1) {
    if (words->count == kMostWords) return false;
    words->word[words->count++] = line.substr(start, space - start);
  }
  if (words->count == kMostWords) return false;
  words->word[words->count++] = line.substr(start);
  return true;
}

bool toNumber(std::string_view word, int64_t* value) {
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), *value);
  return error == std::errc() && end == word.data() + word.size();
}

// Parsed by hand and into views: a re-run of a large unchanged tree reads
// one record per input, and building strings cost more than the checks
// themselves. Anything not exactly as recordText writes it rejects the
// record.
bool parseRecord(std::string_view text, ReadRecord* record) {
  std::string_view rest(text);
  bool first = true;
  bool ended = false;
  Words words;
  while (!rest.empty()) {
    const size_t newline = rest.find('\n');
    if (newline == std::string_view::npos) return false;
    const std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline + 1);
    if (first) {
      if (line != kRecordHeader) return false;
      first = false;
      continue;
    }
    if (ended || !wordsOf(line, &words)) return false;
    const auto& word = words.word;
    const std::string_view kind = word[0];
    if (kind == "key" && words.count == 2) {
      record->key = word[1];
    } else if (kind == "input" && words.count == 4) {
      if (!toNumber(word[1], &record->inputStamp.size) ||
          !toNumber(word[2], &record->inputStamp.modifiedNanos)) {
        return false;
      }
      record->inputHex = word[3];
    } else if (kind == "output" && words.count == 5) {
      ReadOutput output{0, 0, word[3], word[4]};
      if (!toNumber(word[1], &output.bytes) || !toNumber(word[2], &output.modifiedNanos)) {
        return false;
      }
      record->outputs.push_back(output);
    } else if (kind == "end" && words.count == 1) {
      ended = true;
    } else {
      return false;
    }
  }
  return ended;
}

// The hex path a record text names: the last word of its "input" line.
std::string_view inputHexOf(std::string_view text) {
  const size_t line = text.find("\ninput ");
  if (line == std::string_view::npos) return {};
  const size_t end = text.find('\n', line + 1);
  if (end == std::string_view::npos) return {};
  const size_t space = text.rfind(' ', end);
  return text.substr(space + 1, end - space - 1);
}

// True when record is of the input whose path is inputHex in hex, as
// stamped now, under key, and every output it names is present with its
// recorded size and time; outputs then receives them.
template <typename StampOf>
bool recordHolds(const ReadRecord& record, std::string_view key, std::string_view inputHex,
                 const FileStamp& now, const StampOf& stampOf, std::vector<OutputFacts>* outputs) {
  if (record.key != key || record.inputHex != inputHex || now.size != record.inputStamp.size ||
      now.modifiedNanos != record.inputStamp.modifiedNanos || record.outputs.empty()) {
    return false;
  }
  outputs->clear();
  for (const ReadOutput& output : record.outputs) {
    OutputFacts facts;
    FileStamp stamp;
    if (!fromHex(output.pathHex, &facts.path) || !stampOf(facts.path, &stamp) ||
        stamp.size != output.bytes || stamp.modifiedNanos != output.modifiedNanos) {
      return false;
    }
    facts.bytes = output.bytes;
    if (output.sha256 != "-") facts.sha256 = std::string(output.sha256);
    outputs->push_back(std::move(facts));
  }
  return true;
}

}  // namespace

SkipRecords::SkipRecords(std::string outputFolder, std::string recordKey,
                         const std::string& runInputs)
    : outputFolder_(std::move(outputFolder)),
      folder_(outputFolder_ + ".pellucid/"),
      key_(bytesSha256(recordKey)),
      packName_(bytesSha256(key_ + '\n' + runInputs) + ".pack"),
      reading_(std::make_unique<OpenFolder>(folder_)),
      outputs_(std::make_unique<OpenFolder>(outputFolder_)) {
  if (!reading_->isOpen() || !readWholeFile(folder_ + packName_, &packText_) ||
      !std::string_view(packText_).starts_with(kPackHeader)) {
    return;
  }
  std::string_view rest = std::string_view(packText_).substr(kPackHeader.size());
  // Records up to one cut short (the pack is renamed into place whole, so
  // only a foreign file could be) are used. Out of memory, the pack is left
  // unused: every input is looked up in its own record.
  try {
    for (size_t end; (end = rest.find(kRecordEnd)) != std::string_view::npos;) {
      packOrder_.push_back(rest.substr(0, end + kRecordEnd.size()));
      rest.remove_prefix(packOrder_.back().size());
    }
  } catch (...) {
    packOrder_.clear();
  }
}

void SkipRecords::forInputs(int32_t inputCount) {
  keptFromPack_.assign(static_cast<size_t>(inputCount), {});
  keptNew_.assign(static_cast<size_t>(inputCount), {});
}

std::string SkipRecords::recordName(const std::string& input) const {
  return bytesSha256(input) + ".rec";
}

std::string_view SkipRecords::packedRecord(int32_t index, const std::string& hexInput) const {
  // The same command over the same tree lists its inputs in the same order.
  const size_t at = static_cast<size_t>(index);
  if (at < packOrder_.size() && inputHexOf(packOrder_[at]) == hexInput) return packOrder_[at];
  if (packOrder_.empty()) return {};
  std::call_once(byInputMade_, [this] {
    byInput_.reserve(packOrder_.size());
    for (const std::string_view record : packOrder_) byInput_.emplace(inputHexOf(record), record);
  });
  const auto found = byInput_.find(hexInput);
  return found == byInput_.end() ? std::string_view() : found->second;
}

bool SkipRecords::upToDate(int32_t index, const std::string& input, const FileStamp* stamp,
                           std::vector<OutputFacts>* outputs) const {
  FileStamp now;
  if (stamp) {
    now = *stamp;
  } else if (!fileStamp(input, &now)) {
    return false;
  }
  const size_t at = static_cast<size_t>(index);
  const std::string inputHex = toHex(input);
  // Outputs are looked up from the output folder, held open: most lie in it.
  const auto outputStamp = [this](const std::string& path, FileStamp* stamp) {
    return path.starts_with(outputFolder_) && outputs_->isOpen()
               ? outputs_->fileStamp(path.c_str() + outputFolder_.size(), stamp)
               : fileStamp(path, stamp);
  };
  ReadRecord record;
  if (const std::string_view packed = packedRecord(index, inputHex);
      !packed.empty() && parseRecord(packed, &record) &&
      recordHolds(record, key_, inputHex, now, outputStamp, outputs)) {
    keptFromPack_[at] = packed;
    return true;
  }
  // Most records fit in one small read; a longer one (many surfaces) is read
  // again whole. A read cut short only fails the parse: the input is then
  // converted again.
  constexpr size_t kShortRecord = 4096;
  const std::string name = recordName(input);
  std::string text;
  record = ReadRecord();
  if (!reading_->readFileOnce(name, kShortRecord, &text)) return false;
  if (text.size() == kShortRecord && !readWholeFile(folder_ + name, &text)) return false;
  if (!parseRecord(text, &record) ||
      !recordHolds(record, key_, inputHex, now, outputStamp, outputs)) {
    return false;
  }
  keptNew_[at] = std::move(text);
  return true;
}

bool SkipRecords::write(int32_t index, const std::string& input,
                        const std::vector<OutputFacts>& outputs) {
  Record record;
  record.key = key_;
  record.input = input;
  if (!fileStamp(input, &record.inputStamp)) return false;
  for (const OutputFacts& facts : outputs) {
    FileStamp stamp;
    if (!fileStamp(facts.path, &stamp)) return false;
    record.outputs.push_back({facts, stamp.modifiedNanos});
    record.outputs.back().facts.bytes = stamp.size;
  }
  if (!isFolder(folder_)) createFolder(folder_);  // another shard may have made it meanwhile
  std::string reason;
  std::string text = recordText(record);
  if (!commitOutput(text, folder_ + recordName(input), &reason)) return false;
  keptFromPack_[static_cast<size_t>(index)] = {};
  keptNew_[static_cast<size_t>(index)] = std::move(text);
  return true;
}

void SkipRecords::writePack() const {
  // Unchanged when every record came from the pack, in its order.
  bool same = keptFromPack_.size() == packOrder_.size();
  for (size_t at = 0; same && at < keptFromPack_.size(); ++at) {
    same = keptFromPack_[at].data() == packOrder_[at].data();
  }
  if (same) return;
  // Unwritten (out of memory too), the next run reads the records one by one.
  try {
    std::string pack(kPackHeader);
    for (size_t at = 0; at < keptNew_.size(); ++at) {
      pack += keptNew_[at].empty() ? keptFromPack_[at] : std::string_view(keptNew_[at]);
    }
    if (!isFolder(folder_)) createFolder(folder_);
    std::string reason;
    commitOutput(pack, folder_ + packName_, &reason);
  } catch (...) {
  }
}
