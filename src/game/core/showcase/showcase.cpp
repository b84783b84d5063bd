#include "core/showcase/showcase.h"

#include <cmath>

#include "core/game_application.h"
#include "core/showcase/showcase_animation_page.h"
#include "core/showcase/showcase_controls_page.h"
#include "core/showcase/showcase_distortion_page.h"
#include "core/showcase/showcase_font_page.h"
#include "core/showcase/showcase_image_page.h"
#include "core/showcase/showcase_particles_page.h"
#include "core/showcase/showcase_scene_files_page.h"
#include "core/showcase/showcase_scene_graph_page.h"
#include "core/showcase/showcase_scene_lists_page.h"
#include "core/showcase/showcase_sound_page.h"
#include "core/showcase/showcase_sprite_page.h"
#include "core/showcase/showcase_video_page.h"
#include "core/showcase/showcase_widgets_page.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace HOG {

Showcase::Showcase() {
  addPage(std::make_unique<ClearFramePage>());
  addPage(std::make_unique<SoundShowcasePage>());
  addPage(std::make_unique<ImageShowcasePage>());
  addPage(std::make_unique<SpriteShowcasePage>());
  addPage(std::make_unique<AnimationShowcasePage>());
  addPage(std::make_unique<FontShowcasePage>());
  addPage(std::make_unique<DistortionShowcasePage>());
  addPage(std::make_unique<VideoShowcasePage>());
  addPage(std::make_unique<WidgetsShowcasePage>());
  addPage(std::make_unique<ControlsShowcasePage>());
  addPage(std::make_unique<SceneListsShowcasePage>());
  addPage(std::make_unique<SceneGraphShowcasePage>());
  addPage(std::make_unique<ParticleShowcasePage>());
  addPage(std::make_unique<SceneFilesShowcasePage>());
}

void ShowcasePage::presentColour(GameApplication& application, float r, float g, float b) {
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr();
  KR::SpriteManager<KR::Sprite>* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr();
  if (!renderSystem || !renderSystem->getDevice() || !sprites) {
    if (application.windowInfo && application.windowInfo->window) application.windowInfo->window->presentClear(r, g, b);
    return;
  }
  KR::Sprite* backdrop = sprites->createSpriteFromTextureObject(nullptr);
  backdrop->setSize(
      KR::Vector2<float>(float(KR::RenderSystem::getDesignWidth()), float(KR::RenderSystem::getDesignHeight())));
  backdrop->setMeshColor(KR::Color::fromFloats(r, g, b, 1.0f));
  renderSystem->checkDeviceLost();
  backdrop->updateVertices();
  backdrop->render();
  renderSystem->renderFrame();
  renderSystem->present();
  sprites->destroySprite(backdrop);
}

void ShowcasePage::presentPage(GameApplication& application, bool loaded, const std::function<void()>& draw) {
  if (!loaded) {
    presentColour(application, 0.1f, 0.1f, 0.12f);
    return;
  }
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstance();
  renderSystem->checkDeviceLost();
  draw();
  renderSystem->renderFrame();
  renderSystem->present();
}

void Showcase::addPage(std::unique_ptr<ShowcasePage> page) { pages.push_back(std::move(page)); }

void Showcase::showPage(GameApplication& application, size_t index) {
  if (pages.empty()) return;
  const size_t next = index % pages.size();
  if (next != current) pages[current]->leave();
  current = next;
  shownTitle = pages[current]->title();
  if (application.windowInfo && application.windowInfo->window) {
    application.windowInfo->window->setTitle(KR::formatString("%s - %u/%u: %s (P: play)", application.name.c_str(),
                                                              unsigned(current + 1), unsigned(pages.size()),
                                                              shownTitle.c_str()));
  }
}

void Showcase::update(GameApplication& application, float dt) {
  if (pages.empty()) return;
  if (KR::InputManager::exists()) {
    KR::KeyboardDevice* keyboard = KR::InputManager::getInstance()->getKeyboardDevice();
    if (keyboard->wentDown(KR::Platform::kVkRight) || keyboard->wentDown(KR::Platform::kVkSpace))
      showPage(application, current + 1);
    else if (keyboard->wentDown(KR::Platform::kVkLeft))
      showPage(application, current + pages.size() - 1);
  }
  pages[current]->update(dt);
  // Pages whose title follows their state (counts) keep the title bar current.
  const std::string title = pages[current]->title();
  if (title != shownTitle) showPage(application, current);
}

void Showcase::render(GameApplication& application) {
  if (!pages.empty()) pages[current]->render(application);
}

void ClearFramePage::render(GameApplication& application) {
  const float phase = time * 0.5f;
  presentColour(application, 0.15f + 0.1f * std::sin(phase), 0.12f + 0.08f * std::sin(phase + 2.1f),
                0.2f + 0.1f * std::sin(phase + 4.2f));
}

}  // namespace HOG
