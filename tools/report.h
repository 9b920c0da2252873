#pragma once
// Where a command's problems go: "error: ..." and "warning: ..." lines on the error stream,
// counted so the command can choose its exit code.
#include <ostream>
#include <string>

namespace tolvex::publish {

class Report {
 public:
  explicit Report(std::ostream& stream) : stream_(stream) {}

  void error(const std::string& text);
  void warning(const std::string& text);
  // A plain line (progress notes, hints) that is neither.
  void note(const std::string& text);

  int errors() const { return errors_; }
  int warnings() const { return warnings_; }

 private:
  std::ostream& stream_;
  int errors_ = 0;
  int warnings_ = 0;
};

}  // namespace tolvex::publish
