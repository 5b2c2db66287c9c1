#include "surfaces/bitmap_header.h"

#include "common/errors.h"

#include <algorithm>

namespace patapata {

namespace {

uint16_t u16(std::span<const uint8_t> f, std::size_t at) {
  return static_cast<uint16_t>(f[at] | (f[at + 1] << 8));
}

uint32_t u32(std::span<const uint8_t> f, std::size_t at) {
  return uint32_t{f[at]} | (uint32_t{f[at + 1]} << 8) | (uint32_t{f[at + 2]} << 16) |
         (uint32_t{f[at + 3]} << 24);
}

void require(std::span<const uint8_t> file, std::size_t end) {
  if (file.size() < end) throw Error(MessageId::StreamReadError);
}

}  // namespace

BitmapInfo readBitmapFileHeader(std::span<const uint8_t> file) {
  require(file, kFileHeaderSize);
  BitmapInfo info;
  info.typeIsBM = file[0] == 'B' && file[1] == 'M';
  info.offBits = u32(file, 10);
  return info;
}

void readBitmapHeaderSize(std::span<const uint8_t> file, BitmapInfo& info) {
  require(file, kFileHeaderSize + 4);
  info.headerSize = u32(file, kFileHeaderSize);
}

void readBitmapInfoHeader(std::span<const uint8_t> file, BitmapInfo& info) {
  constexpr std::size_t h = kFileHeaderSize;
  if (info.isCore()) {
    require(file, h + kCoreHeaderSize);
    info.width = u16(file, h + 4);
    info.height = u16(file, h + 6);
    info.planes = u16(file, h + 8);
    info.bitCount = u16(file, h + 10);
    info.compression = kBiRgb;
    info.colorsUsed = 0;
    return;
  }
  // OS/2 2.x headers may stop early; what they do not reach counts as zero.
  const bool cut = info.isOs2Info() && info.headerSize < kInfoHeaderSize;
  const std::size_t size = cut ? info.headerSize : kInfoHeaderSize;
  require(file, h + std::max<std::size_t>(info.headerSize, size));
  std::array<uint8_t, kInfoHeaderSize> bytes{};
  std::copy_n(file.begin() + h, size, bytes.begin());
  const std::span<const uint8_t> fields(bytes);
  info.width = static_cast<int32_t>(u32(fields, 4));
  info.height = static_cast<int32_t>(u32(fields, 8));
  info.planes = u16(fields, 12);
  info.bitCount = u16(fields, 14);
  info.compression = u32(fields, 16);
  info.colorsUsed = u32(fields, 32);
}

std::size_t readBitFields(std::span<const uint8_t> file, BitmapInfo& info) {
  const std::size_t at = kFileHeaderSize + kInfoHeaderSize;
  require(file, at + 12);
  for (std::size_t i = 0; i < 3; ++i) info.masks[i] = u32(file, at + 4 * i);
  return info.headerSize >= kInfoHeaderSize + 12 ? kFileHeaderSize + info.headerSize : at + 12;
}

std::vector<uint32_t> readColorTable(std::span<const uint8_t> file, const BitmapInfo& info,
                                     std::size_t offset) {
  if (info.bitCount > 8) return {};
  const uint32_t full = uint32_t{1} << info.bitCount;
  std::size_t count = full;
  const std::size_t entrySize = info.isCore() ? 3 : 4;
  if (info.isCore()) {
    // The core header has no colour count: a table cut short by the pixel data is shorter.
    if (info.offBits > offset && (info.offBits - offset) / entrySize < count) {
      count = (info.offBits - offset) / entrySize;
    }
  } else if (info.colorsUsed != 0 && info.colorsUsed < full) {
    count = info.colorsUsed;
  }
  require(file, offset + count * entrySize);
  std::vector<uint32_t> table(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = offset + i * entrySize;
    table[i] = (uint32_t{file[at + 2]} << 16) | (uint32_t{file[at + 1]} << 8) | file[at];
  }
  return table;
}

}  // namespace patapata
