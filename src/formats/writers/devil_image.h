#pragma once

#include "formats/writers/devil_calls.h"

// Owns one DevIL image name: generated on construction, deleted on
// destruction. Move-only.
class DevilImage {
 public:
  explicit DevilImage(const DevilCalls& calls) : calls_(&calls) { calls.genImages(1, &name_); }
  ~DevilImage() {
    if (name_ != 0) calls_->deleteImages(1, &name_);
  }
  DevilImage(DevilImage&& other) noexcept : calls_(other.calls_), name_(other.name_) {
    other.name_ = 0;
  }
  DevilImage& operator=(DevilImage&& other) noexcept {
    if (this != &other) {
      if (name_ != 0) calls_->deleteImages(1, &name_);
      calls_ = other.calls_;
      name_ = other.name_;
      other.name_ = 0;
    }
    return *this;
  }
  DevilImage(const DevilImage&) = delete;
  DevilImage& operator=(const DevilImage&) = delete;

  ILuint name() const { return name_; }
  bool valid() const { return name_ != 0; }

 private:
  const DevilCalls* calls_;
  ILuint name_ = 0;
};
