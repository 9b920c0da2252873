#include "lha/crc16.h"

#include <array>

namespace tolvex::lha {
namespace {

// Sixteen tables let the loop fold sixteen bytes per step; the first is the classic byte table,
// table k gives a byte's effect k bytes further on.
constexpr int kSlices = 16;
using Tables = std::array<std::array<std::uint16_t, 256>, kSlices>;

Tables make_tables() {
  Tables tables{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    std::uint16_t crc = static_cast<std::uint16_t>(byte);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    tables[0][byte] = crc;
  }
  for (unsigned byte = 0; byte < 256; ++byte) {
    for (int k = 1; k < kSlices; ++k) {
      std::uint16_t previous = tables[k - 1][byte];
      tables[k][byte] = static_cast<std::uint16_t>((previous >> 8) ^ tables[0][previous & 0xFF]);
    }
  }
  return tables;
}

const Tables& tables() {
  static const Tables instance = make_tables();
  return instance;
}

}  // namespace

void Crc16::update(const std::uint8_t* data, std::size_t size) {
  const Tables& t = tables();
  std::uint32_t crc = value_;
  while (size >= kSlices) {
    const std::uint32_t low = crc ^ (data[0] | (data[1] << 8));
    crc = t[15][low & 0xFF] ^ t[14][low >> 8] ^ t[13][data[2]] ^ t[12][data[3]] ^ t[11][data[4]] ^ t[10][data[5]] ^
          t[9][data[6]] ^ t[8][data[7]] ^ t[7][data[8]] ^ t[6][data[9]] ^ t[5][data[10]] ^ t[4][data[11]] ^
          t[3][data[12]] ^ t[2][data[13]] ^ t[1][data[14]] ^ t[0][data[15]];
    data += kSlices;
    size -= kSlices;
  }
  while (size--) crc = (crc >> 8) ^ t[0][(crc ^ *data++) & 0xFF];
  value_ = static_cast<std::uint16_t>(crc);
}

std::uint16_t crc16(const std::uint8_t* data, std::size_t size) {
  Crc16 crc;
  crc.update(data, size);
  return crc.value();
}

}  // namespace tolvex::lha
