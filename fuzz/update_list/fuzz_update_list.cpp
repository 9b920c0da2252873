// Any bytes as an update list: parsing and comparison must stay within their rows and agree
// with themselves when repeated.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue/update_list.h"

namespace {

class NullView : public tolvex::CatalogueView {
 public:
  void clear_rows() override {}
  void insert_row(int, const char*, const char*) override {}
  void set_latest_version(int index, const char* version) override {
    if (index < 0 || index >= tolvex::kManagedFileCount || std::strlen(version) > 20) std::abort();
  }
  void show_status(const char*) override {}
  void reset_progress() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);  // NUL-terminated copy
  tolvex::ManagedFileTable table;
  tolvex::load_managed_names(table);
  for (int i = 0; i < table.RowCount; ++i) tolvex::set_row_version(table, i, i % 3 ? "1,00,0,0001" : "-");
  tolvex::UpdateListRows rows;
  NullView view;
  std::int32_t first = tolvex::compare_step(table, rows, text.c_str(), view);
  std::int32_t second = tolvex::compare_step(table, rows, text.c_str(), view);
  if (first != second || first < 0 || first > tolvex::kManagedFileCount) std::abort();
  for (int i = 0; i < tolvex::kTableCapacity; ++i) {
    if (rows.ListRows[i].Name[12] != '\0' || rows.ListRows[i].Version[20] != '\0') std::abort();
  }
  return 0;
}
