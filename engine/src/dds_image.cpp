#include "dds_image.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "file_system.h"
#include "log_system.h"

namespace KR {

namespace {

constexpr uint8_t kMagic[4] = {'D', 'D', 'S', ' '};
// Offsets inside the 124-byte header.
constexpr size_t kHeightOffset = 8;
constexpr size_t kWidthOffset = 12;
constexpr size_t kPixelFormatFlagsOffset = 76;
constexpr size_t kFourCCOffset = 80;

uint32_t readLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

DDSImage::~DDSImage() { clear(); }

void DDSImage::clear() {
  if (ownsData) std::free(data);
  data = nullptr;
  ownsData = false;
  dataSize = 0;
  dataRead = 0;
  std::memset(header, 0, sizeof(header));
  format = IF_UNKNOWN;
}

uint32_t DDSImage::headerField(size_t offset) const { return readLE32(header + offset); }

uint32_t DDSImage::getWidth() { return hasData() ? headerField(kWidthOffset) : 0; }
uint32_t DDSImage::getHeight() { return hasData() ? headerField(kHeightOffset) : 0; }

std::string DDSImage::getFourCC() const {
  const char* code = reinterpret_cast<const char*>(header + kFourCCOffset);
  return std::string(code, strnlen(code, 4));
}

uint64_t DDSImage::dxt5LevelSize(uint32_t width, uint32_t height) {
  uint64_t blocksWide = (static_cast<uint64_t>(width) + 3) / 4;
  uint64_t blocksHigh = (static_cast<uint64_t>(height) + 3) / 4;
  return blocksWide * blocksHigh * 16;
}

bool DDSImage::isDDSFile(const std::string& name, const std::string& package) {
  uint8_t signature[4];
  if (!readImageSignature(name, package, signature, sizeof(signature))) return false;
  return std::memcmp(signature, kMagic, sizeof(kMagic)) == 0;
}

void DDSImage::load(const std::string& name, const std::string& package) {
  std::unique_ptr<File> file(openImageFile(name, package));
  FileImageSource source(file.get());
  switch (decode(source)) {
    case Result::Unsupported:
      log("ERROR: DDS image '%s' in package '%s' is not DXT5 (%s)", name.c_str(), package.c_str(), getFourCC().c_str());
      break;
    case Result::Damaged: log("ERROR: DDS image '%s' in package '%s' is damaged", name.c_str(), package.c_str()); break;
    case Result::Ok:
    case Result::NotDds: break;
  }
}

DDSImage::Result DDSImage::loadFromMemory(const void* bytes, size_t size) {
  MemoryImageSource source(bytes, size);
  return decode(source);
}

DDSImage::Result DDSImage::decode(ImageSource& source) {
  clear();
  uint8_t magic[4];
  if (!source.readExact(magic, sizeof(magic)) || std::memcmp(magic, kMagic, sizeof(kMagic)) != 0) return Result::NotDds;
  if (!source.readExact(header, kHeaderSize)) {
    clear();
    return Result::Damaged;
  }

  const uint32_t flags = headerField(kPixelFormatFlagsOffset);
  const std::string fourCC = getFourCC();
  if (flags == kPaletteFlags)
    format = IF_PALETTE;
  else if (fourCC == "DXT1")
    format = IF_DXT1;
  else if (fourCC == "DXT3")
    format = IF_DXT3;
  else if (fourCC == "DXT5")
    format = IF_DXT5;
  else
    format = IF_UNKNOWN;
  if (format != IF_DXT5) return Result::Unsupported;  // the header stays readable for the log line

  const uint32_t width = headerField(kWidthOffset);
  const uint32_t height = headerField(kHeightOffset);
  const size_t remaining = source.remaining();
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide ||
      remaining < dxt5LevelSize(width, height) || remaining > UINT32_MAX) {
    clear();
    return Result::Damaged;
  }

  // Every mipmap level and surface that follows stays in the data as stored.
  uint8_t* bytes = static_cast<uint8_t*>(std::malloc(remaining));
  if (!bytes) throw std::bad_alloc();
  if (!source.readExact(bytes, remaining)) {
    std::free(bytes);
    clear();
    return Result::Damaged;
  }
  data = bytes;
  ownsData = true;
  dataSize = static_cast<uint32_t>(remaining);
  dataRead = 255;
  return Result::Ok;
}

}  // namespace KR
