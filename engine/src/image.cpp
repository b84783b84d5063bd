#include "image.h"

#include <climits>
#include <cstring>
#include <memory>

#include "dds_image.h"
#include "file_system.h"
#include "format_string.h"
#include "krt_image.h"
#include "png_image.h"
#include "report_assert.h"

namespace KR {

bool ImageSource::readExact(void* destination, size_t count) {
  uint8_t* out = static_cast<uint8_t*>(destination);
  while (count > 0) {
    long got = read(out, count);
    if (got <= 0) return false;
    out += got;
    count -= static_cast<size_t>(got);
  }
  return true;
}

MemoryImageSource::MemoryImageSource(const void* data, size_t size)
    : bytes(static_cast<const uint8_t*>(data)), length(data ? size : 0) {}

long MemoryImageSource::read(void* destination, size_t count) {
  size_t left = length - position;
  if (count > left) count = left;
  if (count > static_cast<size_t>(LONG_MAX)) count = static_cast<size_t>(LONG_MAX);
  if (count > 0) std::memcpy(destination, bytes + position, count);
  position += count;
  return static_cast<long>(count);
}

FileImageSource::FileImageSource(File* f) : file(f) {
  int fileSize = file ? file->getSize() : 0;
  length = fileSize > 0 ? static_cast<size_t>(fileSize) : 0;
  int at = file ? file->tell() : 0;
  position = at > 0 ? static_cast<size_t>(at) : 0;
}

long FileImageSource::read(void* destination, size_t count) {
  if (!file) return -1;
  uint8_t* out = static_cast<uint8_t*>(destination);
  long total = 0;
  // File::read takes an int count; large reads go in slices.
  while (count > 0) {
    int slice = count > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
    int got = file->read(out, slice);
    if (got < 0) return total > 0 ? total : -1;
    if (got == 0) break;
    out += got;
    count -= static_cast<size_t>(got);
    total += got;
    position += static_cast<size_t>(got);
  }
  return total;
}

File* openImageFile(const std::string& name, const std::string& package) {
  File* file = FileSystem::getInstance()->openFile(package, name);
  if (!file) KR_FATAL(formatString("ERROR: file '%s' not found in package '%s'", name.c_str(), package.c_str()));
  return file;
}

bool readImageSignature(const std::string& name, const std::string& package, uint8_t* signature, size_t count) {
  std::unique_ptr<File> file(openImageFile(name, package));
  FileImageSource source(file.get());
  return source.readExact(signature, count);
}

Image* loadImageFile(const std::string& name, const std::string& package) {
  Image* image = nullptr;
  if (PngImage::isPngFile(name, package))
    image = new PngImage();
  else if (DDSImage::isDDSFile(name, package))
    image = new DDSImage();
  else if (KRTImage::isKRTFile(name, package))
    image = new KRTImage();
  else
    KR_FATAL(formatString("Failed to load image '%s' in package '%s': neither PNG, DDS nor KRT", name.c_str(),
                          package.c_str()));
  image->load(name, package);
  return image;
}

}  // namespace KR
