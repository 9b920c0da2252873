#include "base/abort_request.h"

namespace tolvex {
namespace {
bool g_abort_requested = false;  // process-wide, user-interface thread only
}

bool abort_requested() { return g_abort_requested; }

void set_abort_requested(bool requested) { g_abort_requested = requested; }

}  // namespace tolvex
