#pragma once
// Transfers that answer as the test scripted, without a server: a fetch that succeeds keeps the
// scripted list text as the real one keeps the body; a failure sets LastError as the real one
// does. Each call is recorded (with the Busy state seen, when told where to look).
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "net/update_transfers.h"
#include "support/journal.h"

namespace tolvex::testing {

class ScriptedTransfers : public UpdateTransfers {
 public:
  // The list text a successful fetch keeps.
  std::string list_text;
  // Failure codes of the next calls, in order; a call with none scripted succeeds. A code of
  // kErrorAborted is preceded by a progress report, so a pending abort can be confirmed.
  std::deque<ErrorCode> failures;
  std::vector<std::string> calls;  // "fetch" or the archive name
  const std::int32_t* busy = nullptr;
  Journal* journal = nullptr;

  int fetch_update_list(ProgressCallback callback) override {
    if (!answer("fetch", callback)) return 0;
    std::unique_ptr<char[]> text(new char[list_text.size() + 1]);
    std::memcpy(text.get(), list_text.c_str(), list_text.size() + 1);
    replace_update_list_text(std::move(text));
    return 1;
  }

  int download_file(const char* archive_name, ProgressCallback callback) override {
    return answer(archive_name, callback) ? 1 : 0;
  }

 private:
  bool answer(const std::string& call, ProgressCallback callback) {
    calls.push_back(call);
    note(journal, (call == "fetch" ? call : "download " + call) +
                      (busy != nullptr ? " busy " + std::to_string(*busy) : std::string()));
    const ErrorCode failure = failures.empty() ? kErrorNone : failures.front();
    if (!failures.empty()) failures.pop_front();
    if (failure == kErrorAborted && callback != nullptr) callback(kTransferProgress, 1, 2, "");
    if (failure == kErrorNone) return true;
    set_last_error(failure);
    return false;
  }
};

}  // namespace tolvex::testing
