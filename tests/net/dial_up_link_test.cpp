// The dial-up link over a scripted Remote Access Service: the order of the service calls,
// the records handed to it, the codes left in LastError and the state the link ends in. Then the
// connect and disconnect steps: when they touch the dial-up service at all, what they show in
// the status line and what they tell the command through DialledByUs.
#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"
#include "net/dial_up_link.h"
#include "support/fake_remote_access_service.h"
#include "support/recording_doubles.h"

namespace tolvex {
namespace {

using testing::FakeRemoteAccessService;
using testing::RecordingStatusSurface;
using testing::RecordingWaiter;
using Operations = std::vector<std::string>;
using Events = std::vector<std::string>;

const RasConnection kDialledHandle = reinterpret_cast<RasConnection>(0x5150);
const RasConnection kOtherConnection = reinterpret_cast<RasConnection>(0x7777);

class DialUpLinkTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(service.script_done()) << "expected calls not made"; }

  FakeRemoteAccessService service;
  RecordingWaiter waiter;
  DialUpLink link{service, waiter};
};

TEST_F(DialUpLinkTest, DialsTheEntryWithItsStoredParameters) {
  set_last_error(kErrorNoFileAtUrl);
  service.expect_enumerate(kRasSuccess);
  service.expect_get_params();
  service.expect_dial(kRasSuccess, kDialledHandle);

  EXPECT_EQ(link.dial_up("プロバイダ"), 1);
  EXPECT_EQ(last_error(), kErrorNone);  // reset at the start of every dial
  EXPECT_TRUE(link.dialled());
  EXPECT_EQ(link.handle(), kDialledHandle);
  EXPECT_EQ(service.operations(), (Operations{"enumerate", "get_params", "dial"}));
  EXPECT_EQ(service.calls[0].byte_size, sizeof(RasConnectionRecord));
  EXPECT_EQ(service.calls[0].first_size, sizeof(RasConnectionRecord));
  EXPECT_EQ(service.calls[1].parameters_size, 1052u);
  EXPECT_EQ(service.calls[1].entry_name, "プロバイダ");
  EXPECT_EQ(service.calls[2].entry_name, "プロバイダ");
  EXPECT_EQ(service.calls[2].user_name, "stored-user");  // the stored parameters are dialled
  EXPECT_TRUE(waiter.waits.empty());
}

TEST_F(DialUpLinkTest, ActiveConnectionOfAnyEntryIsUsedWithoutDialling) {
  service.expect_enumerate(kRasSuccess, kOtherConnection);

  EXPECT_EQ(link.dial_up("provider"), 1);
  EXPECT_EQ(last_error(), kErrorAlreadyDialled);
  EXPECT_FALSE(link.dialled());
  EXPECT_EQ(link.handle(), nullptr);
}

TEST_F(DialUpLinkTest, SecondEnumerationGetsTheSizeTheServiceAskedFor) {
  const std::uint32_t two_records = 2 * sizeof(RasConnectionRecord);
  service.expect_enumerate(kRasBufferTooSmall, nullptr, two_records);
  service.expect_enumerate(kRasSuccess, kOtherConnection);

  EXPECT_EQ(link.has_active_connection(), 1);
  ASSERT_EQ(service.calls.size(), 2u);
  EXPECT_EQ(service.calls[1].byte_size, two_records);
  EXPECT_EQ(service.calls[1].first_size, sizeof(RasConnectionRecord));
}

TEST_F(DialUpLinkTest, TwoActiveConnectionsAreTreatedLikeOne) {
  service.expect_enumerate(kRasBufferTooSmall, nullptr, 2 * sizeof(RasConnectionRecord));
  service.expect_enumerate(kRasSuccess, kOtherConnection);

  EXPECT_EQ(link.dial_up("provider"), 1);
  EXPECT_EQ(last_error(), kErrorAlreadyDialled);
  EXPECT_FALSE(link.dialled());
}

TEST_F(DialUpLinkTest, UnreadableConnectionListFailsWithoutDialling) {
  service.expect_enumerate(632);
  EXPECT_EQ(link.dial_up("provider"), 0);
  EXPECT_EQ(last_error(), kErrorConnectionStatus);
}

TEST_F(DialUpLinkTest, RetriedEnumerationThatFailsIsUnreadable) {
  service.expect_enumerate(kRasBufferTooSmall, nullptr, 2 * sizeof(RasConnectionRecord));
  service.expect_enumerate(kRasBufferTooSmall, nullptr, 3 * sizeof(RasConnectionRecord));
  EXPECT_EQ(link.has_active_connection(), -1);
}

TEST_F(DialUpLinkTest, DialOutOfMemoryHangsUpAndReportsOutOfMemory) {
  service.expect_enumerate(kRasSuccess);
  service.expect_get_params();
  service.expect_dial(kRasNotEnoughMemory, kDialledHandle);
  service.expect_hang_up(kRasSuccess);

  EXPECT_EQ(link.dial_up("provider"), 0);
  EXPECT_EQ(last_error(), kErrorOutOfMemory);
  EXPECT_EQ(service.calls[3].handle, kDialledHandle);
  EXPECT_FALSE(link.dialled());
  EXPECT_EQ(link.handle(), nullptr);
}

TEST_F(DialUpLinkTest, FailedDialIsHungUpWithOneRetryAfter3000Ms) {
  service.expect_enumerate(kRasSuccess);
  service.expect_get_params();
  service.expect_dial(678, kDialledHandle);
  service.expect_hang_up(6);
  service.expect_hang_up(kRasSuccess);

  EXPECT_EQ(link.dial_up("provider"), 0);
  EXPECT_EQ(last_error(), kErrorDialFailed);
  EXPECT_EQ(waiter.waits, std::vector<unsigned>{3000});
  EXPECT_EQ(service.calls[3].handle, kDialledHandle);
  EXPECT_EQ(service.calls[4].handle, kDialledHandle);
  EXPECT_FALSE(link.dialled());
}

TEST_F(DialUpLinkTest, DialFailureCodeReplacesTheHangUpFailure) {
  service.expect_enumerate(kRasSuccess);
  service.expect_get_params();
  service.expect_dial(678, kDialledHandle);
  service.expect_hang_up(6);
  service.expect_hang_up(6);

  EXPECT_EQ(link.dial_up("provider"), 0);
  EXPECT_EQ(last_error(), kErrorDialFailed);
  EXPECT_FALSE(link.dialled());  // a failed dial always ends idle
  EXPECT_EQ(link.handle(), nullptr);
}

TEST_F(DialUpLinkTest, EmptyEntryNameIsRefusedBeforeAnyCall) {
  EXPECT_EQ(link.dial_up(""), 0);
  EXPECT_EQ(last_error(), kErrorBadArgument);
}

TEST_F(DialUpLinkTest, EntryNameOfExactly256BytesIsDialledWhole) {
  const std::string name(256, 'n');
  service.expect_enumerate(kRasSuccess);
  service.expect_get_params();
  service.expect_dial(kRasSuccess, kDialledHandle);
  EXPECT_EQ(link.dial_up(name.c_str()), 1);
  EXPECT_EQ(service.calls[2].entry_name, name);
}

TEST_F(DialUpLinkTest, EntryNameLongerThanTheParametersHoldIsRefused) {
  // Cutting it to 256 bytes would dial a different entry.
  const std::string name(257, 'n');
  EXPECT_EQ(link.dial_up(name.c_str()), 0);
  EXPECT_EQ(last_error(), kErrorBadArgument);
}

TEST_F(DialUpLinkTest, HangUpWithoutADialCallsNothing) {
  EXPECT_EQ(link.hang_up(), 1);
  EXPECT_TRUE(waiter.waits.empty());
}

TEST_F(DialUpLinkTest, HangUpSucceedsOnTheRetry) {
  service.expect_enumerate(kRasSuccess);
  service.expect_get_params();
  service.expect_dial(kRasSuccess, kDialledHandle);
  ASSERT_EQ(link.dial_up("provider"), 1);
  service.expect_hang_up(6);
  service.expect_hang_up(kRasSuccess);

  EXPECT_EQ(link.hang_up(), 1);
  EXPECT_EQ(waiter.waits, std::vector<unsigned>{3000});
  EXPECT_FALSE(link.dialled());
  EXPECT_EQ(link.handle(), nullptr);
  EXPECT_EQ(link.hang_up(), 1);  // nothing left to hang up: no more calls
}

TEST_F(DialUpLinkTest, BothHangUpsFailingKeepTheLinkMarkedDialled) {
  service.expect_enumerate(kRasSuccess);
  service.expect_get_params();
  service.expect_dial(kRasSuccess, kDialledHandle);
  ASSERT_EQ(link.dial_up("provider"), 1);
  service.expect_hang_up(6);
  service.expect_hang_up(6);

  EXPECT_EQ(link.hang_up(), 0);
  EXPECT_EQ(last_error(), kErrorHangUpFailed);
  EXPECT_TRUE(link.dialled());
  EXPECT_EQ(link.handle(), nullptr);

  // A later hang-up tries twice again, now with the null handle, and fails the same way.
  service.expect_hang_up(6);
  service.expect_hang_up(6);
  set_last_error(kErrorNone);
  EXPECT_EQ(link.hang_up(), 0);
  EXPECT_EQ(last_error(), kErrorHangUpFailed);
  EXPECT_EQ(service.calls.back().handle, nullptr);
  EXPECT_EQ(waiter.waits, (std::vector<unsigned>{3000, 3000}));
}

class ConnectionStepsTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(service.script_done()) << "expected calls not made"; }

  void expect_successful_dial() {
    service.expect_enumerate(kRasSuccess);
    service.expect_get_params();
    service.expect_dial(kRasSuccess, kDialledHandle);
  }

  FakeRemoteAccessService service;
  RecordingWaiter waiter;
  DialUpLink link{service, waiter};
  RecordingStatusSurface status;
  std::int32_t dialled_by_us = 1;  // left over from an earlier command
};

TEST_F(ConnectionStepsTest, DialUpOffTouchesNothingButTheFlags) {
  set_abort_requested(true);
  EXPECT_EQ(connect_step(link, 0, "provider", dialled_by_us, status), 1);
  EXPECT_EQ(dialled_by_us, 0);
  EXPECT_FALSE(abort_requested());
  EXPECT_EQ(disconnect_step(link, 0, 1, status), 1);
  EXPECT_TRUE(status.events.empty());
  EXPECT_TRUE(service.calls.empty());
}

TEST_F(ConnectionStepsTest, DialsThenHangsUpWhatItDialled) {
  set_abort_requested(true);
  expect_successful_dial();
  EXPECT_EQ(connect_step(link, 1, "provider", dialled_by_us, status), 1);
  EXPECT_EQ(dialled_by_us, 1);
  EXPECT_FALSE(abort_requested());

  service.expect_hang_up(kRasSuccess);
  EXPECT_EQ(disconnect_step(link, 1, dialled_by_us, status), 1);
  EXPECT_EQ(status.events, (Events{"status:ダイアルアップ接続", "status:切断"}));
  EXPECT_EQ(service.calls.back().handle, kDialledHandle);

  // A second disconnect in the same command finds nothing left to hang up.
  EXPECT_EQ(disconnect_step(link, 1, dialled_by_us, status), 1);
  EXPECT_EQ(service.calls.size(), 4u);
}

TEST_F(ConnectionStepsTest, ActiveConnectionIsUsedAndLeftUp) {
  service.expect_enumerate(kRasSuccess, reinterpret_cast<RasConnection>(0x7777));
  EXPECT_EQ(connect_step(link, 1, "provider", dialled_by_us, status), 1);
  EXPECT_EQ(dialled_by_us, 0);
  EXPECT_EQ(last_error(), kErrorAlreadyDialled);
  EXPECT_EQ(disconnect_step(link, 1, dialled_by_us, status), 1);
  EXPECT_EQ(status.events, (Events{"status:ダイアルアップ接続"}));
}

TEST_F(ConnectionStepsTest, ConnectFailuresShowTheirMessages) {
  struct Case {
    const char* name;
    std::uint32_t enumerate_result;
    std::uint32_t dial_result;
    const char* message;
  };
  const std::string too_long(257, 'n');
  const Case cases[] = {
      {"", 0, 0, "関数の引数に誤りがあります。"},
      {too_long.c_str(), 0, 0, "関数の引数に誤りがあります。"},
      {"provider", 632, 0, "接続ステータスの取得に失敗しました。"},
      {"provider", 0, kRasNotEnoughMemory, "メモリが不足しています。"},
      {"provider", 0, 678, "ダイアルアップ接続に失敗しました。"},
  };
  for (const Case& c : cases) {
    FakeRemoteAccessService fresh_service;
    DialUpLink fresh_link(fresh_service, waiter);
    RecordingStatusSurface fresh_status;
    const bool name_usable = c.name[0] != '\0' && std::string(c.name).size() <= 256;
    if (name_usable) fresh_service.expect_enumerate(c.enumerate_result);
    if (name_usable && c.enumerate_result == 0) {
      fresh_service.expect_get_params();
      fresh_service.expect_dial(c.dial_result, kDialledHandle);
      fresh_service.expect_hang_up(kRasSuccess);
    }
    std::int32_t flag = 1;
    EXPECT_EQ(connect_step(fresh_link, 1, c.name, flag, fresh_status), 0) << c.message;
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(fresh_status.events, (Events{"status:ダイアルアップ接続", std::string("status:") + c.message}));
    EXPECT_TRUE(fresh_service.script_done()) << c.message;
  }
}

TEST_F(ConnectionStepsTest, FailedHangUpResetsTheProgressBarAndShowsTheMessage) {
  expect_successful_dial();
  ASSERT_EQ(connect_step(link, 1, "provider", dialled_by_us, status), 1);
  service.expect_hang_up(6);
  service.expect_hang_up(6);

  EXPECT_EQ(disconnect_step(link, 1, dialled_by_us, status), 0);
  EXPECT_EQ(last_error(), kErrorHangUpFailed);
  EXPECT_EQ(status.events, (Events{"status:ダイアルアップ接続", "status:切断", "reset_progress",
                                   "status:ネットワークの切断に失敗しました。"}));
  EXPECT_EQ(waiter.waits, std::vector<unsigned>{3000});
}

TEST_F(ConnectionStepsTest, NothingDialledByThisCommandIsNeverHungUp) {
  EXPECT_EQ(disconnect_step(link, 1, 0, status), 1);
  EXPECT_TRUE(status.events.empty());
}

}  // namespace
}  // namespace tolvex
