#pragma once
// Windows file handles for extraction: an owner that closes its HANDLE, and a sink that
// writes decoded bytes to one.
#include <windows.h>

#include "lha/byte_io.h"

namespace tolvex::unlha32 {

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~OwnedHandle() { close(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes now; false when CloseHandle failed (data may not have reached the disk).
  bool close() {
    bool ok = true;
    if (valid()) ok = CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

class HandleSink final : public lha::OutputSink {
 public:
  explicit HandleSink(HANDLE handle) : handle_(handle) {}
  bool write(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(handle_, data, chunk, &written, nullptr) || written == 0) return false;
      data += written;
      size -= written;
    }
    return true;
  }

 private:
  HANDLE handle_;
};

}  // namespace tolvex::unlha32
