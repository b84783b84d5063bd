#include "krt_image.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "engine_allocators.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"

namespace KR {

namespace {

constexpr uint8_t kMagic[4] = {'K', 'R', 'T', '.'};
constexpr uint32_t kRgbaTileWidth = 4;
constexpr uint32_t kPalettedTileWidth = 16;
constexpr uint32_t kTileHeight = 8;

uint32_t readLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// The payload size a header's format and sides call for; 0 when the sides do
// not fit the format's tiles.
uint64_t expectedPayload(uint32_t format, uint32_t width, uint32_t height) {
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) return 0;
  if (height % kTileHeight != 0) return 0;
  const uint64_t pixels = static_cast<uint64_t>(width) * height;
  if (format == KRTImage::kFormatRgbaTiles) return width % kRgbaTileWidth == 0 ? pixels * 4 : 0;
  return width % kPalettedTileWidth == 0 ? KRTImage::kPaletteBytes + pixels : 0;
}

}  // namespace

KRTImage::~KRTImage() { clear(); }

void KRTImage::clear() {
  if (ownsData) std::free(data);
  data = nullptr;
  ownsData = false;
  width = height = dataSize = 0;
  format = IF_UNKNOWN;
}

bool KRTImage::isKRTFile(const std::string& name, const std::string& package) {
  uint8_t signature[4];
  if (!readImageSignature(name, package, signature, sizeof(signature))) return false;
  return std::memcmp(signature, kMagic, sizeof(kMagic)) == 0;
}

void KRTImage::load(const std::string& name, const std::string& package) {
  std::unique_ptr<File> file(openImageFile(name, package));
  FileImageSource source(file.get());
  switch (decode(source)) {
    case Result::Ok: break;
    case Result::NotKrt:
    case Result::Refused: log("Failed to load KRT image %s", name.c_str()); break;
    case Result::TooLarge: KR_FATAL("Failed to allocated memory block through the stack allocator");
    case Result::BadFormat:
      KR_FATAL(formatString("KRT image '%s' in package '%s': unknown pixel format", name.c_str(), package.c_str()));
  }
}

KRTImage::Result KRTImage::loadFromMemory(const void* bytes, size_t size) {
  MemoryImageSource source(bytes, size);
  return decode(source);
}

KRTImage::Result KRTImage::decode(ImageSource& source) {
  clear();
  uint8_t header[kHeaderSize];
  if (!source.readExact(header, kHeaderSize) || std::memcmp(header, kMagic, sizeof(kMagic)) != 0) return Result::NotKrt;
  const uint32_t storage = readLE32(header + 4);
  const uint32_t headerWidth = readLE32(header + 8);
  const uint32_t headerHeight = readLE32(header + 12);
  const uint32_t payloadSize = readLE32(header + 16);
  if (storage != kFormatRgbaTiles && storage != kFormatPalettedTiles) return Result::BadFormat;

  // The payload must be exactly what the sides call for, so the tile walk
  // never reads past it.
  const uint64_t expected = expectedPayload(storage, headerWidth, headerHeight);
  if (expected == 0 || expected != payloadSize) return Result::Refused;

  // The payload lives in the engine's scratch arena only while the pixels are
  // made. The scope holds the arena's lock, so loads on other threads wait.
  StackAllocator* stack = EngineAllocators::getInstance()->getStackAllocator();
  if (!stack) return Result::TooLarge;
  StackAllocatorScope scratch(*stack);
  uint8_t* payload = scratch.allocate(payloadSize);
  if (!payload) return Result::TooLarge;
  if (source.remaining() < payloadSize || !source.readExact(payload, payloadSize)) return Result::Refused;

  const size_t pixelBytes = static_cast<size_t>(headerWidth) * headerHeight * 4;
  uint8_t* pixels = static_cast<uint8_t*>(std::malloc(pixelBytes));
  if (!pixels) throw std::bad_alloc();
  if (storage == kFormatRgbaTiles)
    untileRgba(payload, headerWidth, headerHeight, pixels);
  else
    expandPalettedTiles(payload, headerWidth, headerHeight, pixels);

  data = pixels;
  ownsData = true;
  width = headerWidth;
  height = headerHeight;
  dataSize = static_cast<uint32_t>(pixelBytes);
  format = IF_RGBA;
  return Result::Ok;
}

void KRTImage::untileRgba(const uint8_t* payload, uint32_t w, uint32_t h, uint8_t* pixels) {
  const uint32_t tilesPerRow = w / kRgbaTileWidth;
  const uint32_t tileCount = static_cast<uint32_t>(static_cast<uint64_t>(w) * h / (kRgbaTileWidth * kTileHeight));
  const size_t rowBytes = static_cast<size_t>(w) * 4;
  for (uint32_t t = 0; t < tileCount; ++t) {
    const uint32_t left = (t % tilesPerRow) * kRgbaTileWidth;
    const uint32_t top = (t / tilesPerRow) * kTileHeight;
    for (uint32_t row = 0; row < kTileHeight; ++row) {
      // One tile row is 4 pixels, contiguous in both layouts.
      std::memcpy(pixels + rowBytes * (top + row) + static_cast<size_t>(left) * 4, payload, kRgbaTileWidth * 4);
      payload += kRgbaTileWidth * 4;
    }
  }
}

void KRTImage::expandPalettedTiles(const uint8_t* payload, uint32_t w, uint32_t h, uint8_t* pixels) {
  const uint8_t* palette = payload;
  const uint8_t* indices = payload + kPaletteBytes;
  const uint32_t tilesPerRow = w / kPalettedTileWidth;
  const uint32_t tileCount = static_cast<uint32_t>(static_cast<uint64_t>(w) * h / (kPalettedTileWidth * kTileHeight));
  const size_t rowBytes = static_cast<size_t>(w) * 4;
  for (uint32_t t = 0; t < tileCount; ++t) {
    const uint32_t left = (t % tilesPerRow) * kPalettedTileWidth;
    const uint32_t top = (t / tilesPerRow) * kTileHeight;
    for (uint32_t row = 0; row < kTileHeight; ++row) {
      uint8_t* out = pixels + rowBytes * (top + row) + static_cast<size_t>(left) * 4;
      for (uint32_t x = 0; x < kPalettedTileWidth; ++x) std::memcpy(out + x * 4, palette + *indices++ * 4, 4);
    }
  }
}

}  // namespace KR
