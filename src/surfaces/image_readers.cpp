#include "surfaces/image_readers.h"

#include "surfaces/bmp_reader.h"
#include "surfaces/dib_reader.h"
#ifdef PATAPATA_LIBPNG
#include "surfaces/png_reader.h"
#endif

#include <array>

namespace patapata {

namespace {

// In order of registration. Icons and metafiles are drawn by the Windows drawing services,
// which the software display does not have; their extensions get the unknown-format error.
// Without libpng (the browser build) the page decodes PNG files and hands the core their
// pixels (surfaces/alpha_key.h), so no ".png" reader reads files.
constexpr auto kReaders = std::to_array<ImageReader>({
    {"bmp", "ビットマップ", &decodeBmp, &decodeBmpForDisplay,
     [](const std::string& path, const PixelFormat& display) {
       return decodeBmpFileForDisplay(path, display);
     },
     false, MessageId::InvalidBitmap},
    {"dib", "Device Independent Bitmap", &decodeDib, &decodeDibForDisplay, nullptr, true,
     MessageId::InvalidDib},
#ifdef PATAPATA_LIBPNG
    // What sprite tools export; a bad file gets the bitmap reader's message.
    {"png", "Portable Network Graphics", &decodePng, nullptr, nullptr, false,
     MessageId::InvalidBitmap},
#endif
});

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

}  // namespace

const ImageReader* imageReaderFor(std::string_view extension) {
  for (auto it = kReaders.rbegin(); it != kReaders.rend(); ++it) {
    if (equalsIgnoringCase(extension, it->extension)) return &*it;
  }
  return nullptr;
}

std::string_view fileExtension(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

}  // namespace patapata
