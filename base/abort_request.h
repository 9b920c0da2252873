#pragma once
// AbortRequested: set by the Cancel command while archives download, read by the progress
// callback, cleared when a command starts or the user withdraws the request.

namespace tolvex {

bool abort_requested();
void set_abort_requested(bool requested);

}  // namespace tolvex
