// The update command from end to end: the real program, the real archive library and the real
// sibling stand-ins against the local HTTP server (and https ones); files on disk checked afterwards.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "demo_driver/app_driver_win.h"
#include "e2e/suite_folder.h"
#include "fixtures/fixture_paths.h"
#include "lha/archive_writer.h"
#include "resources/resource_ids.h"
#include "support/test_http_server.h"
#include "support/test_signer_win.h"
#include "tools/signing.h"
#include "trust/text_forms.h"
#include "win/process_win.h"

namespace tolvex {
namespace {

using testing::ChildProcess;

constexpr const char kMarker[] = "tolvex2.exe";
constexpr DWORD kBoxTimeout = 60000;

std::string archive_holding(const std::string& member, const std::string& bytes) {
  std::vector<lha::ArchiveMember> members(1);
  members[0].name = member;
  members[0].data.assign(bytes.begin(), bytes.end());
  members[0].unix_time = 1700000000;
  std::vector<std::uint8_t> archive;
  EXPECT_TRUE(lha::write_archive(members, archive).ok());
  return std::string(archive.begin(), archive.end());
}

std::string random_bytes(size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::string fixture_bytes(const std::string& name) { return testing::read_file(testing::fixture_path(name)); }

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The updater's command log, found the way the updater finds it: the machine's for a copy with
// administrator rights (every copy under Wine), otherwise the user's.
std::string command_log_path() {
  char folder[MAX_PATH] = {};
  const int where = process_elevated() ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA;
  EXPECT_EQ(SHGetFolderPathA(nullptr, where, nullptr, SHGFP_TYPE_CURRENT, folder), S_OK);
  return std::string(folder) + "\\Halvorn\\Stablon2\\tolvex.log";
}

// The command log's name taken by an empty folder while it lives; the log comes back afterwards.
class CommandLogTakenByAFolder {
 public:
  CommandLogTakenByAFolder() {
    MoveFileA(path_.c_str(), saved_.c_str());
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
  }
  ~CommandLogTakenByAFolder() {
    EXPECT_TRUE(RemoveDirectoryA(path_.c_str()));  // still the empty folder
    MoveFileA(saved_.c_str(), path_.c_str());
  }

 private:
  std::string path_ = command_log_path();
  std::string saved_ = path_ + ".saved";
};

// Runs a program of the Unix side (Wine starts those too), waiting for it: false when there is
// none, as on Windows.
bool run_unix_program(std::string command_line) {
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  WaitForSingleObject(started.hProcess, 10000);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

// The Unix path of a Windows path under Wine (Wine's own export); empty elsewhere.
std::string unix_path_of(const std::string& windows_path) {
  using Convert = char*(CDECL*)(const wchar_t*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(kernel != nullptr ? GetProcAddress(kernel, "wine_get_unix_file_name") : nullptr));
  if (convert == nullptr) return std::string();
  std::wstring wide(windows_path.begin(), windows_path.end());  // ASCII paths only
  char* converted = convert(wide.c_str());
  if (converted == nullptr) return std::string();
  std::string result = converted;
  HeapFree(GetProcessHeap(), 0, converted);
  return result;
}

// While it lives, the command log's folder is a symbolic link (a reparse point) to `target`; the
// real folder comes back afterwards.
class CommandLogFolderLinkedTo {
 public:
  explicit CommandLogFolderLinkedTo(const std::string& target) {
    MoveFileA(folder_.c_str(), saved_.c_str());
    const std::string parent = folder_.substr(0, folder_.rfind('\\'));
    link_ = unix_path_of(parent) + "/Stablon2";
    linked_ = link_ != "/Stablon2" && run_unix_program("Z:\\bin\\ln -s " + unix_path_of(target) + " " + link_) &&
              (GetFileAttributesA(folder_.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }
  ~CommandLogFolderLinkedTo() {
    if (!link_.empty()) run_unix_program("Z:\\bin\\rm -f " + link_);
    MoveFileA(saved_.c_str(), folder_.c_str());
  }
  bool linked() const { return linked_; }

 private:
  std::string folder_ = command_log_path().substr(0, command_log_path().rfind('\\'));
  std::string saved_ = folder_ + ".saved";
  std::string link_;
  bool linked_ = false;
};

// Ends every process that shows a window with one of the sibling markers.
void end_sibling_stand_ins() {
  for (const char* marker : {"plo2.exe", "rasto2.exe", "mepli2.exe", "gaft2.exe", "orbe2.exe"}) {
    for (HWND window : find_marked_windows(marker)) {
      DWORD process_id = 0;
      GetWindowThreadProcessId(window, &process_id);
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id)) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
      }
    }
  }
}

class UpdateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok()) << "TOLVEX_HTTP_DIR not set";
    testing::clear_settings();
  }
  void TearDown() override {
    app_.reset();
    end_sibling_stand_ins();
    testing::clear_settings();
  }

  void serve(const std::string& relative, const std::string& bytes) {
    server_.put_file(folder_ + "/" + relative, bytes);
  }
  // Serves, from `server`, a list offering vemoda.dll 10,11,12,0013 and its archive.
  void serve_newer_vemoda(testing::TestHttpServer& server) {
    server.put_file(folder_ + "/update.txt", "vemoda.dll&10,11,12,0013\r\n");
    server.put_file(folder_ + "/vemoda.lzh", archive_holding("vemoda.___", fixture_bytes("ver_10_11_12_13.dll")));
  }
  // Serves the newer vemoda.dll as a release signed by test key `key`; `served_archive`, when
  // given, replaces the signed archive on the server.
  void serve_signed_vemoda(const std::string& key, const std::string& served_archive = "",
                           const testing::ReleaseStamp& stamp = {}, const std::string& list = kVemodaList) {
    const std::string archive = archive_holding("vemoda.___", fixture_bytes("ver_10_11_12_13.dll"));
    serve("update.txt", list);
    serve("vemoda.lzh", served_archive.empty() ? archive : served_archive);
    serve("update.txt.sig", testing::signed_manifest(key, {"update.txt", list}, {{"vemoda.lzh", archive}}, stamp));
  }
  static constexpr const char* kVemodaList = "vemoda.dll&10,11,12,0013\r\n";
  // Puts the updater built with the test keys "current" and "second" in the suite's folder.
  void use_keyed_updater() {
    ASSERT_TRUE(CopyFileA(testing::build_path("keyed\\tolvex.exe").c_str(), suite_.updater_path().c_str(), FALSE));
  }
  // Presses the version check, then the update, answering the boxes of one newer file.
  void check_then_update() {
    testing::click_button(window_, IDC_CHECK_BUTTON);
    answer("情報", "1個のアップデート可能なファイルがあります。");
    ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
    testing::click_button(window_, IDC_UPDATE_BUTTON);
    answer("完了", "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。");
  }
  void point_at(const std::string& prefix = "") { testing::set_updater_url(server_.url(prefix + "/" + folder_ + "/")); }
  void start(const std::string& working_folder) {
    app_ = std::make_unique<ChildProcess>(suite_.updater_path(), working_folder);
    window_ = testing::wait_for_marked_window(app_->id(), kMarker, 20000);
    ASSERT_NE(window_, nullptr);
  }
  void start() { start(suite_.path()); }
  HWND wait_for_box(const std::string& caption, DWORD timeout = kBoxTimeout) {
    return testing::wait_for_window_with_caption(app_->id(), caption, timeout);
  }
  // Answers the box with `caption` with button `button` after checking its text.
  void answer(const std::string& caption, const std::string& text, int button = IDOK) {
    HWND box = wait_for_box(caption);
    ASSERT_NE(box, nullptr) << "no box " << caption << "; status: " << testing::control_text(window_, IDC_STATUS_LINE);
    EXPECT_EQ(testing::message_box_text(box), text);
    testing::click_button(box, button);
    ASSERT_TRUE(testing::wait_until([&] { return !IsWindow(box); }, 10000));
  }
  // Presses ｱｯﾌﾟﾃﾞｰﾄ and sees the download refused as not the signed archive, the old
  // vemoda.dll kept and nothing left behind.
  void expect_archive_refused_and_nothing_installed() {
    testing::click_button(window_, IDC_UPDATE_BUTTON);
    HWND box = wait_for_box("取得");
    ASSERT_NE(box, nullptr) << "status: " << testing::control_text(window_, IDC_STATUS_LINE);
    EXPECT_EQ(testing::message_box_text(box), "ファイルの取得に失敗しました。");
    EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), "ダウンロードしたファイルが署名と一致しません。");
    testing::click_button(box, IDOK);
    ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
    EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_1_2_3_45.dll"));
    expect_no_leftovers(suite_, "vemoda");
  }
  bool idle() {
    return IsWindowEnabled(GetDlgItem(window_, IDC_CHECK_BUTTON)) && IsWindowEnabled(GetDlgItem(window_, IDCANCEL)) &&
           testing::control_text(window_, IDCANCEL) == "終了";
  }
  std::string column(int row, int column) {
    return testing::list_item_text(GetDlgItem(window_, IDC_FILE_LIST), row, column);
  }
  std::vector<std::string> log_lines(const std::string& folder, const std::string& prefix) {
    std::istringstream log(testing::read_file(folder + "\\sibling.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
  }
  // What the command log gained since it held `before` bytes, once a record has ended there: a
  // record is appended as its command ends, after the window is idle again.
  std::string logged_since(std::size_t before) {
    std::string added;
    EXPECT_TRUE(testing::wait_until(
        [&] {
          const std::string log = testing::read_file(command_log_path());
          added = log.size() >= before ? log.substr(before) : log;  // or trimmed meanwhile
          return added.find("  結果: ") != std::string::npos;
        },
        10000));
    return added;
  }
  void start_sibling(const std::string& name, const std::string& working_folder) {
    siblings_.push_back(std::make_unique<ChildProcess>(suite_.file(name), working_folder));
    const std::string marker = name.substr(0, name.rfind('.')) + "2.exe";
    ASSERT_NE(testing::wait_for_marked_window(siblings_.back()->id(), marker.c_str(), 20000), nullptr);
  }
  void expect_no_leftovers(const testing::SuiteFolder& folder, const std::string& base) {
    for (const char* suffix : {".bak", ".___", ".lzh"})
      EXPECT_FALSE(exists(folder.file(base + suffix))) << base << suffix;
  }

  std::string folder_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  testing::TestHttpServer server_;
  testing::SuiteFolder suite_;
  std::unique_ptr<ChildProcess> app_;
  std::vector<std::unique_ptr<ChildProcess>> siblings_;
  HWND window_ = nullptr;
};

TEST_F(UpdateCommand, UpdateWithoutCheckClosesInstallsAndRestartsTheSiblings) {
  suite_.place("sibling_1_0_0_1.exe", "plo.exe");
  suite_.place("sibling_1_0_0_1.exe", "mepli.exe");
  serve("update.txt", "plo.exe&1,00,0,0002\r\nmepli.exe&1,00,0,0002\r\nvemoda.dll&10,11,12,0013\r\n");
  serve("plo.lzh", archive_holding("plo.___", fixture_bytes("sibling_1_0_0_2.exe")));
  serve("mepli.lzh", archive_holding("mepli.___", fixture_bytes("sibling_1_0_0_2.exe")));
  serve("vemoda.lzh", archive_holding("vemoda.___", fixture_bytes("ver_10_11_12_13.dll")));
  point_at();
  start_sibling("plo.exe", suite_.path());
  start_sibling("mepli.exe", suite_.path());
  const std::size_t logged_before = testing::read_file(command_log_path()).size();
  start();
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  answer("完了", "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。");
  ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));

  EXPECT_EQ(testing::read_file(suite_.file("plo.exe")), fixture_bytes("sibling_1_0_0_2.exe"));
  EXPECT_EQ(testing::read_file(suite_.file("mepli.exe")), fixture_bytes("sibling_1_0_0_2.exe"));
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  for (const char* base : {"plo", "mepli", "vemoda"}) expect_no_leftovers(suite_, base);
  EXPECT_EQ(column(0, 1), "1,00,0,0002");
  EXPECT_EQ(column(2, 1), "1,00,0,0002");
  EXPECT_EQ(column(6, 1), "10,11,12,0013");
  for (int row = 0; row < 26; ++row) EXPECT_EQ(column(row, 2), "") << row;
  EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), "");

  // Both were asked to close; each closes at its own pace, so the log's order is theirs.
  EXPECT_EQ(log_lines(suite_.path(), "close plo.exe").size(), 1u);
  EXPECT_EQ(log_lines(suite_.path(), "close mepli.exe").size(), 1u);
  // Each was started once by the test and once again by the updater, from its own folder; a
  // restarted copy writes its line once it runs.
  EXPECT_TRUE(testing::wait_until(
      [&] {
        return log_lines(suite_.path(), "start plo.exe").size() >= 2 &&
               log_lines(suite_.path(), "start mepli.exe").size() >= 2;
      },
      10000));
  EXPECT_EQ(log_lines(suite_.path(), "start plo.exe").size(), 2u);
  EXPECT_EQ(log_lines(suite_.path(), "start mepli.exe").size(), 2u);
  EXPECT_EQ(server_.requests_for("/" + folder_ + "/update.txt").size(), 1u);

  // The command's record in the log.
  const std::string record = logged_since(logged_before);
  EXPECT_EQ(record.rfind("[", 0), 0u) << record;
  for (const std::string& line : {"] アップデート\r\n  アドレス: " + server_.url("/" + folder_ + "/") +
                                      "update.txt\r\n  リスト: 取得しました\r\n",
                                  std::string("  対象: plo.exe 1,00,0,0001 → 1,00,0,0002\r\n"),
                                  std::string("  対象: vemoda.dll 1,02,3,0045 → 10,11,12,0013\r\n"),
                                  std::string("  インストール: plo.exe 0 置き換え完了\r\n"),
                                  std::string("  インストール: vemoda.dll 0 置き換え完了\r\n"),
                                  std::string("  終了・再起動: plo.exe mepli.exe\r\n")})
    EXPECT_NE(record.find(line), std::string::npos) << line << "\nin\n" << record;
}

TEST_F(UpdateCommand, SiblingsRestartFromTheUpdatersFolderWhenItWorksElsewhere) {
  testing::SuiteFolder work;  // the managed files live here; the updater and plo.exe in suite_
  suite_.place("sibling_1_0_0_1.exe", "plo.exe");
  serve("update.txt", "vemoda.dll&10,11,12,0013\r\n");
  serve("vemoda.lzh", archive_holding("vemoda.___", fixture_bytes("ver_10_11_12_13.dll")));
  point_at();
  start_sibling("plo.exe", work.path());
  start(work.path());
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  answer("完了", "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。");
  EXPECT_EQ(testing::read_file(work.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  // The restarted copy writes its line once it runs, which need not be before the box closes.
  EXPECT_TRUE(testing::wait_until([&] { return log_lines(suite_.path(), "start plo.exe").size() >= 2; }, 10000));
  EXPECT_EQ(log_lines(suite_.path(), "start plo.exe"),
            (std::vector<std::string>{"start plo.exe " + work.path(), "start plo.exe " + suite_.path()}));
}

TEST_F(UpdateCommand, CheckThenUpdateComparesTheKeptList) {
  CommandLogTakenByAFolder no_log;  // a log that cannot be written changes nothing
  serve_newer_vemoda(server_);
  point_at();
  start();
  check_then_update();
  EXPECT_EQ(server_.requests_for("/" + folder_ + "/update.txt").size(), 1u);
  EXPECT_EQ(server_.requests_for("/" + folder_ + "/vemoda.lzh").size(), 1u);
  EXPECT_TRUE(server_.requests_for("/" + folder_ + "/update.txt.sig").empty());  // a build without keys
  EXPECT_EQ(column(6, 1), "10,11,12,0013");
}

TEST_F(UpdateCommand, KeyedBuildInstallsAReleaseSignedByItsSecondKey) {
  use_keyed_updater();
  serve_signed_vemoda("second");
  point_at();
  start();
  check_then_update();
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  expect_no_leftovers(suite_, "vemoda");
  EXPECT_EQ(server_.requests_for("/" + folder_ + "/update.txt.sig").size(), 1u);  // fetched once, with the list
}

// The maker signs on Windows: the Windows build of the publisher turns a release folder into a
// signed update folder with the test key "current" as its key file, and the keyed updater
// installs what it made.
TEST_F(UpdateCommand, KeyedBuildInstallsAReleaseSignedByTheWindowsPublisher) {
  use_keyed_updater();
  const std::string blob = testing::read_file(testing::fixture_path("keys\\current.private"));  // X || Y || d
  publish::P256PrivateKey key;
  ASSERT_TRUE(trust::from_hex(blob.data(), 128, key.public_key.data(), 64));
  ASSERT_TRUE(trust::from_hex(blob.data() + 128, 64, key.secret.data(), 32));
  const std::string maker = suite_.path() + "\\maker";
  ASSERT_TRUE(CreateDirectoryA(maker.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((maker + "\\release").c_str(), nullptr));
  testing::write_file(maker + "\\maker.pem", publish::private_key_pem(key));
  testing::write_file(maker + "\\release\\vemoda.dll", fixture_bytes("ver_10_11_12_13.dll"));
  ChildProcess publisher(testing::build_path("bin\\tolvex-publish.exe"), maker, "publish --sign maker.pem release out");
  ASSERT_TRUE(publisher.wait_for_exit(60000));
  DWORD exit_code = 1;
  ASSERT_TRUE(GetExitCodeProcess(publisher.handle(), &exit_code));
  ASSERT_EQ(exit_code, 0u);
  for (const char* name : {"update.txt", "update.txt.sig", "vemoda.lzh"})
    serve(name, testing::read_file(maker + "\\out\\" + name));
  point_at();
  start();
  check_then_update();
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  expect_no_leftovers(suite_, "vemoda");
}

TEST_F(UpdateCommand, KeyedBuildRefusesATamperedArchiveAndInstallsNothing) {
  use_keyed_updater();
  serve_signed_vemoda("current", archive_holding("vemoda.___", fixture_bytes("ver_max.dll")));
  point_at();
  start();
  expect_archive_refused_and_nothing_installed();
}

TEST_F(UpdateCommand, KeyedBuildKeepsNoListWithoutAValidManifest) {
  use_keyed_updater();
  point_at();
  start();
  struct Case {
    const char* what;
    const char* status;
  };
  for (const Case& c : {Case{"tampered list", "アップデート情報の署名が正しくありません。"},
                        Case{"no manifest", "署名ファイルの取得に失敗しました。"}}) {
    SCOPED_TRACE(c.what);
    if (std::string(c.what) == "tampered list") {
      serve_signed_vemoda("current");
      serve("update.txt", "vemoda.dll&10,11,12,0014\r\n");
    } else {
      serve("unsigned/update.txt", "vemoda.dll&10,11,12,0013\r\n");  // a folder without a manifest
      testing::set_updater_url(server_.url("/" + folder_ + "/unsigned/"));
    }
    testing::click_button(window_, IDC_CHECK_BUTTON);
    answer("取得", "アップデート情報の取得に失敗しました。");
    EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), c.status);
    ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
    EXPECT_EQ(column(6, 2), "");  // nothing flagged
  }
  EXPECT_TRUE(server_.requests_for("/" + folder_ + "/vemoda.lzh").empty());
}

TEST_F(UpdateCommand, KeyedBuildRefusesAnOlderOrExpiredReleaseAfterANewerOne) {
  use_keyed_updater();
  point_at();
  start();
  const HWND list = GetDlgItem(window_, IDC_FILE_LIST);
  int nuri_row = -1;
  for (int row = 0; row < testing::list_item_count(list); ++row)
    if (testing::list_item_text(list, row, 0) == "nuri.dll") nuri_row = row;
  ASSERT_GE(nuri_row, 0);
  struct Case {
    const char* what;
    testing::ReleaseStamp stamp;
    const char* refusal;  // null: accepted
  };
  // The refused releases offer a newer nuri.dll, which must not be flagged.
  const std::int64_t now = static_cast<std::int64_t>(_time64(nullptr));
  for (const Case& c :
       {Case{"release 2", {2}, nullptr},
        Case{"release 1 replayed", {1}, "アップデート情報が以前のものより古いため使用できません。"},
        Case{"release 3, expired an hour ago", {3, now - 3600}, "アップデート情報の有効期限が切れています。"},
        Case{"release 2 again", {2}, nullptr}}) {
    SCOPED_TRACE(c.what);
    serve_signed_vemoda("current", "", c.stamp, c.refusal ? "nuri.dll&20,00,1,0000\r\n" : kVemodaList);
    testing::click_button(window_, IDC_CHECK_BUTTON);
    if (c.refusal == nullptr) {
      answer("情報", "1個のアップデート可能なファイルがあります。");
    } else {
      answer("取得", "アップデート情報の取得に失敗しました。");
      EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), c.refusal);
    }
    ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
    EXPECT_EQ(column(nuri_row, 2), "");
  }
  EXPECT_TRUE(server_.requests_for("/" + folder_ + "/nuri.lzh").empty());
}

TEST_F(UpdateCommand, KeyedBuildStopsAnArchiveAtItsSignedSizeAndKeepsNothing) {
  use_keyed_updater();
  // Served with no length and far longer than signed: the download stops past the signed size.
  serve_signed_vemoda("current",
                      archive_holding("vemoda.___", fixture_bytes("ver_10_11_12_13.dll")) + random_bytes(400000, 7));
  point_at("/_fault/nolength");
  start();
  expect_archive_refused_and_nothing_installed();
}

// Under Wine every program runs with administrator rights, so a folder it cannot write (marked
// immutable by the test rig) takes the administrator's way: a stop box before anything is
// fetched, and nothing written.
TEST_F(UpdateCommand, FolderNotEvenAnAdministratorCanWriteStopsTheUpdateBeforeAnyDownload) {
  const char* locked = std::getenv("TOLVEX_LOCKED_FOLDER");
  ASSERT_NE(locked, nullptr);
  const std::string folder = testing::wine_path_of_unix_path(locked).string();
  const std::string probe = folder + "\\probe.tmp";
  HANDLE written =
      CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (written != INVALID_HANDLE_VALUE) {
    CloseHandle(written);
    GTEST_SKIP() << "the rig could not make a folder nobody can write (chattr +i)";
  }
  serve_newer_vemoda(server_);
  point_at();
  start(folder);
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  answer("アップデート", "このフォルダにファイルを書き込めないため、アップデートできません。");
  ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
  EXPECT_TRUE(server_.requests_for("/" + folder_ + "/vemoda.lzh").empty());
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  int entries = 0;
  if (search != INVALID_HANDLE_VALUE) {
    do ++entries;
    while (FindNextFileA(search, &found));
    FindClose(search);
  }
  EXPECT_EQ(entries, 2);  // "." and "..": nothing was written
}

// The copy that a copy without administrator rights starts with them ("/update") waits for the
// first one to close its window, then comes up in its place and runs the update at once.
TEST_F(UpdateCommand, CopyStartedToTakeTheUpdateOverWaitsForTheFirstAndUpdatesAtOnce) {
  serve_newer_vemoda(server_);
  point_at();
  start();
  ChildProcess successor(suite_.updater_path(), suite_.path(), "/update");
  Sleep(1500);
  EXPECT_EQ(find_marked_windows(kMarker).size(), 1u);  // still only the first copy's window
  testing::click_button(window_, IDCANCEL);            // the first copy closes
  ASSERT_TRUE(app_->wait_for_exit(10000));
  HWND taken_over = testing::wait_for_marked_window(successor.id(), kMarker, 20000);
  ASSERT_NE(taken_over, nullptr);
  HWND box = testing::wait_for_window_with_caption(successor.id(), "完了", kBoxTimeout);
  ASSERT_NE(box, nullptr) << "status: " << testing::control_text(taken_over, IDC_STATUS_LINE);
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  testing::click_button(box, IDOK);
  testing::click_button(taken_over, IDCANCEL);
  EXPECT_TRUE(successor.wait_for_exit(10000));
}

TEST_F(UpdateCommand, NothingNewerDownloadsNothing) {
  serve("update.txt", "vemoda.dll&1,02,3,0045\r\n");
  point_at();
  start();
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  answer("情報", "アップデート可能なファイルはありません。\n現在最新の環境です。");
  EXPECT_TRUE(server_.requests_for("/" + folder_ + "/vemoda.lzh").empty());
  ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
}

TEST_F(UpdateCommand, MissingArchiveFailsTheDownloadAndInstallsNothing) {
  serve("update.txt", "vemoda.dll&10,11,12,0013\r\nnuri.dll&10,11,12,0014\r\n");
  serve("nuri.lzh", archive_holding("nuri.___", "new"));
  point_at();
  start();
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  HWND box = wait_for_box("取得");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::message_box_text(box), "ファイルの取得に失敗しました。");
  EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), "予期せぬエラーが発生しました。");
  testing::click_button(box, IDOK);
  ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_1_2_3_45.dll"));
  EXPECT_TRUE(server_.requests_for("/" + folder_ + "/nuri.lzh").empty());  // later rows are not tried
}

TEST_F(UpdateCommand, InstallFailureShowsTheStopBoxAndKeepsTheOldFile) {
  serve("update.txt", "vemoda.dll&10,11,12,0013\r\n");
  serve("vemoda.lzh", archive_holding("wrong.___", "x"));
  point_at();
  const std::size_t logged_before = testing::read_file(command_log_path()).size();
  start();
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  answer("アップデート", "アップデートに失敗しました。");
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_1_2_3_45.dll"));
  expect_no_leftovers(suite_, "vemoda");
  // No new file to put in place (error 2, not found): the old one came back from its backup.
  EXPECT_NE(logged_since(logged_before)
                .find("  インストール: vemoda.dll 4 新ファイルを配置できず (システムエラー 2) "
                      "バックアップを復元\r\n"),
            std::string::npos);
}

// A copy with administrator rights writes nothing through a log folder that leads elsewhere (a
// link a process with fewer rights could have put there): the update runs, no log is kept.
TEST_F(UpdateCommand, ElevatedCopyKeepsNoLogThroughALinkedLogFolder) {
  if (!process_elevated()) GTEST_SKIP() << "the machine's log is written by copies with administrator rights";
  const std::string elsewhere = suite_.file("elsewhere");
  ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
  CommandLogFolderLinkedTo linked(elsewhere);
  if (!linked.linked()) GTEST_SKIP() << "no symbolic link could be made (not under Wine)";
  serve_newer_vemoda(server_);
  point_at();
  start();
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  answer("完了", "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。");
  ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
  Sleep(500);  // the record is appended as the command ends
  EXPECT_EQ(GetFileAttributesA((elsewhere + "\\tolvex.log").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
}

TEST_F(UpdateCommand, CheckThenUpdateOverHttps) {
  testing::TestHttpServer https("TOLVEX_HTTPS_DIR", "trusted");  // its CA is one of the prefix's roots
  ASSERT_TRUE(https.ok()) << "TOLVEX_HTTPS_DIR not set";
  serve_newer_vemoda(https);
  testing::set_updater_url(https.https_url("/" + folder_ + "/"));
  start();
  check_then_update();
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_10_11_12_13.dll"));
  expect_no_leftovers(suite_, "vemoda");
  EXPECT_EQ(column(6, 1), "10,11,12,0013");
  EXPECT_EQ(https.requests_for("/" + folder_ + "/update.txt").size(), 1u);
  EXPECT_EQ(https.requests_for("/" + folder_ + "/vemoda.lzh").size(), 1u);
}

TEST_F(UpdateCommand, CertificateFailuresStopTheUpdateAndInstallNothing) {
  for (const char* certificate : {"untrusted", "expired", "wronghost"}) {
    SCOPED_TRACE(certificate);
    testing::TestHttpServer https("TOLVEX_HTTPS_DIR", certificate);
    ASSERT_TRUE(https.ok()) << "TOLVEX_HTTPS_DIR not set";
    serve_newer_vemoda(https);
    testing::set_updater_url(https.https_url("/" + folder_ + "/"));  // read afresh by every command
    if (!app_) start();
    testing::click_button(window_, IDC_UPDATE_BUTTON);
    HWND box = wait_for_box("取得");
    ASSERT_NE(box, nullptr) << "status: " << testing::control_text(window_, IDC_STATUS_LINE);
    EXPECT_EQ(testing::message_box_text(box), "アップデート情報の取得に失敗しました。");
    EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE),
              "予期せぬエラーが発生しました。");  // kErrorTransfer's text
    testing::click_button(box, IDOK);
    ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
    EXPECT_TRUE(https.requests_for("/" + folder_ + "/update.txt").empty());
  }
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_1_2_3_45.dll"));
  expect_no_leftovers(suite_, "vemoda");
  EXPECT_EQ(column(6, 1), "1,02,3,0045");
}

class SlowUpdate : public UpdateCommand {
 protected:
  // Five newer files whose archives trickle from the server.
  void SetUp() override {
    UpdateCommand::SetUp();
    std::string list;
    for (size_t i = 0; i < names_.size(); ++i) {
      list += names_[i] + ".dll&99\r\n";
      serve(names_[i] + ".lzh", archive_holding(names_[i] + ".___", random_bytes(12000, static_cast<unsigned>(i))));
    }
    serve("update.txt", list);
    point_at("/_fault/trickle=400:15");
  }
  // Waits until the third archive is downloading, then presses IDCANCEL (abort).
  void request_abort_during_third() {
    // Early in the third download, so the press arrives while it still runs.
    const std::string third = names_[2] + ".lzhをダウンロードしています。";
    ASSERT_TRUE(testing::wait_until(
        [&] {
          const std::string status = testing::control_text(window_, IDC_STATUS_LINE);
          if (status.rfind(third, 0) != 0) return false;
          const int percent = std::atoi(status.c_str() + third.size());
          return percent > 0 && percent < 50;
        },
        60000));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDCANCEL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window_, IDC_UPDATE_BUTTON)));
    EXPECT_EQ(testing::control_text(window_, IDCANCEL), "中断");
    testing::click_button(window_, IDCANCEL);
  }

  const std::vector<std::string> names_{"vemoda", "vemoca", "nuri", "sef", "palgon"};
};

TEST_F(SlowUpdate, AbortConfirmedDuringTheThirdDownload) {
  start();
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  request_abort_during_third();
  answer("中断要求", "中断処理を行います。\nよろしいですか？", IDOK);
  answer("取得", "ファイルの取得を中断しました。");
  ASSERT_TRUE(testing::wait_until([&] { return idle(); }, 10000));
  EXPECT_TRUE(exists(suite_.file("vemoda.lzh")));
  EXPECT_TRUE(exists(suite_.file("vemoca.lzh")));
  EXPECT_TRUE(exists(suite_.file("nuri.lzh")));  // partly written, as reported so far
  EXPECT_FALSE(exists(suite_.file("sef.lzh")));
  EXPECT_EQ(testing::read_file(suite_.file("vemoda.dll")), fixture_bytes("ver_1_2_3_45.dll"));
  for (const std::string& name : names_) EXPECT_FALSE(exists(suite_.file(name + ".___"))) << name;
}

TEST_F(SlowUpdate, AbortWithdrawnLetsTheUpdateFinish) {
  start();
  testing::click_button(window_, IDC_UPDATE_BUTTON);
  request_abort_during_third();
  answer("中断要求", "中断処理を行います。\nよろしいですか？", IDCANCEL);
  answer("完了", "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。");
  for (size_t i = 0; i < names_.size(); ++i) {
    EXPECT_EQ(testing::read_file(suite_.file(names_[i] + ".dll")), random_bytes(12000, static_cast<unsigned>(i)));
    expect_no_leftovers(suite_, names_[i]);
  }
}

}  // namespace
}  // namespace tolvex
