#include "batch/shard.h"

#include "batch/path_rules.h"
#include "platform/text.h"

namespace {

constexpr uint64_t kFnvOffsetBasis = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

}  // namespace

std::optional<Shard> parseShard(std::string_view text) {
  if (text.empty()) return Shard{};
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::optional<int32_t> index = parseDecimalCount(text.substr(0, slash));
  const std::optional<int32_t> count = parseDecimalCount(text.substr(slash + 1));
  if (!index || !count || *index < 1 || *index > *count) return std::nullopt;
  return Shard{*index, *count};
}

std::string shardKey(const InputEntry& entry) {
  return entry.subfolder + lastPathComponent(entry.path);
}

int32_t shardOfKey(std::string_view key, int32_t count) {
  uint64_t hash = kFnvOffsetBasis;
  for (char c : key) {
    hash ^= static_cast<unsigned char>(c);
    hash *= kFnvPrime;
  }
  return static_cast<int32_t>(hash % static_cast<uint64_t>(count));
}

int32_t keepShard(InputSet& inputs, Shard shard) {
  return inputs.keepListedIf([shard](const InputEntry& entry) {
    return shard.count <= 1 || shardOfKey(shardKey(entry), shard.count) == shard.index - 1;
  });
}
