#pragma once
// The play state's screen effect: the background blur behind a close-up view.
// The views beneath the close-up are drawn into a half-size off-screen target
// (beginBlur); endBlur copies that picture down to half its size again, blurs
// the copy in four passes alternating between horizontal and vertical, with
// offsets proportional to the strength (their reach in design pixels that of
// passes over the half-size picture), and draws it back at the design size. Without its shaders the picture is drawn
// back unblurred. Main thread only (GL).
//
//   if (renderer->beginBlur(0.5f * blurAmount) == 0) {
//     ... draw the views beneath the close-up ...
//     renderer->endBlur();
//   }
//
// A blurred picture may be kept for later frames under a key that sums up
// everything drawn into it: while the key stays the same, drawKeptPicture
// puts the same pixels on the scene without drawing or blurring anything.
//
//   if (!renderer->drawKeptPicture(key) && renderer->beginBlur(strength) == 0) {
//     renderer->keepNextPicture(key);
//     ... draw the views beneath the close-up ...
//     renderer->endBlur();
//   }
//
// The kept picture holds one render target slot until it is dropped, a new
// blur begins, or the device is reset (its pixels are gone then).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "notification.h"
#include "shader_program.h"
#include "singleton.h"

namespace KR {
class Rect;
class RenderTarget;
class Sprite;
class UIFont;
}  // namespace KR

namespace HOG {

class PostProcessing {
 public:
  virtual ~PostProcessing() = default;
};

class BlurPostProcessing : public PostProcessing {
 public:
  // "blur_ps", then, when it loaded, "blur_vs"; ready only with both.
  bool load();
  void release();
  bool isReady() const { return program.mReady; }

  KR::ShaderProgram program;
  uint32_t strengthRegister = 0;   // pixel constant
  uint32_t transformRegister = 0;  // vertex constants, four rows
  uint32_t offsetRegister = 0;     // vertex constant: one tap's offset
  float strength = 0.0f;
};

// A 64-bit FNV-1a sum of the values a picture is drawn from. Values are
// added by their bytes, so two floats that compare equal but differ in their
// bits (0 and -0) count as a change, which only costs a new blur.
class PictureKey {
 public:
  void addBytes(const void* data, size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < count; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
  }
  template <typename T>
  void add(const T& v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    addBytes(bytes, sizeof(T));
  }
  // What a sprite draws from: its texture (and whether the device texture is
  // made yet), grid, texture coordinates, the vertices and colours its last
  // placement left, clipping, mirrors and blend mode.
  void addSprite(const KR::Sprite* sprite);
  // What a font draws with besides the caller's text and style: its spacing,
  // the window's scale (which picks the level and snaps glyphs) and each
  // level's sprite, made on the level's first draw, with its texture.
  void addFont(const KR::UIFont* font);
  uint64_t get() const { return value; }

 private:
  uint64_t value = 14695981039346656037ull;
};

class GamePostProcessingRenderer : public KR::Singleton<GamePostProcessingRenderer>, public KR::NotificationListener {
 public:
  // Listens for device resets through the engine's dispatcher when there is one.
  GamePostProcessingRenderer();
  ~GamePostProcessingRenderer() override;

  void loadShaders() { blur.load(); }
  // Releases the shader program (and any kept picture) through the render system.
  void releaseShaders() {
    dropKeptPicture();
    blur.release();
  }
  // Redirects drawing into a cleared half-size target; 0 when redirected,
  // 1 when no target could be had (drawing stays where it was). Drops the
  // kept picture.
  int beginBlur(float strength);
  // Blurs the redirected picture and draws it to the scene at the design size.
  void endBlur();
  bool isBlurring() const { return target != nullptr; }
  bool isShaderReady() const { return blur.isReady(); }

  // The blur now open is kept under the key once endBlur has drawn it.
  void keepNextPicture(uint64_t key);
  // The blur now open is not kept after all (something drawn into it may not
  // show next time the key matches).
  void forgetNextPicture() { keepingNext = false; }
  // Draws the kept picture to the current target at the design size when it
  // was kept under this key; false (nothing drawn) otherwise. hidden: a
  // rectangle of the design area (no camera in force) that what is drawn next
  // covers with opaque pixels clipped to it; those pixels are left out.
  bool drawKeptPicture(uint64_t key, const KR::Rect* hidden = nullptr);
  bool hasKeptPicture() const { return kept != nullptr; }
  void dropKeptPicture();

  // KR::NotificationListener: a device reset loses the kept picture's pixels.
  void onNotification(const KR::Notification& notification) override;

 private:
  // The target's picture at the origin, design size.
  void drawTarget(KR::RenderTarget* source);
  // The four passes between two targets of one size; source ends holding the
  // result. texelScale: the offsets' reach in this target's texels per texel
  // of a half-size picture; shift: where each pass draws its sprite.
  void runPasses(KR::RenderTarget*& source, KR::RenderTarget*& other, float texelScale, float shift);
  // The finished picture becomes the kept one when keepNextPicture asked for it.
  void keepOrRelease(KR::RenderTarget* picture);

  BlurPostProcessing blur;
  KR::RenderTarget* target = nullptr;
  KR::RenderTarget* kept = nullptr;
  uint64_t keptKey = 0;
  uint64_t nextKey = 0;
  bool keepingNext = false;
  bool listening = false;
};

}  // namespace HOG
