#include "batch/file_hash.h"

#include <openssl/evp.h>

#include <memory>

#include "platform/file_chunks.h"
#include "platform/shared_library.h"

namespace {

// The digest calls, taken from the library when the first digest is asked
// for: most runs take none, and loading the library costs every start about
// a millisecond.
struct DigestCalls {
  EVP_MD_CTX* (*newContext)() = nullptr;
  void (*freeContext)(EVP_MD_CTX*) = nullptr;
  EVP_MD* (*fetch)(OSSL_LIB_CTX*, const char*, const char*) = nullptr;
  const EVP_MD* (*builtIn)() = nullptr;
  int (*init)(EVP_MD_CTX*, const EVP_MD*, ENGINE*) = nullptr;
  int (*update)(EVP_MD_CTX*, const void*, size_t) = nullptr;
  int (*finish)(EVP_MD_CTX*, unsigned char*, unsigned int*) = nullptr;
  void (*freeMethod)(EVP_MD*) = nullptr;
  // Fetched once (and kept): the named method looked up again for every
  // digest costs more than the digest of a short text (a path, a record key).
  const EVP_MD* sha256 = nullptr;
  EVP_MD* fetched = nullptr;  // sha256 when it was fetched: given back at exit

  DigestCalls() = default;
  DigestCalls(const DigestCalls&) = delete;
  DigestCalls& operator=(const DigestCalls&) = delete;
  ~DigestCalls() {
    if (fetched) freeMethod(fetched);
  }
};

// Null when the library or one of its calls is missing: every digest is
// then empty, as for a file that cannot be read.
const DigestCalls* digestCalls() {
  static const std::unique_ptr<DigestCalls> calls = []() -> std::unique_ptr<DigestCalls> {
    static const SharedLibrary library("crypto", 3);
    auto found = std::make_unique<DigestCalls>();
    const bool complete = library.loaded() && library.take("EVP_MD_CTX_new", &found->newContext) &&
                          library.take("EVP_MD_CTX_free", &found->freeContext) &&
                          library.take("EVP_MD_fetch", &found->fetch) &&
                          library.take("EVP_MD_free", &found->freeMethod) &&
                          library.take("EVP_sha256", &found->builtIn) &&
                          library.take("EVP_DigestInit_ex", &found->init) &&
                          library.take("EVP_DigestUpdate", &found->update) &&
                          library.take("EVP_DigestFinal_ex", &found->finish);
    if (!complete) return nullptr;
    found->fetched = found->fetch(nullptr, "SHA256", nullptr);
    found->sha256 = found->fetched ? found->fetched : found->builtIn();
    if (!found->sha256) return nullptr;
    return found;
  }();
  return calls.get();
}

struct DigestFree {
  void (*freeContext)(EVP_MD_CTX*);
  void operator()(EVP_MD_CTX* context) const { freeContext(context); }
};
using Digest = std::unique_ptr<EVP_MD_CTX, DigestFree>;

Digest startSha256(const DigestCalls& calls) {
  Digest digest(calls.newContext(), DigestFree{calls.freeContext});
  if (digest && calls.init(digest.get(), calls.sha256, nullptr) != 1) digest.reset();
  return digest;
}

std::string finishHex(const DigestCalls& calls, EVP_MD_CTX* digest) {
  unsigned char value[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (calls.finish(digest, value, &length) != 1) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[value[i] >> 4];
    hex += kHex[value[i] & 0xf];
  }
  return hex;
}

class HashingSink : public ByteSink {
 public:
  HashingSink(const DigestCalls& calls, EVP_MD_CTX* digest) : calls_(calls), digest_(digest) {}
  bool write(const void* data, size_t size) override {
    ok_ = ok_ && calls_.update(digest_, data, size) == 1;
    bytes_ += static_cast<int64_t>(size);
    return ok_;
  }
  bool ok() const { return ok_; }
  int64_t bytes() const { return bytes_; }

 private:
  const DigestCalls& calls_;
  EVP_MD_CTX* digest_;
  bool ok_ = true;
  int64_t bytes_ = 0;
};

}  // namespace

std::string sourceSha256(const ByteSource& source, int64_t* bytes) {
  const DigestCalls* calls = digestCalls();
  if (!calls) return {};
  Digest digest = startSha256(*calls);
  if (!digest) return {};
  HashingSink sink(*calls, digest.get());
  if (!source(sink) || !sink.ok()) return {};
  *bytes = sink.bytes();
  return finishHex(*calls, digest.get());
}

std::string fileSha256(const std::string& path) {
  constexpr size_t kChunkBytes = size_t{1} << 20;
  int64_t bytes = 0;
  return sourceSha256(
      [&](ByteSink& sink) {
        bool ok = true;
        const bool read = readFileInChunks(path, kChunkBytes, [&](const uint8_t* data, size_t size) {
          ok = ok && sink.write(data, size);
        });
        return read && ok;
      },
      &bytes);
}

std::string bytesSha256(const std::string& bytes) {
  int64_t size = 0;
  return sourceSha256([&](ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); }, &size);
}
