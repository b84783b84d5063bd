#include "core/showcase_video_page.h"

#include "color.h"
#include "core/game_application.h"
#include "font.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "video_player.h"

namespace HOG {

int VideoShowcasePage::play() {
  if (!KR::VideoPlayer::exists()) return 1;
  lastResult = KR::VideoPlayer::getInstance()->playMovie(kMovie);
  if (lastResult == 0) ++plays;
  return lastResult;
}

void VideoShowcasePage::update(float) {
  // The page's own update runs only while no movie is queued.
  if (!started) {
    started = true;
    play();
    return;
  }
  if (KR::InputManager::exists() &&
      KR::InputManager::getInstance()->getKeyboardDevice()->wentDown(KR::Platform::kVkReturn))
    play();
}

void VideoShowcasePage::render(GameApplication& application) {
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr();
  if (!renderSystem || !renderSystem->getDevice()) {
    if (application.windowInfo && application.windowInfo->window)
      application.windowInfo->window->presentClear(0.05f, 0.05f, 0.08f);
    return;
  }
  renderSystem->checkDeviceLost();
  if (KR::Font* font = application.systemFont) {
    const KR::Color white = KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f);
    font->drawText(KR::Vector2<float>(40.0f, 300.0f), "The intro movie has ended.", 1.0f, white);
    font->drawText(KR::Vector2<float>(40.0f, 330.0f), "Enter plays it again; click SKIP to end it early.", 1.0f, white);
    font->drawText(KR::Vector2<float>(40.0f, 360.0f),
                   KR::formatString("Movies played: %d%s", plays, lastResult == 1 ? " (last one refused)" : ""),
                   1.0f, white);
  }
  renderSystem->renderFrame();
  renderSystem->present();
}

}  // namespace HOG
