#include "catalogue/update_list.h"

#include <cstring>
#include <utility>

#include "base/errors.h"

namespace tolvex {

const char kStatusCheckingUpdates[] = "アップデート情報確認";
const char kStatusUpdatesFound[] = "アップデートファイル有り";
const char kStatusNoUpdates[] = "アップデートファイル無し";

namespace {

std::unique_ptr<char[]> g_update_list_text;  // process-wide, user-interface thread only

// One line of the text: [start, last] where `last` is the line's ending byte (the carriage
// return of a CR LF ending, else the line feed); `line_feed` is the line feed that ends it.
struct Line {
  const char* start;
  const char* last;
  const char* line_feed;
};

// The ending is CR LF only when the first carriage return from the line's start onward is the
// byte just before the line feed; any other carriage return belongs to the content.
Line delimit_line(const char* start, const char* line_feed) {
  const char* carriage_return = std::strchr(start, '\r');
  const char* last = (carriage_return != nullptr && carriage_return + 1 == line_feed) ? carriage_return : line_feed;
  return Line{start, last, line_feed};
}

// Fills `entry` from one entry line: the name before the first "&", the version after it up to
// the ending byte. Returns false when a part does not fit its field (nothing is stored then).
bool read_entry(const Line& line, FileEntry& entry) {
  const char* ampersand = static_cast<const char*>(std::memchr(line.start, '&', line.last - line.start));
  if (ampersand == nullptr) return true;  // no "&": the entry stays empty
  std::size_t name_length = ampersand - line.start;
  std::size_t version_length = line.last - (ampersand + 1);
  if (name_length >= sizeof entry.Name || version_length >= sizeof entry.Version) return false;
  std::memcpy(entry.Name, line.start, name_length);
  std::memcpy(entry.Version, ampersand + 1, version_length);
  return true;
}

}  // namespace

std::int32_t parse_update_list(const char* text, UpdateListRows& rows, std::int32_t limit) {
  if (limit <= 0) {
    set_last_error(kErrorBadArgument);
    return -1;
  }
  if (limit > kTableCapacity) limit = kTableCapacity;
  std::memset(rows.ListRows, 0, sizeof(FileEntry) * limit);
  std::memset(rows.Oversized, 0, sizeof(bool) * limit);

  std::int32_t count = 0;
  const char* start = text;
  const char* line_feed = std::strchr(start, '\n');
  while (line_feed != nullptr) {
    Line line = delimit_line(start, line_feed);
    if (*line.start == '\r' || *line.start == '\n') break;  // an empty line ends the list
    rows.Oversized[count] = !read_entry(line, rows.ListRows[count]);
    ++count;
    if (count == limit) break;
    start = line_feed + 1;
    line_feed = std::strchr(start, '\n');
  }
  return count;
}

int compare_version_texts(const char* a, const char* b) {
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
  while (*x != 0 && *x == *y) {
    ++x;
    ++y;
  }
  return static_cast<int>(*x) - static_cast<int>(*y);
}

std::int32_t compare_step(ManagedFileTable& table, UpdateListRows& rows, const char* text, CatalogueView& view) {
  const std::int32_t row_count = table.RowCount < kTableCapacity ? table.RowCount : kTableCapacity;
  for (std::int32_t i = 0; i < row_count; ++i) table.UpdateFlags[i] = 0;
  view.show_status(kStatusCheckingUpdates);
  parse_update_list(text, rows, row_count);  // clears the rows itself; an empty row ends the loop below

  std::int32_t found = 0;
  for (std::int32_t j = 0; j < row_count; ++j) {
    const FileEntry& listed = rows.ListRows[j];
    if (rows.Oversized[j]) continue;  // matches no managed file
    if (listed.Name[0] == '\0') break;
    for (std::int32_t k = 0; k < row_count; ++k) {
      FileEntry& managed = table.FileRows[k];
      if (std::strcmp(listed.Name, managed.Name) != 0) continue;
      if (compare_version_texts(listed.Version, managed.Version) > 0) {
        table.UpdateFlags[k] = 1;
        ++found;
        view.set_latest_version(k, listed.Version);
      }
      break;  // only the first matching row counts
    }
  }
  view.show_status(found > 0 ? kStatusUpdatesFound : kStatusNoUpdates);
  return found;
}

const char* update_list_text() { return g_update_list_text ? g_update_list_text.get() : ""; }

void replace_update_list_text(std::unique_ptr<char[]> text) { g_update_list_text = std::move(text); }

}  // namespace tolvex
