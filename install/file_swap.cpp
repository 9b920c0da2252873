#include "install/file_swap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "text/cp932.h"

namespace tolvex {

ArchiveNames form_archive_names(const char* file_name) {
  ArchiveNames names = {};
  copy_cp932_text(names.target, sizeof names.target, file_name);
  copy_cp932_text(names.base, sizeof names.base, file_name);
  if (char* dot = std::strrchr(names.base, '.')) *dot = '\0';  // '.' is never a trail byte
  const struct {
    char* out;
    const char* suffix;
  } forms[] = {{names.archive, ".lzh"}, {names.staged, ".___"}, {names.backup, ".bak"}};
  for (const auto& form : forms) {
    copy_cp932_text(form.out, kFileNameBufferSize, names.base);
    append_cp932_text(form.out, kFileNameBufferSize, form.suffix);
  }
  return names;
}

bool is_updater_row(const ArchiveNames& names) { return std::strcmp(names.base, "tolvex") == 0; }

bool HeldFileRetry::run(const char* name, const std::function<bool()>& attempt, const std::function<bool()>& held) {
  unsigned waited = 0;
  unsigned pause = kFirstPauseMs;
  for (;;) {
    if (attempt()) return true;
    if (!held() || waited >= kTotalPauseMs) return false;
    if (waited == 0) {
      char text[512] = {};
      std::snprintf(text, sizeof text, "%s の使用が終わるのを待っています。", name);
      status_.show_status(text);
    }
    const unsigned this_pause = std::min(pause, kTotalPauseMs - waited);
    waiter_.wait_ms(this_pause);
    waited += this_pause;
    pause = std::min(pause * 2, kLongestPauseMs);
  }
}

}  // namespace tolvex
