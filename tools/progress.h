#pragma once
// A one-line progress display ("[3/26] plo.exe") on stderr, shown only when stderr is a
// terminal, so logs and pipes stay clean and output stays deterministic.
#include <string>

namespace tolvex::publish {

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
