#pragma once
// The version texts shown and compared by the updater (never parsed back into numbers), and the
// local version text of a managed file in the working folder, from its version resource (or, for
// the help file, its modification time). A file that is not in the working folder has none,
// whatever a library search would find elsewhere.
#include <cstddef>
#include <cstdint>

namespace tolvex {

constexpr std::size_t kVersionTextSize = 128;  // scratch buffer of the version readers

// The texts of a file without version information (or no file), and of a failed allocation.
extern const char kNoVersionText[];
extern const char kNoMemoryVersionText[];

// "%d,%02d,%d,%04d" of the four 16-bit parts of a fixed file version: 1.2.3.45 -> 1,02,3,0045.
void format_file_version(std::uint32_t version_ms, std::uint32_t version_ls, char* out, std::size_t size);

// The help file's form "2,00,%d%d%02d,%02d%02d": thousands and units digit of the year, month
// (1-12), day and hour of its local modification time. 5 Nov 2002 09:30 -> 2,00,2211,0509.
void format_help_file_version(int year, int month, int day, int hour, char* out, std::size_t size);

// True when `a` equals `b` without regard to ASCII letter case.
bool equals_ignoring_ascii_case(const char* a, const char* b);

// The help file is recognised by this name in any letter case.
extern const char kHelpFileName[];

// Reads the help file's version text from its modification time (local time) by bare name.
// 0 with the text in `out`; -1 with "-" when the file's status cannot be taken.
int read_file_date_version(const char* name, char* out, std::size_t size);

// 0 with "%d,%02d,%d,%04d" (or the help file's date form) in `out`; -1 with "-",
// " (not free memory) ", "GetFileVersionInfo error (%d)" or "VerQueryValue error (%d)".
// The text is cut to `size` bytes when it does not fit; callers pass 128. Windows only.
int read_file_version(const char* name, char* out, std::size_t size);

}  // namespace tolvex
