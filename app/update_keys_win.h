#pragma once
// The public keys a build carries (resource IDR_UPDATE_PUBLIC_KEYS, one key per line), which
// make the updater demand signed releases.
#include <windows.h>

#include <vector>

#include "trust/text_forms.h"

namespace tolvex {

struct EmbeddedKeys {
  bool present = false;                // the build carries the key resource
  std::vector<trust::PublicKey> keys;  // empty when the resource is present but unreadable
};

// A resource that is present but does not read as keys leaves no key, so that every release is
// refused rather than accepted unchecked.
EmbeddedKeys embedded_update_keys(HINSTANCE instance);

}  // namespace tolvex
