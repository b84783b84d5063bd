#include "video_surface_shader.h"

namespace KR {

// The render system's shader programs are not available in this build: every
// surface converts its frames on the CPU.
struct VideoShaderProgram::Parts {};

VideoShaderProgram* VideoShaderProgram::load() { return nullptr; }

VideoShaderProgram::~VideoShaderProgram() { delete parts; }

void VideoShaderProgram::drawPicture(Sprite*, Texture*, unsigned) {}

}  // namespace KR
