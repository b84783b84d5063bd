// The view descriptions and the neighbour list: whatever their bytes (the
// input is the views file, a zero byte, then the neighbour file), reading
// ends with views that keep at most 15 neighbours, names of at most 63
// characters and only trigger kinds the registry builds.
//
// The play state's services the views reach are there as in the game: the
// configuration (a close-up's height scales with the design height) and the
// file system, over an empty folder (a view extension's file is not found).
//
// Built with KR_SEED_WRITER the same file writes the seed corpus: a hall with
// one trigger of each kind, a close-up with its size, neighbours over the cap
// and a damaged file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef KR_SEED_WRITER

namespace {

const char kViews[] =
    "<root><views><v0><name v=\"hall\"/><id v=\"1\"/><size v0=\"1680\" v1=\"1050\"/><areaTriggers>"
    "<v0><type v=\"0\"/><triggerID v=\"1\"/><center v0=\"10\" v1=\"20\"/><size v0=\"30\" v1=\"40\"/></v0>"
    "<v1><type v=\"1\"/><triggerID v=\"2\"/><sceneObjectTriggerSceneNode v=\"stone\"/></v1>"
    "<v2><type v=\"2\"/><triggerID v=\"3\"/><targetLocation v=\"desk\"/><singleUse v=\"1\"/></v2>"
    "<v3><type v=\"3\"/><triggerID v=\"4\"/><itemTriggerItemName v=\"key\"/><itemTriggerDelay v=\"0.5\"/></v3>"
    "<v4><type v=\"5\"/><triggerID v=\"5\"/></v4></areaTriggers></v0>"
    "<v1><name v=\"desk\"/><id v=\"2\"/><type v=\"1\"/><position v0=\"400\" v1=\"200\"/>"
    "<size v0=\"800\" v1=\"600\"/>"
    "<CloseViewOnOutsideAreaClick v=\"1\"/><extensionName v=\"TestViewExtension\"/></v1></views></root>";
const char kNeighbours[] =
    "<root><views><v0><name v=\"hall\"/><neighbors><v0><name v=\"desk\"/></v0><v1><name v=\"desk\"/></v1>"
    "</neighbors></v0><v1><name v=\"ghost\"/></v1></views></root>";

}  // namespace

int main(int argc, char** argv) {
  const std::string whole = std::string(kViews) + '\0' + kNeighbours;
  std::string list;
  for (int i = 0; i < 17; ++i) list += "<v" + std::to_string(i) + "><name v=\"desk\"/></v" + std::to_string(i) + ">";
  const std::string many = "<root><views><v0><name v=\"hall\"/><neighbors>" + list + "</neighbors></v0></views></root>";
  const std::string overCap = std::string(kViews) + '\0' + many;
  const std::string damaged = std::string(kViews).substr(0, 200);
  const std::string seeds[] = {whole, overCap, damaged};
  // The seeds hold a zero byte, so they are written whole here.
  if (argc < 2) return 1;
  for (int i = 0; i < 3; ++i) {
    const std::string path = std::string(argv[1]) + "/seed" + std::to_string(i) + ".bin";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return 1;
    std::fwrite(seeds[i].data(), 1, seeds[i].size(), out);
    std::fclose(out);
  }
  return 0;
}

#else

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "config_manager.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "log_system.h"
#include "xml_data_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = new KR::LogSystem();
  (void)logSystem;
  static KR::EngineAllocators* allocators = [] {
    auto* made = new KR::EngineAllocators();
    made->init();
    return made;
  }();
  (void)allocators;
  static KR::ConfigManager* config = [] {
    auto* made = new KR::ConfigManager(KR::ConfigManager::NoLoad{});
    KR::PlatformConfig platform;
    platform.name = "pc";
    platform.resolutionWidth = 1680;
    platform.resolutionHeight = 1050;
    made->platforms.push_back(platform);
    made->currentPlatform = &made->platforms.back();
    made->currentLanguage = "en";
    return made;
  }();
  (void)config;
  static KR::FileSystem* fileSystem = [] {
    const std::string folder = "/tmp/kr_fuzz_views_" + std::to_string(getpid()) + "/";
    ::mkdir(folder.c_str(), 0700);
    KR::FileSystem::setContentFolder(folder);
    return new KR::FileSystem();
  }();
  (void)fileSystem;
  if (!data || !size) return 0;
  const char* bytes = reinterpret_cast<const char*>(data);
  const size_t split = strnlen(bytes, size);
  static HOG::ViewRegistry* registry = new HOG::ViewRegistry();
  registry->clear();
  {
    KR::XmlDataReader reader;
    if (reader.parse(bytes, split) == pugi::status_ok && reader.enterChild("views")) registry->parseViews(reader, 1.0f);
  }
  if (split + 1 < size) {
    KR::XmlDataReader reader;
    if (reader.parse(bytes + split + 1, size - split - 1) == pugi::status_ok && reader.enterChild("views"))
      registry->parseViewNeighbors(reader);
  }
  for (const HOG::View* view : registry->getViews()) {
    if (view->neighbourCount > HOG::View::kMaxNeighbours || strnlen(view->name, HOG::kNameSize) >= HOG::kNameSize)
      std::abort();
    for (const HOG::IBaseAreaTrigger* trigger : view->triggers)
      if (trigger->getType() < 0 || trigger->getType() > 5) std::abort();
  }
  return 0;
}

#endif
