#pragma once
// The dial-up link: the connection this program dialled, if any. One process-wide instance
// serves the program; tests build their own over a fake service and a recording waiter.
#include <cstdint>

#include "base/waiter.h"
#include "net/remote_access_service.h"

namespace tolvex {

class DialUpLink {
 public:
  DialUpLink(RemoteAccessService& service, Waiter& waiter) : service_(service), waiter_(waiter) {}
  DialUpLink(const DialUpLink&) = delete;
  DialUpLink& operator=(const DialUpLink&) = delete;

  // Resets LastError to 0, then makes a connection available: 1 when dialled now (LastError 0)
  // or when some dial-up connection is already active (LastError 2023, nothing dialled); 0 on
  // failure with 2024 (name empty or longer than 256 bytes), 2003 (active connections
  // unreadable), 2017 (dial reported lack of memory) or 2008 (any other dial failure, after
  // hanging up what the failed dial left).
  [[nodiscard]] int dial_up(const char* entry_name);

  // Hangs up the connection this program dialled, trying again once after 3000 ms: 1 on
  // success or when nothing was dialled, 0 with LastError 2009 when both attempts fail.
  [[nodiscard]] int hang_up();

  // 1 when any dial-up connection is active, 0 when none is, -1 when the list cannot be read.
  [[nodiscard]] int has_active_connection();

  RasConnection handle() const { return handle_; }
  bool dialled() const { return dialled_; }

 private:
  RemoteAccessService& service_;
  Waiter& waiter_;
  RasConnection handle_ = nullptr;
  bool dialled_ = false;
};

// The program's one link, over the system's service and real waits (Windows only).
DialUpLink& dial_up_link();

}  // namespace tolvex
