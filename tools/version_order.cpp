#include "tools/version_order.h"

#include "tools/file_version_text.h"

namespace tolvex::publish {
namespace {

void fields_of(const std::string& text, unsigned long fields[4]) {
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t end = i < 3 ? text.find(',', start) : text.size();
    fields[i] = std::stoul(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

bool compare_version_numbers(const std::string& a, const std::string& b, int& order) {
  if (!is_version_text_form(a) || !is_version_text_form(b)) return false;
  unsigned long x[4], y[4];
  fields_of(a, x);
  fields_of(b, y);
  order = 0;
  for (int i = 0; i < 4 && order == 0; ++i) order = x[i] < y[i] ? -1 : (x[i] > y[i] ? 1 : 0);
  return true;
}

}  // namespace tolvex::publish
