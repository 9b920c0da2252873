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
  if (!write_whole_file(temporary_path(staged_.back()), bytes)) {
    error = "cannot write " + temporary_path(staged_.back()) + ": " + last_system_error();
    return false;
  }
  return true;
}

bool OutputFolderWriter::commit(std::string& error) {
  for (Staged& file : staged_) {
    if (is_directory(final_path(file))) {
      error = "cannot replace " + final_path(file) + ": it is a folder";
      return false;
    }
    if (file_exists(final_path(file))) {
      remove_file(previous_path(file));
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
  for (const Staged& file : staged_)
    if (file.had_previous) remove_file(previous_path(file));
  committed_ = true;
  return true;
}

void OutputFolderWriter::roll_back() {
  if (committed_) return;
  for (auto file = staged_.rbegin(); file != staged_.rend(); ++file) {
    if (file->moved) remove_file(final_path(*file));
    remove_file(temporary_path(*file));
    if (file->had_previous) replace_file(previous_path(*file), final_path(*file));
  }
  staged_.clear();
  if (created_folder_) remove_directory(folder_);  // only succeeds while empty
}

}  // namespace tolvex::publish
