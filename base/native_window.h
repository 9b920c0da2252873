#pragma once
// A window of the platform, opaque to portable code: portable interfaces pass it through to the
// platform's side (where it is an HWND) without looking inside. Null means no window.

namespace tolvex {

using NativeWindow = void*;

}  // namespace tolvex
