#include "tools/report.h"

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

}  // namespace tolvex::publish
