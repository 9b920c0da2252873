#include "tools/file_version_text.h"

#include "catalogue/pe_version_reader.h"
#include "catalogue/version_text.h"
#include "tools/file_system.h"

namespace tolvex::publish {
namespace {

FileVersionText without_version(VersionOutcome outcome, std::string problem) {
  FileVersionText result;
  result.outcome = outcome;
  result.text = kNoVersionText;
  result.problem = std::move(problem);
  return result;
}

// The field as "%d" (width 0) or "%0<width>d" would print a number 0-65535.
bool is_field(const std::string& field, std::size_t width) {
  if (field.empty() || field.size() > 5) return false;
  for (char c : field)
    if (c < '0' || c > '9') return false;
  if (std::stoul(field) > 65535) return false;
  if (width == 0) return field.size() == 1 || field[0] != '0';
  return field.size() == width || (field.size() > width && field[0] != '0');
}

}  // namespace

bool help_file_version_text(std::int64_t modified, const TimeZoneSetting& zone, std::string& text) {
  CivilTime local;
  if (!zone.local_time(modified, local)) return false;
  char buffer[kVersionTextSize];
  format_help_file_version(local.year, local.month, local.day, local.hour, buffer, sizeof buffer);
  text = buffer;
  return true;
}

FileVersionText version_text_of(const std::vector<std::uint8_t>& bytes, std::int64_t modified, const std::string& name,
                                const TimeZoneSetting& zone) {
  FileVersionText result;
  if (equals_ignoring_ascii_case(name.c_str(), kHelpFileName)) {
    if (!help_file_version_text(modified, zone, result.text))
      return without_version(VersionOutcome::no_version, "modification time out of range");
    result.outcome = VersionOutcome::ok;
    return result;
  }
  FixedFileVersion version;
  PeVersionStatus status = read_pe_file_version(bytes.data(), bytes.size(), version);
  if (status != PeVersionStatus::kOk) return without_version(VersionOutcome::no_version, pe_version_status_text(status));
  char buffer[kVersionTextSize];
  format_file_version(version.file_version_ms, version.file_version_ls, buffer, sizeof buffer);
  result.outcome = VersionOutcome::ok;
  result.text = buffer;
  return result;
}

FileVersionText file_version_text(const std::string& path, const std::string& name, const TimeZoneSetting& zone) {
  RegularFile file;
  std::string error;
  const OpenOutcome opened = file.open(path, Links::follow, error);
  if (opened == OpenOutcome::missing) return without_version(VersionOutcome::missing, "no such file");
  std::vector<std::uint8_t> bytes;
  if (opened != OpenOutcome::opened || !read_opened_file(file, bytes, error))
    return without_version(VersionOutcome::unreadable, error);
  return version_text_of(bytes, file.modified(), name, zone);
}

bool is_version_text_form(const std::string& text) {
  std::size_t fields[4] = {0, 2, 0, 4};
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t end = i < 3 ? text.find(',', start) : text.size();
    if (end == std::string::npos || !is_field(text.substr(start, end - start), fields[i])) return false;
    start = end + 1;
  }
  return true;
}

bool is_help_file_version_form(const std::string& text) {
  if (text.size() != 14 || text.compare(0, 5, "2,00,") != 0 || text[9] != ',') return false;
  for (std::size_t i : {5, 6, 7, 8, 10, 11, 12, 13})
    if (text[i] < '0' || text[i] > '9') return false;
  auto two = [&](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
  const int month = two(7), day = two(10), hour = two(12);
  return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23;
}

}  // namespace tolvex::publish
