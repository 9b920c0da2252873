#pragma once
// What a command tells the maker besides its results: "error: ..." and "warning: ..." lines on
// the error stream, counted so the command can choose its exit code, and a one-line progress
// display on stderr.
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

// A one-line progress display ("[3/26] plo.exe") on stderr, shown only when stderr is a
// terminal, so logs and pipes stay clean and output stays deterministic.
class Progress {
 public:
  // `enabled` false shows nothing; for_terminal() decides by isatty(stderr).
  explicit Progress(bool enabled) : enabled_(enabled) {}
  static Progress for_terminal();
  ~Progress() { finish(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void step(int done, int total, const std::string& what);
  // Clears the line.
  void finish();

 private:
  bool enabled_;
  std::size_t shown_ = 0;  // width of the line on screen
};

}  // namespace tolvex::publish
