#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "batch/input_set.h"

// One of N disjoint parts of an input set (--shard=K/N). Which part a file
// belongs to is decided by the file alone, from its path relative to the
// input root, so N runs on N machines that see the same input tree agree on
// the split whatever their mount points, core counts or timing, and together
// convert every file exactly once.
struct Shard {
  int32_t index = 1;  // K, 1..count
  int32_t count = 1;  // N; 1 = the whole set
};

// "K/N" with decimal K and N, 1 <= K <= N; nullopt for anything else (signs,
// spaces, zero, K above N, numbers past 32 bits). Empty text is the whole set.
std::optional<Shard> parseShard(std::string_view text);

// The text a file is sorted by: its subfolder below the input root followed
// by its name ("a/b/x.dds" for /in/a/b/x.dds under /in/). Files of a list have
// no root, so only their name counts.
std::string shardKey(const InputEntry& entry);

// FNV-1a (64-bit) of the bytes of text.
uint64_t fnv1aHash(std::string_view text);

// Part (0-based) of a key: fnv1aHash of its bytes modulo count.
int32_t shardOfKey(std::string_view key, int32_t count);

// What sets a run of one part apart for the one-copy-at-a-time lock: the part
// and a hash of the output folder (an absolute path), " shard 3-16
// 9f86d081884c7d65" for part 3 of 16. Parts are disjoint, so runs of different
// parts may convert side by side, while one part started twice into one folder
// still waits for itself. Empty for the whole set: an unsplit run keeps the one
// lock every copy shares.
std::string shardLockTag(Shard shard, std::string_view outputFolder);

// Unlists every entry of inputs that belongs to another part. Returns the
// number of entries still listed.
int32_t keepShard(InputSet& inputs, Shard shard);
