#pragma once
// The names of the archive library's temporary files. A member is decoded into a file that
// GetTempFileNameA makes in the target folder from kTemporaryPrefix: the prefix, one to four hex
// digits of a unique number, ".tmp". One that a crash left behind is removed at the updater's
// next start, and only a name of exactly that form: nobody else's file goes with it.
namespace tolvex::unlha32 {

inline constexpr char kTemporaryPrefix[] = "lha";

// True for "<prefix><1 to 4 hex digits>.tmp", letters in any case.
bool is_temporary_name(const char* name);

}  // namespace tolvex::unlha32
