#include "surfaces/png_reader.h"

#include "common/errors.h"
#include "surfaces/alpha_key.h"
#include "surfaces/bitmap_pixels.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstddef>
#include <cstring>
#include <utility>

namespace patapata {

namespace {

// Deflate writes at most 258 bytes for two bits of input, so no file describes more filtered
// image data than this many times its own size.
constexpr uint64_t kMaxInflation = 1032;

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
  bool cutShort = false;  ///< the file ended where the picture went on: a save in progress
};

void readFromSource(png_structp png, png_bytep out, std::size_t length) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (length > source->size - source->at) {
    source->cutShort = true;
    png_error(png, "file cut short");
  }
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

}  // namespace

DecodedImage decodePng(std::span<const uint8_t> file) {
  // libpng checks the order of the chunks it interprets; the skipped ones may come first.
  static constexpr uint8_t kStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                       0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  constexpr std::size_t kFirstChunkType = 12;
  if (file.size() < sizeof kStart) {
    // The start of a PNG file and nothing more (or nothing yet) is one still being written.
    if (file.empty() || std::memcmp(file.data(), kStart, file.size()) == 0) {
      throw Error(MessageId::PictureCutShort);
    }
    invalid();
  }
  if (std::memcmp(file.data() + kFirstChunkType, "IHDR", 4) != 0) invalid();
  ReadStructs reading;
  if (!reading.ready()) invalid();
  Source source{file.data(), file.size(), 0};
  const auto stopped = [&source] {
    if (source.cutShort) throw Error(MessageId::PictureCutShort);
    invalid();
  };
  Header header;
  if (!readHeader(reading.png(), reading.info(), &source, header)) stopped();

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
  if (!readRows(reading.png(), reading.info(), rows, header)) stopped();

  switch (header.colourType) {
    case PNG_COLOR_TYPE_PALETTE:
      if (header.hasPaletteAlpha) keyPaletteAlpha(image, header.paletteAlpha);
      break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      keyGreyAlpha(image);
      break;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      // Opaque filler stands in for a missing alpha channel, so the rule leaves those alone.
      image.pixels = keyRgbaPixels(std::move(image.pixels), image.width, image.height).pixels;
      break;
    default:
      break;
  }
  return image;
}

}  // namespace patapata
