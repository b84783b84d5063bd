#include "core/showcase/showcase_video_page.h"

#include "color.h"
#include "core/game_application.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "string_conversion.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "video_player.h"

namespace HOG {

VideoShowcasePage::~VideoShowcasePage() {
  if (textLoaded)
    if (KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr()) fonts->releaseFont(text.font);
}

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
  if (!textLoaded && KR::UIFontManager::exists()) {
    textLoaded = KR::UIFontManager::getInstance()->loadFontPreset("video_presets_lua", "subtitle", &text) == 0;
  }
  if (textLoaded && text.font) {
    const std::wstring lines = KR::toWideString(KR::formatString(
        "The intro movie has ended.\nEnter plays it again; click SKIP to end it early.\nMovies played: %d%s", plays,
        lastResult == 1 ? " (last one refused)" : ""));
    text.font->color = text.color;
    text.font->drawWString(KR::Rect(), KR::Vector2<float>(112.0f, 300.0f), lines, true, 1, 0, text.xcoeff, text.ycoeff,
                           false, true, 800.0f, 200.0f);
  }
  renderSystem->renderFrame();
  renderSystem->present();
}

}  // namespace HOG
