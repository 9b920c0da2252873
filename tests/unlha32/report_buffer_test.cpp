#include "unlha32/report_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolvex::unlha32 {
namespace {

TEST(ReportBuffer, NeverWritesPastItsSizeAndKeepsDoubleByteCharactersWhole) {
  for (std::size_t size = 0; size < 12; ++size) {
    char storage[32];
    std::memset(storage, '#', sizeof storage);
    ReportBuffer report(storage, size);
    report.append("abc");
    report.append("\x95\x5C\x95\x5C");
    report.append("def");
    for (std::size_t i = size; i < sizeof storage; ++i) ASSERT_EQ(storage[i], '#') << size;
    if (size == 0) continue;
    std::size_t length = strnlen(storage, size);
    ASSERT_LT(length, size);
    EXPECT_EQ(std::string(storage, length), std::string("abc\x95\x5C\x95\x5C"
                                                        "def")
                                                .substr(0, length));
    if (length == 4) FAIL() << "a double-byte character was cut";
  }
  ReportBuffer nothing(nullptr, 100);
  nothing.append("ignored");
}

}  // namespace
}  // namespace tolvex::unlha32
