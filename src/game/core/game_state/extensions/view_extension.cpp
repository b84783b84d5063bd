#include "core/game_state/extensions/view_extension.h"

#include "core/game_state/game_lua_state.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "format_string.h"
#include "render_system_dx8.h"

namespace HOG {

void IViewExtension::announceActive() { sendGameMessage(kMsgExtensionChanged, this); }

void IViewExtension::announceInactive() { sendGameMessage(kMsgExtensionChanged, nullptr); }

void IViewExtension::setSuspended(bool flag) {
  const bool resumeNotice = isSuspended() && !flag;
  const bool suspendNotice = !isSuspended() && flag;
  if (resumeNotice) announceActive();
  if (suspendNotice) announceInactive();
  suspended = flag;
  sendGameMessage(flag ? kMsgExtensionSuspended : kMsgExtensionResumed, nullptr);
  if (!isSuspended() && announces && view && view->activated) announceActive();
}

void IViewExtension::notifyFinished() {
  GameLuaState* lua = gameLuaState();
  if (view && lua) {
    const std::string hook = KR::formatString("__GeneratedL%u_onViewExtensionFinished", view->id);
    lua->callFunction(hook.c_str());
  }
  suspendable = true;
  setSuspended(true);
  announceInactive();
  if (view) view->controller.reset();
}

void TestViewExtension::draw() {
  if (!KR::RenderSystem::exists()) return;
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  KR::RenderSystem* render = KR::RenderSystem::getInstance();
  for (float x = 0.0f; x <= w; x += w / 8) render->drawLine(KR::Vector2<float>(x, 0.0f), KR::Vector2<float>(x, h));
  for (float y = 0.0f; y <= h; y += h / 8) render->drawLine(KR::Vector2<float>(0.0f, y), KR::Vector2<float>(w, y));
}

}  // namespace HOG
