#include "core/logo_state/logo_game_state.h"

#include "application.h"
#include "color.h"
#include "font.h"
#include "input_manager_win_mac.h"
#include "render_system_dx8.h"

namespace HOG {

LogoGameState::LogoGameState() { KR::Singleton<LogoGameState>::setInstance(this); }

LogoGameState::~LogoGameState() = default;

void LogoGameState::update(float dt) {
  shownTime += dt;
  bool skip = false;
  if (KR::InputManager::exists()) {
    KR::InputManager* input = KR::InputManager::getInstance();
    skip = input->getMouseDevice()->pressedThisPoll();
    for (int key = 1; key < 256 && !skip; ++key) skip = input->getKeyboardDevice()->wentDown(uint8_t(key));
  }
  if ((skip || shownTime >= kShowTime) && AppStateManager::exists())
    AppStateManager::getInstance()->setState("MainMenu");
}

void LogoGameState::draw() {
  if (!gApplication || !gApplication->systemFont) return;
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  const float fade = shownTime < 0.3f ? shownTime / 0.3f : 1.0f;
  gApplication->systemFont->drawText(KR::Vector2<float>(w * 0.5f - 60.0f, h * 0.5f - 10.0f), gApplication->name, 1.0f,
                                     KR::Color::fromFloats(1.0f, 1.0f, 1.0f, fade));
}

}  // namespace HOG
