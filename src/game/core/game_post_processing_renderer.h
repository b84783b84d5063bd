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
#include <cstdint>

#include "shader_program.h"
#include "singleton.h"

namespace KR {
class RenderTarget;
}

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

class GamePostProcessingRenderer : public KR::Singleton<GamePostProcessingRenderer> {
 public:
  GamePostProcessingRenderer();
  ~GamePostProcessingRenderer() override;

  void loadShaders() { blur.load(); }
  // Releases the shader program through the render system.
  void releaseShaders() { blur.release(); }
  // Redirects drawing into a cleared half-size target; 0 when redirected,
  // 1 when no target could be had (drawing stays where it was).
  int beginBlur(float strength);
  // Blurs the redirected picture and draws it to the scene at the design size.
  void endBlur();
  bool isBlurring() const { return target != nullptr; }
  bool isShaderReady() const { return blur.isReady(); }

 private:
  // The target's picture at the origin, design size.
  void drawTarget(KR::RenderTarget* source);
  // The four passes between two targets of one size; source ends holding the
  // result. texelScale: the offsets' reach in this target's texels per texel
  // of a half-size picture; shift: where each pass draws its sprite.
  void runPasses(KR::RenderTarget*& source, KR::RenderTarget*& other, float texelScale, float shift);

  BlurPostProcessing blur;
  KR::RenderTarget* target = nullptr;
};

}  // namespace HOG
