#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace patapata {

/// Compression codes of the BMP information header.
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitfields = 3;

/// Sizes in bytes of the BMP header kinds.
inline constexpr uint32_t kFileHeaderSize = 14;
inline constexpr uint32_t kCoreHeaderSize = 12;
inline constexpr uint32_t kInfoHeaderSize = 40;
/// OS/2 2.x: the information header's 40 bytes and 24 of OS/2's own.
inline constexpr uint32_t kOs2InfoHeaderSize = 64;
/// The shortest OS/2 2.x header: up to the bit count.
inline constexpr uint32_t kOs2MinHeaderSize = 16;

/// The fields of a BMP file's two headers, as written in the file (nothing validated).
struct BitmapInfo {
  bool typeIsBM = false;
  /// Byte offset of the pixel data from the start of the file.
  uint32_t offBits = 0;
  uint32_t headerSize = 0;
  /// Signed as in the Windows headers; the OS/2 core header's unsigned 16-bit values fit.
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t colorsUsed = 0;
  /// Red, green and blue masks; only read by readBitFields.
  std::array<uint32_t, 3> masks{};

  bool isCore() const { return headerSize == kCoreHeaderSize; }
  /// The whole OS/2 2.x header, or one cut before the 40 bytes it shares with Windows'.
  bool isOs2Info() const {
    return headerSize == kOs2InfoHeaderSize ||
           (headerSize >= kOs2MinHeaderSize && headerSize < kInfoHeaderSize);
  }
  /// Bottom-up rows are the norm; a negative height means top-down.
  bool topDown() const { return height < 0; }
};

/// Reads the 14-byte file header. Throws Error "ストリームからの読み込みエラー" when the
/// file is shorter.
BitmapInfo readBitmapFileHeader(std::span<const uint8_t> file);

/// Reads the information header's size field into `info`. Throws Error when absent.
void readBitmapHeaderSize(std::span<const uint8_t> file, BitmapInfo& info);

/// Reads the rest of the information header (12, 40 bytes or larger; larger headers are read
/// as far as their first 40 bytes). A cut OS/2 2.x header is read as far as it goes, the
/// fields past its end counting as zero. Throws Error when the file is shorter.
void readBitmapInfoHeader(std::span<const uint8_t> file, BitmapInfo& info);

/// Reads the bit-field masks: inside headers of 52 bytes and more, else the 12 bytes after
/// the 40-byte header. Returns the offset of the byte after the masks. Throws Error.
std::size_t readBitFields(std::span<const uint8_t> file, BitmapInfo& info);

/// Reads the colour table starting at `offset`: 3-byte entries after a core header, 4-byte
/// ones otherwise, as 0x00RRGGBB. Images of more than 8 bits per pixel get none; shorter
/// tables follow the header's colour count (0 meaning 2^n), never more than 2^n entries.
/// Throws Error when the file ends inside the table.
std::vector<uint32_t> readColorTable(std::span<const uint8_t> file, const BitmapInfo& info,
                                     std::size_t offset);

}  // namespace patapata
