#include "png_image.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"

namespace KR {

namespace {

constexpr size_t kSignatureSize = 8;
// Deflate cannot expand one input byte into more than 1032 output bytes; a
// header that promises more rows than the rest of the file could hold is
// refused before its buffer is allocated.
constexpr uint64_t kMaxDeflateRatio = 1032;
constexpr uint64_t kDeflateSlack = 4096;
// Ancillary chunks that do not change the pixels. They are skipped unread:
// libpng would otherwise allocate whatever a damaged length field asks for.
const png_byte kIgnoredChunks[] =
    "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
    "sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
constexpr int kIgnoredChunkCount = 17;

struct PngReadContext {
  ImageSource* source;
  size_t position;
  std::string* error;
};

// libpng's read function: the requested bytes from the stream; a short read is
// a libpng error, so nothing past the data is ever decoded.
void pngReadCallback(png_structp png, png_bytep bytes, png_size_t length) {
  PngReadContext* context = static_cast<PngReadContext*>(png_get_io_ptr(png));
  if (!context->source->readExact(bytes, length)) png_error(png, "unexpected end of data");
  context->position += length;
}

void pngErrorCallback(png_structp png, png_const_charp message) {
  PngReadContext* context = static_cast<PngReadContext*>(png_get_error_ptr(png));
  if (context && context->error) *context->error = message ? message : "libpng error";
  png_longjmp(png, 1);
}

void pngWarningCallback(png_structp, png_const_charp) {}

uint32_t nextPowerOfTwo(uint32_t value) {
  uint32_t result = 1;
  while (result < value) result <<= 1;
  return result;
}

}  // namespace

PngImage::~PngImage() { clear(); }

void PngImage::clear() {
  if (ownsData) std::free(data);
  data = nullptr;
  ownsData = false;
  width = height = dataSize = pitch = 0;
  decodedWidth = decodedHeight = 0;
  format = IF_UNKNOWN;
}

bool PngImage::isPngFile(const std::string& name, const std::string& package) {
  uint8_t signature[kSignatureSize];
  if (!readImageSignature(name, package, signature, kSignatureSize)) return false;
  return png_sig_cmp(signature, 0, kSignatureSize) == 0;
}

void PngImage::load(const std::string& name, const std::string& package) {
  std::unique_ptr<File> file(openImageFile(name, package));
  FileImageSource source(file.get());
  if (!decode(source)) {
    std::string text =
        formatString("ERROR: PNG image '%s' in package '%s': %s", name.c_str(), package.c_str(), lastError.c_str());
    log("%s", text.c_str());
    KR_FATAL(text);
  }
}

bool PngImage::loadFromMemory(const void* bytes, size_t size) {
  MemoryImageSource source(bytes, size);
  return decode(source);
}

// Everything between setjmp and the end of decoding uses plain C data only, so
// that libpng's error jump skips no destructor.
bool PngImage::decode(ImageSource& source) {
  clear();
  lastError.clear();

  png_byte signature[kSignatureSize];
  if (!source.readExact(signature, kSignatureSize) || png_sig_cmp(signature, 0, kSignatureSize) != 0) {
    lastError = "not a PNG file";
    return false;
  }

  PngReadContext context{&source, kSignatureSize, &lastError};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, pngErrorCallback, pngWarningCallback);
  if (!png) {
    lastError = "cannot create the PNG read structure";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  png_infop endInfo = png_create_info_struct(png);
  if (!info || !endInfo) {
    png_destroy_read_struct(&png, info ? &info : nullptr, endInfo ? &endInfo : nullptr);
    lastError = "cannot create the PNG information structures";
    return false;
  }

  uint8_t* volatile pixels = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    std::free(rows);
    std::free(pixels);
    png_destroy_read_struct(&png, &info, &endInfo);
    if (lastError.empty()) lastError = "libpng error";
    return false;
  }

  png_set_read_fn(png, &context, pngReadCallback);
  png_set_sig_bytes(png, kSignatureSize);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, kIgnoredChunkCount);
  png_read_info(png, info);

  png_uint_32 pngWidth = 0;
  png_uint_32 pngHeight = 0;
  int bitDepth = 0;
  int colorType = 0;
  int interlace = 0;
  png_get_IHDR(png, info, &pngWidth, &pngHeight, &bitDepth, &colorType, &interlace, nullptr, nullptr);

  // The image data as stored: one filter byte and the packed row a line.
  uint64_t storedBytes = static_cast<uint64_t>(pngHeight) * (png_get_rowbytes(png, info) + 1);
  if (storedBytes > static_cast<uint64_t>(source.remaining()) * kMaxDeflateRatio + kDeflateSlack)
    png_error(png, "image data cannot fit in the file");

  const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (bitDepth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTransparency) png_set_tRNS_to_alpha(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  const bool hasAlpha = hasTransparency || (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  if (!hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  if (interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const png_size_t rowBytes = png_get_rowbytes(png, info);
  if (rowBytes != static_cast<png_size_t>(pngWidth) * 4) png_error(png, "unexpected row size after transforms");

  const size_t total = rowBytes * pngHeight;
  pixels = static_cast<uint8_t*>(std::malloc(total));
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * pngHeight));
  if (!pixels || !rows) png_error(png, "out of memory");
  for (png_uint_32 y = 0; y < pngHeight; ++y) rows[y] = pixels + rowBytes * y;
  png_read_image(png, rows);
  png_read_end(png, endInfo);

  std::free(rows);
  png_destroy_read_struct(&png, &info, &endInfo);

  data = pixels;
  ownsData = true;
  width = decodedWidth = pngWidth;
  height = decodedHeight = pngHeight;
  pitch = static_cast<uint32_t>(rowBytes);
  dataSize = static_cast<uint32_t>(total);
  format = (colorType == PNG_COLOR_TYPE_RGB && !hasTransparency) ? IF_RGBX : IF_RGBA;
  return true;
}

int PngImage::padToPowerOfTwo() {
  if (!ownsData || !data || format != IF_RGBA) return 1;
  const uint32_t newWidth = nextPowerOfTwo(width);
  const uint32_t newHeight = nextPowerOfTwo(height);
  const size_t newPitch = static_cast<size_t>(newWidth) * 4;
  const size_t newSize = newPitch * newHeight;
  uint8_t* padded = static_cast<uint8_t*>(std::calloc(newSize, 1));
  if (!padded) throw std::bad_alloc();
  for (uint32_t y = 0; y < height; ++y)
    std::memcpy(padded + newPitch * y, data + static_cast<size_t>(pitch) * y, pitch);
  std::free(data);
  data = padded;
  width = newWidth;
  height = newHeight;
  pitch = static_cast<uint32_t>(newPitch);
  dataSize = static_cast<uint32_t>(newSize);
  return 0;
}

}  // namespace KR
