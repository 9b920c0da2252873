#pragma once
// CRC-16 as LHA archives use it: reflected polynomial 0xA001, initial value 0.
#include <cstddef>
#include <cstdint>

namespace tolvex::lha {

class Crc16 {
 public:
  void update(const std::uint8_t* data, std::size_t size);
  std::uint16_t value() const { return value_; }

 private:
  std::uint16_t value_ = 0;
};

std::uint16_t crc16(const std::uint8_t* data, std::size_t size);

}  // namespace tolvex::lha
