// The round trip: publish stand-in release files with the tool, put the output on the local HTTP
// server as a maker would copy it to the web server, and let the real tolvex.exe update a
// stand-in suite from it; then check the files on disk, what was downloaded, and what diff says.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "demo_driver/app_driver_win.h"
#include "e2e/suite_folder.h"
#include "fixtures/fixture_paths.h"
#include "resources/resource_ids.h"
#include "support/test_http_server.h"
#include "support/time_setting.h"
#include "tools/command_line.h"

namespace tolvex {
namespace {

struct ToolRun {
  int exit_code;
  std::string out;
  std::string err;
};

ToolRun run_publisher(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  publish::Progress quiet(false);
  int code = publish::run_tool(arguments, out, err, quiet);
  return ToolRun{code, out.str(), err.str()};
}

std::string fixture_bytes(const std::string& name) { return testing::read_file(testing::fixture_path(name)); }

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class PublishRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok()) << "TOLVEX_HTTP_DIR not set";
    testing::clear_settings();
    CreateDirectoryA(release_.c_str(), nullptr);
  }
  void TearDown() override {
    app_.reset();
    testing::clear_settings();
  }
  void release(const std::string& fixture, const std::string& name) {
    ASSERT_TRUE(CopyFileA(testing::fixture_path(fixture).c_str(), (release_ + "\\" + name).c_str(), FALSE)) << fixture;
  }
  // Copies every file of the published folder to the server, as a maker uploads it.
  void upload() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((out_ + "\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        server_.put_file(folder_ + "/" + found.cFileName, testing::read_file(out_ + "\\" + found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::string column(int row, int column) {
    return testing::list_item_text(GetDlgItem(window_, IDC_FILE_LIST), row, column);
  }
  bool idle() {
    return IsWindowEnabled(GetDlgItem(window_, IDC_CHECK_BUTTON)) && IsWindowEnabled(GetDlgItem(window_, IDCANCEL)) &&
           testing::control_text(window_, IDCANCEL) == "終了";
  }

  testing::ScopedWorkDir work_;  // holds the release and output folders; the suite lies inside it
  const std::string release_ = work_.path().string() + "\\release";
  const std::string out_ = work_.path().string() + "\\published";
  testing::SuiteFolder suite_;  // vemoda.dll 1,02,3,0045, nuri.dll 10,11,12,0013, sef.dll without version
  const std::string folder_ = "round-trip";
  testing::TestHttpServer server_;
  std::unique_ptr<testing::ChildProcess> app_;
  HWND window_ = nullptr;
};

TEST_F(PublishRoundTrip, TheUpdaterInstallsWhatThePublisherWrote) {
  release("sibling_1_0_0_2.exe", "plo.exe");     // not installed: "-", offered
  release("ver_10_11_12_13.dll", "vemoda.dll");  // newer than 1,02,3,0045
  release("ver_10_11_12_13.dll", "nuri.dll");    // the installed version: not offered
  release("ver_1_0_0_1.dll", "sef.dll");         // installed without version: offered
  const std::string help = std::string(5000, 'h') + "help file";
  testing::write_file(release_ + "\\rova.chm", help);  // not installed: offered

  ToolRun published = run_publisher({"publish", release_, out_});
  ASSERT_EQ(published.exit_code, 0) << published.err;
  ToolRun verified = run_publisher({"verify", out_});
  ASSERT_EQ(verified.exit_code, 0) << verified.err;
  ToolRun before = run_publisher({"diff", suite_.path(), out_});
  ASSERT_EQ(before.exit_code, 0) << before.err;
  EXPECT_NE(before.out.find("the updater would find 4 newer versions: plo.exe, vemoda.dll, sef.dll, rova.chm"),
            std::string::npos)
      << before.out;
  upload();

  testing::set_updater_url(server_.url("/" + folder_ + "/"));
  app_ = std::make_unique<testing::ChildProcess>(suite_.updater_path(), suite_.path());
  window_ = testing::wait_for_marked_window(app_->id(), "tolvex2.exe", 20000);
  ASSERT_NE(window_, nullptr);
  testing::click_button(window_, 1002);
  HWND box = testing::wait_for_window_with_caption(app_->id(), "完了", 60000);
  ASSERT_NE(box, nullptr) << "status: " << testing::control_text(window_, 1007);
  EXPECT_EQ(testing::message_box_text(box),
            "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。");
  testing::click_button(box, IDOK);
  ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));

  EXPECT_EQ(testing::read_file(suite_.file("plo.exe")), fixture_bytes("sibling_1_0_0_2.exe"));
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  EXPECT_EQ(testing::read_file(suite_.file("nuri.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  EXPECT_EQ(testing::read_file(suite_.file("sef.dll")), fixture_bytes("ver_1_0_0_1.dll"));
  EXPECT_EQ(testing::read_file(suite_.file("rova.chm")), help);
  for (const char* base : {"plo", "vemoda", "nuri", "sef", "rova"})
    for (const char* suffix : {".lzh", ".___", ".bak"})
      EXPECT_FALSE(exists(suite_.file(std::string(base) + suffix))) << base << suffix;
  EXPECT_EQ(column(0, 1), "1,00,0,0002");
  EXPECT_EQ(column(6, 1), "10,11,12,0013");
  EXPECT_EQ(column(9, 1), "1,00,0,0001");
  EXPECT_TRUE(server_.requests_for("/" + folder_ + "/nuri.lzh").empty());
  for (const char* archive : {"plo.lzh", "vemoda.lzh", "sef.lzh", "rova.lzh"})
    EXPECT_EQ(server_.requests_for("/" + folder_ + "/" + archive).size(), 1u) << archive;

  // Afterwards the programs and libraries are current (the help file's date is the user's copy's).
  ToolRun after = run_publisher({"diff", suite_.path(), out_});
  ASSERT_EQ(after.exit_code, 0) << after.err;
  for (const char* name : {"plo.exe", "vemoda.dll", "nuri.dll", "sef.dll"})
    EXPECT_NE(after.out.find(std::string("current  ") + name), std::string::npos) << after.out;
}

}  // namespace
}  // namespace tolvex
