#include "net/update_transfers.h"
#include "net/http_transfer.h"

namespace tolvex {
namespace {

class WinInetTransfers : public UpdateTransfers {
 public:
  int fetch_update_list(ProgressCallback callback) override { return tolvex::fetch_update_list(callback); }
  int download_file(const char* archive_name, ProgressCallback callback) override {
    return tolvex::download_file(archive_name, callback);
  }
};

}  // namespace

UpdateTransfers& wininet_transfers() {
  static WinInetTransfers transfers;
  return transfers;
}

}  // namespace tolvex
