#include "catalogue/update_list_text.h"

#include <utility>

namespace tolvex {
namespace {
std::unique_ptr<char[]> g_update_list_text;  // process-wide, user-interface thread only
}

const char* update_list_text() { return g_update_list_text ? g_update_list_text.get() : ""; }

void replace_update_list_text(std::unique_ptr<char[]> text) { g_update_list_text = std::move(text); }

}  // namespace tolvex
