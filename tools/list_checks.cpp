#include "tools/list_checks.h"

#include <set>

#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "catalogue/version_text.h"
#include "text/cp932.h"
#include "tools/file_system.h"
#include "tools/file_version_text.h"

namespace tolvex::publish {

bool check_list_name(const std::string& name, std::string& error) {
  if (name.empty()) {
    error = "the list name is empty";
    return false;
  }
  if (find_last_path_separator(name.c_str()) != nullptr || name == "." || name == "..") {
    error = "the list name \"" + name + "\" must be a bare file name (it lies beside the archives)";
    return false;
  }
  if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".lzh") == 0) {
    error = "the list name \"" + name + "\" ends in .lzh, like the archives";
    return false;
  }
  return true;
}

int managed_row(const std::string& name) {
  for (int row = 0; row < kManagedFileCount; ++row)
    if (name == kManagedFileNames[row]) return row;
  return -1;
}

const char* managed_name_in_other_case(const std::string& name) {
  for (const char* managed : kManagedFileNames)
    if (equals_ignoring_ascii_case(name.c_str(), managed)) return managed;
  return nullptr;
}

std::string unmanaged_name_reason(const std::string& name) {
  if (managed_row(name) >= 0) return "";
  if (const char* managed = managed_name_in_other_case(name))
    return "the updater matches names byte for byte: spell it \"" + std::string(managed) + "\"";
  return "not one of the 26 files the updater manages";
}

namespace {

constexpr std::size_t kLongestEntry = (kNameFieldSize - 1) + 1 + (kVersionFieldSize - 1);

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string at_line(int line) { return "line " + std::to_string(line) + ": "; }

// The checks of one entry line's content (without its ending).
void check_entry(const std::string& content, int line, ListedEntry& entry, std::set<std::string>& seen,
                 Report& report) {
  if (content.size() > kLongestEntry)
    report.error(at_line(line) + std::to_string(content.size()) + " bytes long; an entry has at most " +
                 std::to_string(kLongestEntry) + " (a 12-byte name, '&', a 20-byte version)");
  if (content.find('\r') != std::string::npos)
    report.error(at_line(line) + "a carriage return inside the line; the updater keeps it as part of the entry");
  const std::size_t ampersand = content.find('&');
  if (ampersand == std::string::npos) {
    report.error(at_line(line) + "no '&' between name and version; the updater compares no entry from here on");
    return;
  }
  entry.has_ampersand = true;
  entry.name = content.substr(0, ampersand);
  entry.version = content.substr(ampersand + 1);

  if (entry.name.empty()) {
    report.error(at_line(line) + "empty name; the updater compares no entry from here on");
  } else if (entry.name.size() >= kNameFieldSize) {
    report.error(at_line(line) + "name " + quoted(entry.name) + " is longer than 12 bytes; it can match no file");
  } else {
    std::string reason = unmanaged_name_reason(entry.name);
    if (!reason.empty()) report.error(at_line(line) + "name " + quoted(entry.name) + ": " + reason);
    if (!seen.insert(entry.name).second)
      report.warning(at_line(line) + quoted(entry.name) +
                     " is listed again; the updater counts it twice and shows the later version");
  }

  if (entry.version.size() >= kVersionFieldSize) {
    report.error(at_line(line) + "version " + quoted(entry.version) +
                 " is longer than 20 bytes; the updater ignores the entry");
  } else if (equals_ignoring_ascii_case(entry.name.c_str(), kHelpFileName)) {
    if (!is_help_file_version_form(entry.version))
      report.error(at_line(line) + "version " + quoted(entry.version) +
                   " is not the help file's date form 2,00,%d%d%02d,%02d%02d (e.g. 2,00,2211,0509)");
  } else if (!is_version_text_form(entry.version)) {
    report.error(at_line(line) + "version " + quoted(entry.version) +
                 " is not in the updater's form %d,%02d,%d,%04d (e.g. 1,02,3,0045)");
  }
}

// Parses the text with the updater's parser and reports where it reads something else.
void compare_with_updater_parser(const std::string& text, const std::vector<ListedEntry>& entries, Report& report) {
  UpdateListRows rows;
  const std::int32_t count = parse_update_list(text.c_str(), rows, kManagedFileCount);
  if (count != static_cast<std::int32_t>(entries.size())) {
    report.error("the updater reads " + std::to_string(count) + " entries, this check read " +
                 std::to_string(entries.size()));
    return;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (rows.Oversized[i]) continue;  // reported above as too long
    const ListedEntry& entry = entries[i];
    if (entry.name != rows.ListRows[i].Name || entry.version != rows.ListRows[i].Version)
      report.error(at_line(entry.line) + "the updater reads this entry as name " + quoted(rows.ListRows[i].Name) +
                   ", version " + quoted(rows.ListRows[i].Version));
  }
}

}  // namespace

std::vector<ListedEntry> check_update_list_text(const std::string& whole_text, Report& report) {
  std::string text = whole_text;
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    report.error("a NUL byte at offset " + std::to_string(nul) + "; the updater's text ends there");
    text.resize(nul);
  }
  std::vector<ListedEntry> entries;
  if (text.find('\n') == std::string::npos) {
    report.error("no line feed at all: the updater reads no entry (end every line with CR LF)");
    return entries;
  }
  std::set<std::string> seen;
  std::size_t start = 0;
  int line = 0;
  for (std::size_t line_feed; (line_feed = text.find('\n', start)) != std::string::npos; start = line_feed + 1) {
    ++line;
    std::string content = text.substr(start, line_feed - start);
    const bool crlf = !content.empty() && content.back() == '\r' && content.find('\r') == content.size() - 1;
    if (crlf) content.pop_back();
    const bool more_follows = text.find_first_not_of("\r\n", line_feed + 1) != std::string::npos;
    if (content.empty() || content[0] == '\r') {
      if (more_follows)
        report.error(at_line(line) + "empty; the updater stops reading here and never sees the lines after it");
      else report.warning(at_line(line) + "an empty line at the end (harmless: the list ends there anyway)");
      break;
    }
    if (entries.size() == static_cast<std::size_t>(kManagedFileCount)) {
      report.error(at_line(line) + "entry 27 or later; the updater reads at most 26 entries and never sees this line");
      break;
    }
    if (!crlf) report.error(at_line(line) + "does not end in CR LF");
    ListedEntry entry;
    entry.line = line;
    check_entry(content, line, entry, seen, report);
    entries.push_back(entry);
  }
  if (start < text.size() && text.find('\n', start) == std::string::npos &&
      text.find_first_not_of("\r\n", start) != std::string::npos &&
      entries.size() < static_cast<std::size_t>(kManagedFileCount))
    report.error("text after the last line feed (" + quoted(text.substr(start)) +
                 ") is not a line; the updater ignores it");
  compare_with_updater_parser(text, entries, report);
  return entries;
}

bool read_published_list(const std::string& folder, const std::string& list_name, std::string& text, Report& report) {
  const std::string path = join_path(folder, list_name);
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!read_whole_file(path, bytes, error, 1 << 20)) {
    report.error(path + ": " + error);
    return false;
  }
  text.assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace tolvex::publish
