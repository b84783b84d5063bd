#pragma once
// One device texture shared by every sprite, font and widget that shows the
// same picture. Textures are made and owned by KR::TextureManager; a texture
// built from a picture holds the decoded image until the main thread's
// pending pass has made the device texture and copied the pixels into it.
//
// Users read width, height and mHandle directly, raise the reference count
// through TextureManager::addReference when they attach the texture and give
// it back with TextureManager::releaseTexture.
#include <cstdint>
#include <string>

#include "image.h"
#include "platform/render_device.h"

namespace KR {

enum TextureUsage : uint32_t {
  TU_DEFAULT = 0,         // a managed texture made from a picture or left empty
  TU_RENDER_TEXTURE = 1,  // a render target, remade after every device reset
};

enum TextureFormat : uint32_t {
  TF_BACK_BUFFER = 0,  // the format of the device's back buffer
  TF_A8R8G8B8 = 1,
  TF_X8R8G8B8 = 2,
  TF_A8L8 = 3,
  TF_L8 = 4,
};

class Texture {
 public:
  // Builds from a content file: probes PNG, DDS, then KRT and decodes the
  // picture on the calling thread ("Failed to load image" when no loader
  // knows the file). The device texture comes later, from create().
  Texture(const std::string& name, const std::string& package);
  // Builds from an already decoded image, which the texture then owns.
  explicit Texture(Image* image);
  // A texture without a picture (render targets, empty textures).
  Texture(uint32_t width, uint32_t height, TextureUsage usage, TextureFormat format);
  ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // The device format of a texture format; TF_BACK_BUFFER asks the device
  // ("Failed to get back buffer" without one), an unknown code is the fatal
  // error "Unknow texture format".
  static Platform::PixelFormat toD3DFormat(uint32_t format);

  // Main thread. Makes the device texture (one level, managed) and copies the
  // held image into it; the image is then deleted and the texture marked
  // processed. Returns false, leaving the texture unprocessed, when the device
  // texture cannot be made or the image holds no pixels.
  bool create();
  // Main thread. Copies new pixels (IF_RGBX, IF_RGBA, IF_BGRA,
  // IF_LUMINANCE_ALPHA or IF_LUMINANCE rows packed at the given width;
  // IF_BGRA only into four-byte textures) into the existing device
  // texture, clipped to its size.
  void update(const uint8_t* data, uint32_t imageFormat, uint32_t width, uint32_t height);
  // Main thread. Remakes a render target (after a device reset); nothing for
  // managed textures.
  void reset();
  // Main thread. Releases the device texture and deletes any image still held.
  void destroy();
  // Deletes the held image without touching the device (any thread).
  void dropImage();

  uint32_t getWidth() const { return width; }
  uint32_t getHeight() const { return height; }
  int32_t getReferenceCount() const { return referenceCount; }
  bool isProcessed() const { return processed != 0; }
  const Image* getImage() const { return image; }

  Platform::DeviceTexture* mHandle = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  // Bytes: the image's data size, or width x height x 4 without a picture.
  uint32_t size = 0;
  // Changed only by TextureManager under its index lock.
  int32_t referenceCount = 0;
  Image* image = nullptr;
  uint8_t* imageData = nullptr;
  uint8_t processed = 0;
  uint32_t mTextureUsage = TU_DEFAULT;
  uint32_t mTextureFormat = TF_A8R8G8B8;
  // Every texel reads as opaque: the picture it was made from had alpha 255
  // throughout (false once other pixels are copied in), or it is a render
  // target without alpha.
  bool mOpaque = false;

 private:
  void takeImage(Image* taken);
};

}  // namespace KR
