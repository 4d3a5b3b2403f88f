#pragma once

#include <IL/il.h>

// Owns one DevIL image name: generated on construction, deleted on
// destruction. Move-only.
class DevilImage {
 public:
  DevilImage() { ilGenImages(1, &name_); }
  ~DevilImage() {
    if (name_ != 0) ilDeleteImages(1, &name_);
  }
  DevilImage(DevilImage&& other) noexcept : name_(other.name_) { other.name_ = 0; }
  DevilImage& operator=(DevilImage&& other) noexcept {
    if (this != &other) {
      if (name_ != 0) ilDeleteImages(1, &name_);
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
  ILuint name_ = 0;
};
