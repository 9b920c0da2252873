#include "base/error_code.h"

namespace tolvex {
namespace {
ErrorCode g_last_error = kErrorNone;  // process-wide, user-interface thread only
}

ErrorCode last_error() { return g_last_error; }

void set_last_error(ErrorCode code) { g_last_error = code; }

}  // namespace tolvex
