#pragma once

#include <utility>

namespace memotab {

// The one owner of a COM interface pointer: it takes over one reference and gives it
// back when it goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller holds.
  explicit ComPtr(T* pointer) : pointer_(pointer) {}
  ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
    if (pointer_ != nullptr) pointer_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() {
    if (pointer_ != nullptr) pointer_->Release();
  }

  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // Where a call that hands out a reference puts it; whatever was held is given back.
  T** Receive() {
    *this = ComPtr();
    return &pointer_;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace memotab
