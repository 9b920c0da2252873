#include "lha/detail/member_header.h"

#include <gtest/gtest.h>

#include "archive_bytes.h"

namespace tolvex::lha {
namespace {

std::uint16_t bitwise_crc(const std::vector<std::uint8_t>& data) {
  std::uint16_t crc = 0;
  for (std::uint8_t byte : data) {
    crc ^= byte;
    for (int i = 0; i < 8; ++i)
      crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
  }
  return crc;
}

TEST(Crc16, MatchesTheCheckValueAndABitwiseReferenceAtEveryLengthAndSplit) {
  EXPECT_EQ(crc16(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xBB3D);
  auto data = testing::random_bytes(100, 7);
  for (std::size_t length = 0; length <= data.size(); ++length) {
    std::vector<std::uint8_t> prefix(data.begin(), data.begin() + static_cast<long>(length));
    ASSERT_EQ(crc16(prefix.data(), prefix.size()), bitwise_crc(prefix)) << length;
    Crc16 split;
    split.update(prefix.data(), length / 3);
    split.update(prefix.data() + length / 3, length - length / 3);
    ASSERT_EQ(split.value(), bitwise_crc(prefix)) << length;
  }
}

}  // namespace
}  // namespace tolvex::lha
