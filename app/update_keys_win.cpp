#include "app/update_keys_win.h"

#include <string>

#include "resources/resource_ids.h"
#include "trust/release_check.h"

namespace tolvex {

EmbeddedKeys embedded_update_keys(HINSTANCE instance) {
  EmbeddedKeys embedded;
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDR_UPDATE_PUBLIC_KEYS), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) return embedded;
  embedded.present = true;
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return embedded;
  std::string error;
  (void)trust::parse_public_key_list(static_cast<const char*>(bytes), SizeofResource(instance, found), embedded.keys,
                                     error);
  return embedded;
}

}  // namespace tolvex
