#pragma once
// Decoded pixel data of one picture file, held only until a texture has been
// made from it. Three loaders exist (PNG, DDS, the engine's own KRT); each can
// read a content file by (name, package) or a buffer in memory.
#include <cstddef>
#include <cstdint>
#include <string>

namespace KR {

class File;

// How an image's pixel data is laid out. Rows are stored top row first and
// packed unless a pitch says otherwise.
enum ImageFormat : uint32_t {
  IF_UNKNOWN = 0,           // not usable
  IF_RGBX = 1,              // 4-byte pixels R, G, B, 255
  IF_RGBA = 2,              // 4-byte pixels R, G, B, A
  IF_PALETTE = 3,           // palette data (never produced by the loaders)
  IF_DXT1 = 4,              // DXT1 blocks as stored
  IF_DXT3 = 5,              // DXT3 blocks as stored
  IF_DXT5 = 6,              // DXT5 blocks as stored
  IF_LUMINANCE_ALPHA = 17,  // 2-byte pixels (texture updates only)
  IF_LUMINANCE = 18,        // 1-byte pixels (texture updates only)
  IF_BGRA = 19,             // 4-byte pixels B, G, R, A (texture updates only)
};

// Pictures larger than this on either side are refused by every loader; it
// bounds what a damaged header can make us allocate.
constexpr uint32_t kMaxImageSide = 8192;

// A byte stream a decoder reads from: an open content file or a memory block.
class ImageSource {
 public:
  virtual ~ImageSource() = default;
  // Reads up to count bytes; returns the number read, negative on error.
  virtual long read(void* destination, size_t count) = 0;
  // Total size of the stream in bytes.
  virtual size_t size() const = 0;
  // Bytes consumed so far.
  virtual size_t tell() const = 0;

  size_t remaining() const { return size() > tell() ? size() - tell() : 0; }
  // Reads exactly count bytes; false when the stream ends or fails first.
  bool readExact(void* destination, size_t count);
};

class MemoryImageSource : public ImageSource {
 public:
  MemoryImageSource(const void* data, size_t size);
  long read(void* destination, size_t count) override;
  size_t size() const override { return length; }
  size_t tell() const override { return position; }

 private:
  const uint8_t* bytes;
  size_t length;
  size_t position = 0;
};

// Reads through an open content file; the file stays the caller's.
class FileImageSource : public ImageSource {
 public:
  explicit FileImageSource(File* file);
  long read(void* destination, size_t count) override;
  size_t size() const override { return length; }
  size_t tell() const override { return position; }

 private:
  File* file;
  size_t length;
  size_t position = 0;
};

class Image {
 public:
  virtual ~Image() = default;
  // Reads and decodes the content file (package "default", "localization" or
  // any other, as the file system resolves it). A missing file is fatal.
  virtual void load(const std::string& name, const std::string& package) = 0;
  // Null when the image holds no pixels (not loaded, or refused).
  virtual uint8_t* getData() = 0;
  virtual uint32_t getWidth() = 0;
  virtual uint32_t getHeight() = 0;
  virtual uint32_t getDataSize() = 0;
  // PNG: row size in bytes; KRT: the width; DDS: 0.
  virtual uint32_t getPitch() = 0;

  uint32_t format = IF_UNKNOWN;
};

// Opens (package, name) through the file system. A missing file is the fatal
// error "ERROR: file '%s' not found in package '%s'".
File* openImageFile(const std::string& name, const std::string& package);

// Reads the first count bytes of (package, name) into signature; false when the
// file is shorter. A missing file is fatal as above.
bool readImageSignature(const std::string& name, const std::string& package, uint8_t* signature, size_t count);

// Chooses the loader by the file's first bytes (PNG, then DDS, then KRT),
// creates that image and loads it. A file no loader recognises is the fatal
// error "Failed to load image". The caller owns the result.
Image* loadImageFile(const std::string& name, const std::string& package);

}  // namespace KR
