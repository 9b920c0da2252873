#include "tools/output_folder_writer.h"

#include "tools/file_system.h"

namespace tolvex::publish {

std::string OutputFolderWriter::final_path(const Staged& file) const { return join_path(folder_, file.name); }
std::string OutputFolderWriter::temporary_path(const Staged& file) const { return final_path(file) + kTemporarySuffix; }
std::string OutputFolderWriter::previous_path(const Staged& file) const { return final_path(file) + kPreviousSuffix; }

bool OutputFolderWriter::open(std::string& error) {
  if (is_directory(folder_)) return true;
  if (file_exists(folder_)) {
    error = "output folder " + folder_ + " is a file";
    return false;
  }
  if (!make_directory(folder_)) {
    error = "cannot create the output folder " + folder_ + ": " + last_system_error();
    return false;
  }
  created_folder_ = true;
  return true;
}

bool OutputFolderWriter::stage(const std::string& name, const std::vector<std::uint8_t>& bytes, std::string& error) {
  staged_.push_back(Staged{name});
  Staged& file = staged_.back();
  const std::string temporary = temporary_path(file);
  std::string why;
  if (!remove_file_or_link(temporary, why) || !create_new_file(temporary, bytes, false, why)) {
    error = "cannot write " + temporary + ": " + why;
    return false;
  }
  file.created = true;
  return true;
}

bool OutputFolderWriter::commit(std::string& error) {
  for (Staged& file : staged_) {
    const EntryKind old = entry_kind(final_path(file));
    if (old == EntryKind::folder) {
      error = "cannot replace " + final_path(file) + ": it is a folder";
      return false;
    }
    if (old != EntryKind::missing) {
      std::string why;
      if (!remove_file_or_link(previous_path(file), why)) {
        error = "cannot move the old " + final_path(file) + " aside: " + previous_path(file) + ": " + why;
        return false;
      }
      if (!replace_file(final_path(file), previous_path(file))) {
        error = "cannot move the old " + final_path(file) + " aside: " + last_system_error();
        return false;
      }
      file.had_previous = true;
    }
    if (!replace_file(temporary_path(file), final_path(file))) {
      error = "cannot move " + temporary_path(file) + " into place: " + last_system_error();
      return false;
    }
    file.moved = true;
  }
  std::string ignored;
  for (const Staged& file : staged_)
    if (file.had_previous) remove_file_or_link(previous_path(file), ignored);
  committed_ = true;
  return true;
}

void OutputFolderWriter::roll_back() {
  if (committed_) return;
  std::string ignored;
  for (auto file = staged_.rbegin(); file != staged_.rend(); ++file) {
    if (file->moved) remove_file_or_link(final_path(*file), ignored);
    else if (file->created) remove_file_or_link(temporary_path(*file), ignored);
    if (file->had_previous) replace_file(previous_path(*file), final_path(*file));
  }
  staged_.clear();
  if (created_folder_) remove_directory(folder_);  // only succeeds while empty
}

}  // namespace tolvex::publish
