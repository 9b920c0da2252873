#pragma once
// Shared set-up of the transfer tests under Wine: a fresh working folder, the local server that
// CTest started, a folder of the server's own for each test (named after the test), the
// update settings pointing at it, and a progress callback that records its calls and can be
// told to abort.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/scoped_update_settings.h"
#include "support/temp_dir.h"
#include "support/test_http_server.h"

namespace tolvex::testing {

struct ProgressReport {
  std::int32_t code;
  std::uint32_t done;
  std::uint32_t total;
  std::string text;
};

// The callback is a plain function, so what it records lives here.
class ProgressRecorder {
 public:
  static void reset(std::size_t abort_at_call = 0) {
    reports().clear();
    abort_at() = abort_at_call;
  }
  // Records the call; asks to abort at the call numbered `abort_at_call` (1-based; 0: never).
  static int callback(std::int32_t code, std::uint32_t done, std::uint32_t total, const char* text) {
    reports().push_back({code, done, total, text});
    return reports().size() == abort_at() ? 1 : 0;
  }
  static std::vector<ProgressReport>& reports() {
    static std::vector<ProgressReport> recorded;
    return recorded;
  }

 private:
  static std::size_t& abort_at() {
    static std::size_t call = 0;
    return call;
  }
};

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.ok()) << "TOLVEX_HTTP_DIR names no running server";
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::string("/") + info->test_suite_name() + "." + info->name() + "/";
    ProgressRecorder::reset();
  }

  // Points the "URL" setting at `base` (a URL) and "name" at `list_name`.
  void use_settings(const std::string& base, const std::string& list_name = "update.txt") {
    settings.reset();  // the old owner removes the key when it goes
    settings = std::make_unique<ScopedUpdateSettings>(base, list_name);
  }
  // Points the settings at this test's folder, through the fault modes `modes` when given.
  void use_server_folder(const std::string& modes = "") {
    use_settings(server.url(modes.empty() ? folder : "/_fault/" + modes + folder));
  }
  // Puts `bytes` under `name` into this test's folder on the server.
  void serve(const std::string& name, const std::string& bytes) { server.put_file(folder + name, bytes); }

  static std::vector<ProgressReport>& reports() { return ProgressRecorder::reports(); }

  ScopedWorkDir work_dir;
  TestHttpServer server;
  std::string folder;
  std::unique_ptr<ScopedUpdateSettings> settings;
};

// `size` bytes of every value 0-255 in turn (NUL bytes included).
inline std::string binary_body(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return body;
}

// `size` bytes of update-list-like text without NUL bytes.
inline std::string list_body(std::size_t size) {
  std::string body;
  for (int row = 0; body.size() < size; ++row) body += "FILE" + std::to_string(row) + ".DLL&2,00,2209,1800\r\n";
  body.resize(size);
  return body;
}

}  // namespace tolvex::testing
