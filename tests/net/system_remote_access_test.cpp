// The link over the system's own Remote Access Service. Under Wine the service is stubs only
// (no connections; a dial fails with 1 and leaves no handle), which is enough to check that our
// records reach rasapi32 and come back as the logic expects.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "net/dial_up_link.h"
#include "support/recording_doubles.h"

namespace tolvex {
namespace {

TEST(SystemRemoteAccessService, ReadsTheConnectionListAndReportsAFailedDial) {
  testing::RecordingWaiter waiter;
  DialUpLink link(system_remote_access_service(), waiter);
  EXPECT_EQ(link.has_active_connection(), 0);
  EXPECT_EQ(link.dial_up("no such entry"), 0);
  EXPECT_EQ(last_error(), kErrorDialFailed);
  EXPECT_FALSE(link.dialled());
  EXPECT_EQ(link.handle(), nullptr);
  EXPECT_TRUE(waiter.waits.empty());  // the hang-up after the failed dial succeeded at once
}

TEST(SystemRemoteAccessService, ProgramLinkStartsIdle) {
  EXPECT_FALSE(dial_up_link().dialled());
  EXPECT_EQ(dial_up_link().hang_up(), 1);
}

}  // namespace
}  // namespace tolvex
