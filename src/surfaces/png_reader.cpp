#include "surfaces/png_reader.h"

#include "common/errors.h"
#include "surfaces/bitmap_pixels.h"
#include "surfaces/pixel_format.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <csetjmp>
#include <cstddef>
#include <cstring>

namespace patapata {

namespace {

// Deflate writes at most 258 bytes for two bits of input, so no file describes more filtered
// image data than this many times its own size.
constexpr uint64_t kMaxInflation = 1032;

// The key rule's threshold: alpha below it is transparent.
constexpr uint8_t kOpaqueFrom = 128;

[[noreturn]] void invalid() {
  throw Error(MessageId::InvalidBitmap);
}

// libpng leaves a failed read by longjmp. Everything a longjmp can skip is trivially
// destructible: libpng reads only inside readHeader and readRows, each of which sets its own
// return point, and the objects with destructors live in decodePng, outside both. (Creating
// and destroying libpng's structures raises no error of its own.)

struct Source {
  const uint8_t* data;
  std::size_t size;
  std::size_t at;
};

void readFromSource(png_structp png, png_bytep out, std::size_t length) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (length > source->size - source->at) png_error(png, "file cut short");
  std::memcpy(out, source->data + source->at, length);
  source->at += length;
}

// libpng's own texts are technical English; the reader reports its message instead.
[[noreturn]] void stopReading(png_structp png, png_const_charp /*message*/) {
  png_longjmp(png, 1);
}

void ignoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

// What the headers say, after the transformations to one of three row layouts: one byte per
// pixel (palette index or grey), grey and alpha, or red, green, blue and alpha (or filler).
struct Header {
  uint32_t width = 0;
  uint32_t height = 0;
  int colourType = 0;
  std::size_t rowBytes = 0;
  int passes = 1;
  /// Colours of the indices: the PLTE chunk, or the grey levels.
  std::array<uint32_t, 256> palette{};
  /// Alpha of each palette index from the tRNS chunk, 255 past it.
  std::array<uint8_t, 256> paletteAlpha{};
  bool hasPaletteAlpha = false;
};

int bytesPerPixel(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;
  }
}

bool readHeader(png_structp png, png_infop info, Source* source, Header& header) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_read_fn(png, source, &readFromSource);
  png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
  // A damaged chunk fails the file, ancillary or not; so do the faults libpng would let pass
  // with a warning (too much image data, a bad tRNS chunk).
  png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
  png_set_benign_errors(png, 0);
  // Indices past the palette are black, as in BMP files; libpng would only notice some.
  png_set_check_for_invalid_index(png, 0);
  // Only IHDR, PLTE, tRNS, IDAT and IEND are interpreted; other chunks are skipped, so that
  // colour profiles, text and the like can neither change the picture nor cost memory.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(png, info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int depth = 0;
  int colourType = 0;
  int interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
  if (int64_t{width} * height > kMaxBitmapPixels) return false;
  // Refused before anything of the picture's size is allocated: more filtered rows than the
  // file can inflate to (an interlaced picture needs at least as much).
  const uint64_t rowBits = uint64_t{width} * png_get_channels(png, info) * depth;
  if (uint64_t{height} * ((rowBits + 7) / 8 + 1) > kMaxInflation * source->size) return false;

  // A grey or RGB picture's tRNS colour becomes an alpha channel, compared at the file's own
  // depth, so that every kind of transparency takes the same road.
  const bool transparentColour =
      (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB) &&
      png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (depth == 16) png_set_scale_16(png);
  switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE:
      png_set_packing(png);
      break;
    case PNG_COLOR_TYPE_GRAY:
      if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
      if (transparentColour) png_set_tRNS_to_alpha(png);
      break;
    case PNG_COLOR_TYPE_RGB:
      if (transparentColour) {
        png_set_tRNS_to_alpha(png);
      } else {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
      }
      break;
    default:
      break;
  }
  if (transparentColour) colourType |= PNG_COLOR_MASK_ALPHA;
  header.passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  header.width = width;
  header.height = height;
  header.colourType = colourType;
  header.rowBytes = png_get_rowbytes(png, info);
  if (header.rowBytes != std::size_t{width} * bytesPerPixel(colourType)) return false;

  header.paletteAlpha.fill(255);
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp colours = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colours, &count);
    for (int i = 0; i < std::min(count, 256); ++i) {
      header.palette[i] =
          (uint32_t{colours[i].red} << 16) | (uint32_t{colours[i].green} << 8) | colours[i].blue;
    }
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) != 0 && alpha != nullptr) {
      std::copy_n(alpha, std::clamp(alphaCount, 0, 256), header.paletteAlpha.begin());
      header.hasPaletteAlpha = true;
    }
  } else {
    for (uint32_t i = 0; i < 256; ++i) header.palette[i] = i * 0x010101u;
  }
  return true;
}

// Reads every row of every pass into `pixels`, and the chunks after the image data.
bool readRows(png_structp png, png_infop info, uint8_t* pixels, const Header& header) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  for (int pass = 0; pass < header.passes; ++pass) {
    for (uint32_t y = 0; y < header.height; ++y) {
      png_read_row(png, pixels + y * header.rowBytes, nullptr);
    }
  }
  png_read_end(png, info);
  return true;
}

// The libpng read and info structures, released on every way out.
class ReadStructs {
 public:
  ReadStructs()
      : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &stopReading, &ignoreWarning)) {
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
  }
  ~ReadStructs() { png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr); }
  ReadStructs(const ReadStructs&) = delete;
  ReadStructs& operator=(const ReadStructs&) = delete;

  bool ready() const { return png_ != nullptr && info_ != nullptr; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Paint programs often store fully transparent pixels as black, the colour of the outlines:
// made the key, it would take the outlines too. The transparent pixels therefore take the
// bottom-right pixel's colour only when no opaque pixel has it, or one a 5-6-5 display cannot
// tell from it; else the first colour no opaque pixel comes near at either depth. The key is
// still the bottom-right pixel's raw value, which is then that colour.
using Reductions = std::bitset<65536>;

// As the 5-6-5 display format reduces a colour: each channel keeps its high bits. Two colours
// that differ here differ at 32 bits too.
uint32_t reduced(uint32_t rgb) {
  return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F);
}

uint32_t freeKeyColour(uint32_t preferred, const Reductions& opaque) {
  if (!opaque[reduced(preferred)]) return preferred;
  for (uint32_t raw = 0; raw < opaque.size(); ++raw) {
    if (!opaque[raw]) return PixelFormat::rgb565().toRgb(raw);
  }
  return preferred;  // every colour is taken: nothing better to give
}

// Palette pixels whose tRNS alpha is below the threshold take the bottom-right pixel's index,
// whose colour is made one that no opaque entry has.
void keyPaletteAlpha(DecodedImage& image, const std::array<uint8_t, 256>& alpha) {
  const uint8_t corner = image.indices.back();
  if (alpha[corner] >= kOpaqueFrom) return;
  std::array<uint8_t, 256> lookUp{};
  Reductions opaque;
  for (std::size_t i = 0; i < lookUp.size(); ++i) {
    lookUp[i] = alpha[i] < kOpaqueFrom ? corner : static_cast<uint8_t>(i);
    if (alpha[i] >= kOpaqueFrom) opaque.set(reduced(image.palette[i]));
  }
  for (uint8_t& index : image.indices) index = lookUp[index];
  image.palette[corner] = freeKeyColour(image.palette[corner], opaque);
}

// Grey and alpha pairs to grey levels, in place: pixel i is written after pairs 0..i are read.
// Transparent pixels take the bottom-right pixel's level; when an opaque pixel looks like it,
// they take a level no opaque pixel has, whose palette colour is made one no opaque level comes
// near.
void keyGreyAlpha(DecodedImage& image, std::size_t count) {
  uint8_t* pairs = image.indices.data();
  uint8_t key = pairs[2 * count - 2];
  const bool keyed = pairs[2 * count - 1] < kOpaqueFrom;
  if (keyed) {
    std::bitset<256> opaqueLevels;
    for (std::size_t i = 0; i < count; ++i) {
      if (pairs[2 * i + 1] >= kOpaqueFrom) opaqueLevels.set(pairs[2 * i]);
    }
    Reductions opaque;
    for (std::size_t level = 0; level < opaqueLevels.size(); ++level) {
      if (opaqueLevels[level]) opaque.set(reduced(image.palette[level]));
    }
    if (opaque[reduced(image.palette[key])] && !opaqueLevels.all()) {
      key = 0;
      while (opaqueLevels[key]) ++key;
      image.palette[key] = freeKeyColour(image.palette[key], opaque);
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t grey = pairs[2 * i];
    const uint8_t alpha = pairs[2 * i + 1];
    pairs[i] = keyed && alpha < kOpaqueFrom ? key : grey;
  }
  image.indices.resize(count);
}

uint32_t colourAt(const uint8_t* rgba) {
  return (uint32_t{rgba[0]} << 16) | (uint32_t{rgba[1]} << 8) | rgba[2];
}

// Red, green, blue and alpha bytes to 0x00RRGGBB, in place.
void keyColours(DecodedImage& image, std::size_t count, bool hasAlpha) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.pixels.data());
  const uint8_t* corner = bytes + 4 * (count - 1);
  const bool keyed = hasAlpha && corner[3] < kOpaqueFrom;
  uint32_t key = colourAt(corner);
  if (keyed) {
    Reductions opaque;
    for (std::size_t i = 0; i < count; ++i) {
      const uint8_t* pixel = bytes + 4 * i;
      if (pixel[3] >= kOpaqueFrom) opaque.set(reduced(colourAt(pixel)));
    }
    key = freeKeyColour(key, opaque);
  }
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t* pixel = bytes + 4 * i;
    image.pixels[i] = keyed && pixel[3] < kOpaqueFrom ? key : colourAt(pixel);
  }
}

}  // namespace

DecodedImage decodePng(std::span<const uint8_t> file) {
  // libpng checks the order of the chunks it interprets; the skipped ones may come first.
  constexpr std::size_t kFirstChunkType = 12;
  if (file.size() < kFirstChunkType + 4 ||
      std::memcmp(file.data() + kFirstChunkType, "IHDR", 4) != 0) {
    invalid();
  }
  ReadStructs reading;
  if (!reading.ready()) invalid();
  Source source{file.data(), file.size(), 0};
  Header header;
  if (!readHeader(reading.png(), reading.info(), &source, header)) invalid();

  DecodedImage image;
  image.width = static_cast<int32_t>(header.width);
  image.height = static_cast<int32_t>(header.height);
  image.palette = header.palette;
  const std::size_t count = std::size_t{header.width} * header.height;
  uint8_t* rows = nullptr;
  if (header.colourType == PNG_COLOR_TYPE_RGB || header.colourType == PNG_COLOR_TYPE_RGB_ALPHA) {
    image.pixels.resize(count);
    rows = reinterpret_cast<uint8_t*>(image.pixels.data());
  } else {
    image.indices.resize(count * bytesPerPixel(header.colourType));
    rows = image.indices.data();
  }
  if (!readRows(reading.png(), reading.info(), rows, header)) invalid();

  switch (header.colourType) {
    case PNG_COLOR_TYPE_PALETTE:
      if (header.hasPaletteAlpha) keyPaletteAlpha(image, header.paletteAlpha);
      break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      keyGreyAlpha(image, count);
      break;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      keyColours(image, count, header.colourType == PNG_COLOR_TYPE_RGB_ALPHA);
      break;
    default:
      break;
  }
  return image;
}

}  // namespace patapata
