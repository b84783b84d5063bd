// Feeds arbitrary bytes to the scene loader as a scene file (read from disk
// through the loose-file route), then runs the loaded tree once by 0 and once
// by one second. Effects, sounds and pictures are missing here: those objects
// take their failure paths.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "file_system.h"
#include "log_system.h"
#include "object_factory.h"
#include "particle_system.h"

namespace {

struct Services {
  KR::LogSystem log;
  // An empty file system: every package lookup misses.
  KR::FileSystem files;
  KR::ObjectFactory factory;
  KR::ParticleSystem particles;
  std::string path = "/tmp/kr_scene_loader_fuzz_" + std::to_string(getpid()) + ".xml";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  std::FILE* file = std::fopen(services.path.c_str(), "wb");
  if (!file) return 0;
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(services.path));
  std::remove(services.path.c_str());
  if (!scene) return 0;
  scene->play(true);
  scene->update(0.0f);
  scene->update(1.0f);
  return 0;
}
