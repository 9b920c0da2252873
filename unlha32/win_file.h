#pragma once
// A sink that writes decoded bytes to a Windows file handle.
#include <windows.h>

#include "lha/byte_io.h"

namespace tolvex::unlha32 {

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
