// particle_maker <folder>
//
// Writes the demo particle effects ("<name>.xml" for each effect of
// demo_effects.h, through the engine's output archive) and the particle
// picture sheet "particle_sheet.png" into a folder.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "demo_effects.h"
#include "log_system.h"
#include "object_factory.h"
#include "particle_class_registry.h"
#include "particle_fx.h"

namespace {

bool writeFile(const std::string& path, const void* data, size_t size) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::fprintf(stderr, "particle_maker: cannot write %s\n", path.c_str());
    return false;
  }
  const bool ok = std::fwrite(data, 1, size, out) == size;
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: particle_maker <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  KR::LogSystem logSystem;
  KR::ObjectFactory factory;
  KR::registerParticleClasses(factory);
  for (const KR::Tools::DemoEffect& demo : KR::Tools::demoEffects()) {
    std::unique_ptr<KR::ParticleFX> effect(demo.make());
    const std::string text = KR::Tools::effectFileText(*effect);
    if (!writeFile(folder + "/" + demo.fileName + ".xml", text.data(), text.size())) return 1;
  }
  std::vector<uint8_t> png;
  std::string error;
  if (!KR::Tools::encodePngRgba(KR::Tools::makeParticleSheet(), png, error)) {
    std::fprintf(stderr, "particle_maker: %s\n", error.c_str());
    return 1;
  }
  return writeFile(folder + "/particle_sheet.png", png.data(), png.size()) ? 0 : 1;
}
