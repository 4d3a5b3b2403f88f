#include "batch/file_hash.h"

#include <openssl/evp.h>

#include <memory>

#include "platform/file_chunks.h"

namespace {

struct DigestFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Digest = std::unique_ptr<EVP_MD_CTX, DigestFree>;

constexpr size_t kChunkBytes = size_t{1} << 20;

struct MethodFree {
  void operator()(EVP_MD* method) const { EVP_MD_free(method); }
};

// Fetched once: the named method looked up again for every digest costs more
// than the digest of a short text (a path, a record key).
const EVP_MD* sha256Method() {
  static const std::unique_ptr<EVP_MD, MethodFree> fetched(EVP_MD_fetch(nullptr, "SHA256", nullptr));
  return fetched ? fetched.get() : EVP_sha256();
}

Digest startSha256() {
  Digest digest(EVP_MD_CTX_new());
  if (digest && EVP_DigestInit_ex(digest.get(), sha256Method(), nullptr) != 1) digest.reset();
  return digest;
}

std::string finishHex(EVP_MD_CTX* digest) {
  unsigned char value[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(digest, value, &length) != 1) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[value[i] >> 4];
    hex += kHex[value[i] & 0xf];
  }
  return hex;
}

}  // namespace

std::string fileSha256(const std::string& path) {
  Digest digest = startSha256();
  if (!digest) return {};
  bool ok = true;
  const bool read = readFileInChunks(path, kChunkBytes, [&](const uint8_t* data, size_t size) {
    ok = ok && EVP_DigestUpdate(digest.get(), data, size) == 1;
  });
  if (!read || !ok) return {};
  return finishHex(digest.get());
}

std::string bytesSha256(const std::string& bytes) {
  Digest digest = startSha256();
  if (!digest || EVP_DigestUpdate(digest.get(), bytes.data(), bytes.size()) != 1) return {};
  return finishHex(digest.get());
}

namespace {

class HashingSink : public ByteSink {
 public:
  explicit HashingSink(EVP_MD_CTX* digest) : digest_(digest) {}
  bool write(const void* data, size_t size) override {
    ok_ = ok_ && EVP_DigestUpdate(digest_, data, size) == 1;
    bytes_ += static_cast<int64_t>(size);
    return ok_;
  }
  bool ok() const { return ok_; }
  int64_t bytes() const { return bytes_; }

 private:
  EVP_MD_CTX* digest_;
  bool ok_ = true;
  int64_t bytes_ = 0;
};

}  // namespace

std::string sourceSha256(const ByteSource& source, int64_t* bytes) {
  Digest digest = startSha256();
  if (!digest) return {};
  HashingSink sink(digest.get());
  if (!source(sink) || !sink.ok()) return {};
  *bytes = sink.bytes();
  return finishHex(digest.get());
}
