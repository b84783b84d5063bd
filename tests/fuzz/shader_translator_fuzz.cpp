// Shader files are content: whatever the text, translating it must end in
// GLSL or in a message naming a line, never in a crash or an over-read, and
// what it produces must stay in proportion to what it was given.
//
// The input's first byte picks the stage (even: pixel shader, odd: vertex
// shader with the game's declaration); the rest is the assembler text.
//
// Built with KR_SEED_WRITER the same file is the tool that writes the seed
// corpus: `shader_translator_seeds <folder> [shader files...]` (the content's
// shader files are copied in as pixel or vertex seeds by their extension).
#include <cstdint>
#include <cstdio>
#include <string>

#ifdef KR_SEED_WRITER

#include <fstream>
#include <sstream>

namespace {

struct Seed {
  char stage;  // 'p' or 'v'
  const char* text;
};

const Seed kSeeds[] = {
    // The displacement shader, as the render system builds it.
    {'p',
     "ps.1.4;\ndef c0, 0.15f, 0.15f, 1.0f, 1.0f;\ndef c1, 0.498039f, 0.498039f, 0.0f, 0.0f;\n"
     "texcrd r2.xyz, t0;\ntexld r1, t0;\nmov r2.w, r2.x;\nsub r1, r1, c1;\nmul r1, r1, c0;\n"
     "add r1, r1, r2;\nphase\ntexld r0, r1;\n"},
    // Every ps.1.1 - 1.3 road: texture instructions, modifiers, co-issue.
    {'p',
     "ps.1.3\ndef c0, -1, 0.5, 1e-3, .25f\ntex t0\ntexcoord t1\ntexkill t2\ntex t3\n"
     "mad_x2_sat r0, t0_bx2, -t1_bias, 1-v0\nlrp r1, c0.a, r0, v1\ndp3_d2 r1.rgb, r1, t3\n"
     "+cmp r1.a, r1.b, t0, c0\ncnd r0, r0.a, r1, t1\ndp4_x4 r0, r0, c7\n"},
    {'p',
     "PS_1_4 /* block\ncomment */\ntexld r0, t0_dz\ntexcrd r1.xy, t1.xyw\ntexkill t2\n"
     "mul_x8 r2, r0_x2, r1.g\nphase\ntexld r3, r2_dw\ntexkill r1\nmad_d8 r0.ga, v0, r3, c7 // end\n"},
    // vs.1.1: every instruction and output.
    {'v',
     "vs.1.1\ndef c90, 1, 2, 3, 4\nm4x4 oPos, v0, c0\nmov oD0, v2.zyxw\nadd oD1, -c4, c5\n"
     "sub r0, v3, c6\nmul r1, r0, c7.x\nmad oT0, r1, c8, v3\ndp3 r2.x, v0, c9\ndp4 r2.y, v0, c10\n"
     "rcp r2.z, r2.x\nmov oT7.xy, r2\nm4x4 r11, v1, c92\nmov oT3, r11\n"},
    // Text it must refuse.
    {'p', "ps.1.1\nmov r0, r1\n"},
    {'p', "vs.1.1\nmov oPos, v0\n"},
    {'v', "ps.1.4\ntexld r0, t0\n"},
    {'p', "ps.1.4\nphase\nphase\nmov r0, v0\n"},
    {'p', "ps.1.1\ndef c0, 1e39, nan, inf, 0x10\nmov r0, c0\n"},
    {'p', "ps.1.1\nmov r0, v0 /* never closed\n"},
    {'p', "ps.1.4\nmov r0.xyzwx, -1--v0_bx2_bias..x\n+\n+mov\n,,,\n"},
    {'v', "vs.1.1\nm4x4 oPos, v0, c95\nmov oPos, a0.x\nmov oFog, v0\n"},
    {'p', ""},
};

bool writeSeed(const std::string& path, char stage, const std::string& text) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fputc(stage == 'v' ? 1 : 0, out);
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <seed folder> [shader files...]\n", argv[0]);
    return 1;
  }
  const std::string folder = argv[1];
  int index = 0;
  for (const Seed& seed : kSeeds)
    if (!writeSeed(folder + "/seed" + std::to_string(index++) + ".txt", seed.stage, seed.text)) return 1;
  for (int i = 2; i < argc; ++i) {
    const std::string file = argv[i];
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const char stage = file.size() > 4 && file.compare(file.size() - 4, 4, ".vsh") == 0 ? 'v' : 'p';
    if (!writeSeed(folder + "/seed" + std::to_string(index++) + ".txt", stage, text.str())) return 1;
  }
  return 0;
}

#else

#include <cstdlib>

#include "platform/shader_translator.h"

using namespace KR::Platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool vertex = (data[0] & 1) != 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  VertexInputs inputs;
  inputs.reg[0] = VertexInput::Position;
  inputs.reg[1] = VertexInput::Normal;
  inputs.reg[2] = VertexInput::Diffuse;
  inputs.reg[3] = VertexInput::TexCoord0;
  TranslatedShader out;
  std::string error;
  const bool ok = vertex ? translateVertexShader(text, inputs, out, error) : translatePixelShader(text, out, error);
  if (ok) {
    // GLSL of a stage, bounded by the instruction limits whatever the text's size.
    if (out.glsl.compare(0, 17, "#version 330 core") != 0 || out.glsl.size() > 64 * 1024 || !error.empty())
      std::abort();
  } else {
    if (error.compare(0, 5, "line ") != 0 || error.size() > text.size() + 256) std::abort();
  }
  return 0;
}

#endif
