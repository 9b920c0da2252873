#pragma once
// Owns one WinInet handle (session, connection or request) and closes it once.
#include <windows.h>
#include <wininet.h>

namespace tolvex {

class InternetHandle {
 public:
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() { reset(); }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;

  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void reset(HINTERNET handle = nullptr) {
    if (handle_ != nullptr) InternetCloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HINTERNET handle_ = nullptr;
};

}  // namespace tolvex
