#include "texture_dx8.h"

#include <algorithm>
#include <cstring>

#include "config_manager.h"
#include "dds_image.h"
#include "log_system.h"
#include "report_assert.h"

namespace KR {

using Platform::LockedRect;
using Platform::PixelFormat;
using Platform::RenderDevice;

namespace {

// Packed R, G, B, A rows into locked B, G, R, A rows.
void copySwappingRedBlue(const uint8_t* source, uint32_t sourcePixelsPerRow, uint32_t pixels, uint32_t rows,
                         const LockedRect& locked) {
  for (uint32_t y = 0; y < rows; ++y) {
    const uint8_t* in = source + static_cast<size_t>(sourcePixelsPerRow) * 4 * y;
    uint8_t* out = locked.bits + static_cast<size_t>(locked.pitch) * y;
    for (uint32_t x = 0; x < pixels; ++x, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
    }
  }
}

}  // namespace

Texture::Texture(const std::string& name, const std::string& package) { takeImage(loadImageFile(name, package)); }

Texture::Texture(Image* taken) { takeImage(taken); }

Texture::Texture(uint32_t w, uint32_t h, TextureUsage usage, TextureFormat format)
    : width(w), height(h), size(w * h * 4), mTextureUsage(usage), mTextureFormat(format) {}

Texture::~Texture() { delete image; }

void Texture::takeImage(Image* taken) {
  mTextureFormat = TF_A8R8G8B8;
  mTextureUsage = TU_DEFAULT;
  image = taken;
  imageData = image ? image->getData() : nullptr;
  width = image ? image->getWidth() : 0;
  height = image ? image->getHeight() : 0;
  size = image ? image->getDataSize() : 0;
  // Read once here, on the thread that decoded the picture: whether a sprite
  // of it hides everything beneath it.
  mOpaque = false;
  if (imageData && image->format == IF_RGBX) {
    mOpaque = true;
  } else if (imageData && image->format == IF_RGBA && size >= 4) {
    uint8_t all = 0xFF;
    for (uint32_t i = 3; i < size; i += 4) all &= imageData[i];
    mOpaque = all == 0xFF;
  }
}

void Texture::dropImage() {
  delete image;
  image = nullptr;
  imageData = nullptr;
}

PixelFormat Texture::toD3DFormat(uint32_t format) {
  switch (format) {
    case TF_BACK_BUFFER: {
      RenderDevice* device = RenderDevice::current();
      if (!device) KR_FATAL("Failed to get back buffer");
      return device->displayFormat();
    }
    case TF_A8R8G8B8: return PixelFormat::A8R8G8B8;
    case TF_X8R8G8B8: return PixelFormat::X8R8G8B8;
    case TF_A8L8: return PixelFormat::A8L8;
    case TF_L8: return PixelFormat::L8;
    default: KR_FATAL("Unknow texture format");
  }
}

bool Texture::create() {
  if (mHandle) return true;
  RenderDevice* device = RenderDevice::current();
  if (!device) return false;
  // A picture that its loader refused has nothing to show.
  if (image && !imageData) return false;

  PixelFormat format;
  const uint32_t imageFormat = image ? image->format : IF_UNKNOWN;
  if (image && (imageFormat == IF_RGBX || imageFormat == IF_RGBA)) {
    format = PixelFormat::A8R8G8B8;
    mTextureFormat = TF_A8R8G8B8;
  } else if (image && imageFormat == IF_DXT5) {
    format = PixelFormat::DXT5;
    mTextureFormat = TF_A8R8G8B8;
  } else if (image) {
    // The loaders hand over no other kind with pixels.
    return false;
  } else {
    format = toD3DFormat(mTextureFormat);
  }

  mHandle = device->createTexture(width, height, format, Platform::TextureUsage::Managed);
  if (!mHandle) return false;

  if (image) {
    LockedRect locked;
    if (!device->lockTexture(mHandle, locked, true)) KR_FATAL("Failed to lock dx8 teture");
    if (format == PixelFormat::A8R8G8B8) {
      // The loaders produce packed rows of 4-byte pixels.
      if (static_cast<uint64_t>(width) * height * 4 <= size)
        copySwappingRedBlue(imageData, width, width, height, locked);
    } else {
      // The top level as stored, one row of blocks a pitch; the DDS loader
      // made sure the data holds it.
      const uint32_t blockRows = (height + 3) / 4;
      const uint32_t rowBytes = static_cast<uint32_t>(DDSImage::dxt5LevelSize(width, 4));
      if (static_cast<uint64_t>(rowBytes) * blockRows <= size)
        for (uint32_t row = 0; row < blockRows; ++row)
          std::memcpy(locked.bits + static_cast<size_t>(locked.pitch) * row,
                      imageData + static_cast<size_t>(rowBytes) * row, std::min(rowBytes, locked.pitch));
    }
    device->unlockTexture(mHandle);
  }
  processed = 1;
  dropImage();
  return true;
}

void Texture::update(const uint8_t* data, uint32_t imageFormat, uint32_t w, uint32_t h) {
  RenderDevice* device = RenderDevice::current();
  if (!mHandle || !device || !data) return;
  mOpaque = false;
  // Pictures of the texture's texel size go straight to the device, and only
  // their own rows: no copy of the whole texture is locked, and R, G, B, A
  // pictures are not swapped here.
  const bool redFirst = imageFormat == IF_RGBA || imageFormat == IF_RGBX;
  const uint32_t sourceBytes = imageFormat == IF_BGRA || redFirst  ? 4
                               : imageFormat == IF_LUMINANCE_ALPHA ? 2
                               : imageFormat == IF_LUMINANCE       ? 1
                                                                   : 0;
  if (sourceBytes != 0 && sourceBytes == Platform::bytesPerPixel(toD3DFormat(mTextureFormat)) &&
      device->updateTexture(mHandle, data, std::min(w, width), std::min(h, height), w * sourceBytes,
                            redFirst ? Platform::TexelOrder::RedFirst : Platform::TexelOrder::Locked))
    return;
  LockedRect locked;
  if (!device->lockTexture(mHandle, locked, false)) return;
  // The source rows are packed at their own width; only what fits the
  // texture is copied.
  const uint32_t rows = std::min(h, height);
  const uint32_t pixels = std::min(w, width);
  switch (imageFormat) {
    case IF_RGBX:
    case IF_RGBA: copySwappingRedBlue(data, w, pixels, rows, locked); break;
    case IF_BGRA:
      // Already in the locked memory's byte order.
      for (uint32_t y = 0; y < rows; ++y)
        std::memcpy(locked.bits + static_cast<size_t>(locked.pitch) * y, data + static_cast<size_t>(w) * 4 * y,
                    static_cast<size_t>(pixels) * 4);
      break;
    case IF_LUMINANCE_ALPHA:
      for (uint32_t y = 0; y < rows; ++y)
        std::memcpy(locked.bits + static_cast<size_t>(locked.pitch) * y, data + static_cast<size_t>(w) * 2 * y,
                    static_cast<size_t>(pixels) * 2);
      break;
    case IF_LUMINANCE:
      for (uint32_t y = 0; y < rows; ++y)
        std::memcpy(locked.bits + static_cast<size_t>(locked.pitch) * y, data + static_cast<size_t>(w) * y, pixels);
      break;
    default: break;
  }
  device->unlockTexture(mHandle);
}

void Texture::reset() {
  if (mTextureUsage == TU_DEFAULT) return;
  log("Texture::reset() mTextureUsage %i mTextureFormat %i mHandle %p", static_cast<int>(mTextureUsage),
      static_cast<int>(mTextureFormat), static_cast<void*>(mHandle));
  destroy();
  processed = 1;
  RenderDevice* device = RenderDevice::current();
  if (width == 0 || height == 0) {
    // As large as both the design resolution and the device viewport allow.
    uint32_t resolutionWidth = 0;
    uint32_t resolutionHeight = 0;
    if (ConfigManager::exists() && ConfigManager::getInstance()->getCurrentPlatform()) {
      const PlatformConfig* platform = ConfigManager::getInstance()->getCurrentPlatform();
      resolutionWidth = static_cast<uint32_t>(std::max(0, platform->resolutionWidth));
      resolutionHeight = static_cast<uint32_t>(std::max(0, platform->resolutionHeight));
    }
    const Platform::Viewport viewport = device ? device->viewport() : Platform::Viewport();
    width = std::min(resolutionWidth, viewport.width);
    height = std::min(resolutionHeight, viewport.height);
    size = width * height * 4;
  }
  if (mTextureUsage != TU_RENDER_TEXTURE)
    KR_FATAL("ERROR: There is no implementation for creating texture with specified usage type");
  log("Create texture TU_RENDER_TEXTURE size (%i, %i)", static_cast<int>(width), static_cast<int>(height));
  if (device)
    mHandle = device->createTexture(width, height, toD3DFormat(mTextureFormat), Platform::TextureUsage::RenderTarget);
  // A target without alpha reads as opaque whatever is drawn into it.
  mOpaque = mHandle && device->textureFormat(mHandle) == Platform::PixelFormat::X8R8G8B8;
  log("mHandle %p", static_cast<void*>(mHandle));
}

void Texture::destroy() {
  logVerbose("Texture::destroy() mTextureUsage %i mTextureFormat %i mHandle %p", static_cast<int>(mTextureUsage),
             static_cast<int>(mTextureFormat), static_cast<void*>(mHandle));
  dropImage();
  if (mHandle) {
    if (RenderDevice* device = RenderDevice::current()) device->releaseTexture(mHandle);
    mHandle = nullptr;
  }
}

}  // namespace KR
