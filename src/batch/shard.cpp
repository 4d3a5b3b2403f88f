#include "batch/shard.h"

#include <cstdio>

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

uint64_t fnv1aHash(std::string_view text) {
  uint64_t hash = kFnvOffsetBasis;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= kFnvPrime;
  }
  return hash;
}

int32_t shardOfKey(std::string_view key, int32_t count) {
  return static_cast<int32_t>(fnv1aHash(key) % static_cast<uint64_t>(count));
}

std::string shardLockTag(Shard shard, std::string_view outputFolder) {
  if (shard.count <= 1) return std::string();
  char hash[17];
  std::snprintf(hash, sizeof(hash), "%016llx",
                static_cast<unsigned long long>(fnv1aHash(outputFolder)));
  return " shard " + std::to_string(shard.index) + "-" + std::to_string(shard.count) + " " + hash;
}

int32_t keepShard(InputSet& inputs, Shard shard) {
  return inputs.keepListedIf([shard](const InputEntry& entry) {
    return shard.count <= 1 || shardOfKey(shardKey(entry), shard.count) == shard.index - 1;
  });
}
