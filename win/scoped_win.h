#pragma once
// Owners of Win32 handles: each closes what it holds exactly once, on every way out, and none
// can be copied.
#include <windows.h>
#include <bcrypt.h>
#include <wininet.h>

namespace tolvex {

// A kernel object handle (file, process, ...). Both null and INVALID_HANDLE_VALUE mean none.
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
  // Closes what it holds and takes `handle`.
  void reset(HANDLE handle) {
    (void)close();
    handle_ = handle;
  }
  // Hands what it holds to the caller, who closes it then.
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

// A handle that `Close` releases; null means none.
template <typename Handle, auto Close>
class OwnedPointerHandle {
 public:
  OwnedPointerHandle() = default;
  explicit OwnedPointerHandle(Handle handle) : handle_(handle) {}
  ~OwnedPointerHandle() { reset(); }
  OwnedPointerHandle(const OwnedPointerHandle&) = delete;
  OwnedPointerHandle& operator=(const OwnedPointerHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

// An open registry key.
using OwnedKey = OwnedPointerHandle<HKEY, RegCloseKey>;

// One WinInet handle (session, connection or request).
using InternetHandle = OwnedPointerHandle<HINTERNET, InternetCloseHandle>;

// Memory the system allocated with LocalAlloc for the caller (a security descriptor, ...).
using LocalMemory = OwnedPointerHandle<HLOCAL, LocalFree>;

// CNG objects (link bcrypt): an algorithm provider, a key, a hash object. A key or hash must be
// destroyed before the provider it came from.
inline void close_algorithm_provider(BCRYPT_ALG_HANDLE provider) { BCryptCloseAlgorithmProvider(provider, 0); }
using CryptoProvider = OwnedPointerHandle<BCRYPT_ALG_HANDLE, close_algorithm_provider>;
using CryptoKey = OwnedPointerHandle<BCRYPT_KEY_HANDLE, BCryptDestroyKey>;
using CryptoHash = OwnedPointerHandle<BCRYPT_HASH_HANDLE, BCryptDestroyHash>;

// A mapped view of a file (MapViewOfFile), unmapped when the owner goes; null means none.
class MappedView {
 public:
  explicit MappedView(void* view) : view_(view) {}
  ~MappedView() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
  }
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;

  const unsigned char* bytes() const { return static_cast<const unsigned char*>(view_); }
  explicit operator bool() const { return view_ != nullptr; }

 private:
  void* view_;
};

// A library loaded for as long as the owner lives.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {}
  // LoadLibraryExA(path, flags); `path` may be empty (nothing loaded).
  LoadedLibrary(const char* path, DWORD flags)
      : module_(path[0] != '\0' ? LoadLibraryExA(path, nullptr, flags) : nullptr) {}
  ~LoadedLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  HMODULE get() const { return module_; }
  // The export at `ordinal`, or null when the library or the export is missing.
  FARPROC entry(WORD ordinal) const {
    return module_ != nullptr ? GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)) : nullptr;
  }

 private:
  HMODULE module_;
};

// An icon made by LoadImage without LR_SHARED (CreateIcon and the like), destroyed once.
using OwnedIcon = OwnedPointerHandle<HICON, DestroyIcon>;

// A window's device context (GetDC), released when the owner goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A FindFirstFileA search, closed on every way out.
class FileSearch {
 public:
  FileSearch(const char* pattern, WIN32_FIND_DATAA& found) : handle_(FindFirstFileA(pattern, &found)) {}
  ~FileSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;

  // False when nothing matched the pattern.
  bool found_any() const { return handle_ != INVALID_HANDLE_VALUE; }
  // The next match into `found`; false when there is none.
  bool next(WIN32_FIND_DATAA& found) { return FindNextFileA(handle_, &found) != FALSE; }

 private:
  HANDLE handle_;
};

// A uniquely named file made by GetTempFileNameA, deleted when the owner goes unless it was
// kept (moved into place under its real name).
class TemporaryFile {
 public:
  TemporaryFile() = default;
  ~TemporaryFile() {
    if (path_[0] != '\0') DeleteFileA(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Creates an empty file "<prefix>XXXX.tmp" in `folder`; false when none could be made.
  bool create(const char* folder, const char* prefix) {
    if (GetTempFileNameA(folder, prefix, 0, path_) != 0) return true;
    path_[0] = '\0';
    return false;
  }
  const char* path() const { return path_; }
  // The file now stands under another name: nothing is left to delete.
  void keep() { path_[0] = '\0'; }

 private:
  char path_[MAX_PATH + 1] = {};
};

// Shows the wait cursor while it lives; the previous cursor comes back on every way out.
class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace tolvex
