#include "tools/report.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tolvex::publish {

void Report::error(const std::string& text) {
  ++errors_;
  stream_ << "error: " << text << '\n';
  stream_.flush();
}

void Report::warning(const std::string& text) {
  ++warnings_;
  stream_ << "warning: " << text << '\n';
  stream_.flush();
}

void Report::note(const std::string& text) {
  stream_ << text << '\n';
  stream_.flush();
}

Progress Progress::for_terminal() {
#ifdef _WIN32
  return Progress(_isatty(_fileno(stderr)) != 0);
#else
  return Progress(isatty(fileno(stderr)) != 0);
#endif
}

void Progress::step(int done, int total, const std::string& what) {
  if (!enabled_) return;
  std::string line = "[" + std::to_string(done) + "/" + std::to_string(total) + "] " + what;
  std::string padding(shown_ > line.size() ? shown_ - line.size() : 0, ' ');
  std::fprintf(stderr, "\r%s%s", line.c_str(), padding.c_str());
  std::fflush(stderr);
  shown_ = line.size();
}

void Progress::finish() {
  if (!enabled_ || shown_ == 0) return;
  std::fprintf(stderr, "\r%s\r", std::string(shown_, ' ').c_str());
  std::fflush(stderr);
  shown_ = 0;
}

}  // namespace tolvex::publish
