#include "net/Secret.h"

#include <cstring>
#include <utility>

namespace vrx::net {
void WipeBytes(void* bytes, std::size_t size) {
  if (bytes && size) explicit_bzero(bytes, size);
}

Secret::Secret(std::string_view text) : size_(text.size()), capacity_(text.size() + 1) {
  data_ = std::make_unique<char[]>(capacity_);
  std::memcpy(data_.get(), text.data(), size_);
}

Secret Secret::Taking(std::string& text) {
  Secret secret(text);
  WipeString(text);
  return secret;
}

Secret::Secret(Secret&& other) noexcept
    : data_(std::move(other.data_)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

Secret& Secret::operator=(Secret&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::move(other.data_);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void Secret::Wipe() {
  if (data_) WipeBytes(data_.get(), capacity_);
  size_ = 0;
}

void Secret::Release() {
  Wipe();
  data_.reset();
  capacity_ = 0;
}

void WipeString(std::string& text) {
  // The whole buffer, not only the characters in use: a longer text may have stood there before.
  text.resize(text.capacity());
  WipeBytes(text.data(), text.size());
  text.clear();
}

}  // namespace vrx::net
