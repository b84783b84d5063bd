#pragma once
// The "yuv2rgb" program of the video surfaces' shader path: luminance from
// texture stage 0, chroma (U as luminance, V as alpha) from stage 1, the
// chroma texture coordinates carried in the vertex colour's red and green, the
// view-projection in vertex constants c0 to c3.
namespace KR {

class Sprite;
class Texture;

class VideoShaderProgram {
 public:
  // Loads "yuv2rgb_ps" and "yuv2rgb_vs" from the package "default" through
  // the render system. Null when there is no device, either file is missing
  // or the device refuses it; the surface then converts on the CPU.
  static VideoShaderProgram* load();
  ~VideoShaderProgram();
  VideoShaderProgram(const VideoShaderProgram&) = delete;
  VideoShaderProgram& operator=(const VideoShaderProgram&) = delete;

  // Draws the luminance sprite with the chroma texture on stage 1 and the
  // program bound, then returns the device to the fixed pipeline.
  void drawPicture(Sprite* luminance, Texture* chroma, unsigned firstVertexConstant);

 private:
  VideoShaderProgram() = default;
  struct Parts;
  Parts* parts = nullptr;
};

}  // namespace KR
