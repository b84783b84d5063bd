#include "core/showcase/showcase_scene_files_page.h"

#include <cmath>

#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_render.h"
#include "core/game_application.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "particle_system.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace HOG {

namespace {

const char* const kMarkers[3] = {"spin", "walk", "type"};

}  // namespace

SceneFilesShowcasePage::~SceneFilesShowcasePage() { release(); }

void SceneFilesShowcasePage::release() {
  if (!loaded) return;
  loaded = false;
  scene.reset();
  if (KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr()) {
    fonts->releaseFont(caption.font);
    caption.font = nullptr;
  }
}

bool SceneFilesShowcasePage::load() {
  if (loaded) return true;
  KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr();
  if (!KR::SpriteManager<KR::Sprite>::exists() || !fonts || !KR::TextureManager::exists() ||
      !KR::RenderSystem::exists() || !loadScene())
    return false;
  loaded = true;
  fonts->loadFontPreset("font_presets_lua", "caption", &caption);
  return true;
}

bool SceneFilesShowcasePage::loadScene() {
  scene.reset(AE::loadScene(kSceneFile));
  if (!scene) {
    status = KR::formatString("cannot load '%s'", kSceneFile);
    return false;
  }
  for (AE::Marker* marker : scene->mMarkers) marker->addListener(this);
  time = 0.0f;
  cycle = 0;
  scene->play(true);
  restartCameras();
  scene->update(0.0f);
  return true;
}

void SceneFilesShowcasePage::restartCameras() {
  // Every cycle the cameras take turns again from frame 0.
  for (const char* name : {"camera_b", "camera_a"}) {
    if (AE::ISceneNode* camera = AE::ISceneNode::findChild(name, scene.get())) camera->setTime(0.0f, false);
  }
}

int SceneFilesShowcasePage::getFrame() const { return int(std::floor(time * 24.0f + 0.001f)); }

void SceneFilesShowcasePage::update(float dt) {
  if (KR::InputManager::exists()) {
    KR::KeyboardDevice* keyboard = KR::InputManager::getInstance()->getKeyboardDevice();
    for (int i = 0; i < 3; ++i) {
      if (keyboard->wentDown(uint32_t('1' + i))) playMarker(i);
    }
    if (keyboard->wentDown(KR::Platform::kVkReturn)) reload();
  }
  advance(dt);
}

void SceneFilesShowcasePage::advance(float dt) {
  if (!load()) return;
  time += dt;
  const int nowCycle = getFrame() / kCycleFrames;
  if (nowCycle != cycle) {
    cycle = nowCycle;
    restartCameras();
  }
  scene->update(dt);
}

void SceneFilesShowcasePage::playMarker(int index) {
  if (!load() || index < 0 || index > 2) return;
  if (AE::Marker* marker = scene->getMarker(kMarkers[index])) {
    marker->play();
    status = KR::formatString("marker '%s' playing", kMarkers[index]);
  }
}

void SceneFilesShowcasePage::onMarker(AE::Marker* marker) {
  status = KR::formatString("marker '%s' complete", marker->mName.c_str());
}

void SceneFilesShowcasePage::reload() {
  if (!load()) return;
  scene.reset();
  if (!loadScene()) return;
  ++reloads;
  KR::ParticleSystem* particles = KR::ParticleSystem::getInstancePtr();
  status = KR::formatString("reloaded %d times: %d loaded scenes, %d pooled effects", reloads,
                            int(AE::getLoadedSceneCount()), particles ? int(particles->getPoolSize()) : 0);
}

void SceneFilesShowcasePage::draw() {
  if (!load()) return;
  AE::renderScene(scene.get());
  if (caption.font) {
    caption.font->color = caption.color;
    const AE::ISceneNode* active = scene->getActiveCamera();
    const std::string line =
        KR::formatString("frame %d of %d, camera %s.  Keys 1-3: markers spin, walk, type.  Enter: reload.",
                         getFrame() % kCycleFrames, kCycleFrames, active ? active->mName.c_str() : "none");
    caption.font->drawString(KR::Rect(), KR::Vector2<float>(40.0f, 712.0f), line, false, 0, 0, 0.0f, 0.0f, false,
                             944.0f, 30.0f);
  }
}

void SceneFilesShowcasePage::render(GameApplication& application) {
  if (status != shownStatus && application.windowInfo && application.windowInfo->window) {
    shownStatus = status;
    application.windowInfo->window->setTitle(
        KR::formatString("%s - scene files: %s", application.name.c_str(), status.c_str()));
  }
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
