#include "core/game_state/views/view_stack.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "core/game_post_processing_renderer.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "function.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "rect.h"
#include "render_system_dx8.h"
#include "scoped_lock.h"
#include "sound_system/sound_manager.h"
#include "sprite.h"
#include "texture_dx8.h"

namespace HOG {

namespace {

void openViewTask(const char* name) {
  if (Game::exists()) Game::getInstance()->getViewStack().openView(name);
}
void startFadeTask() {
  if (Game::exists()) Game::getInstance()->getViewStack().startViewChangeFade();
}

// Whether the camera in force draws design coordinates where they are.
bool plainCamera(const KR::RenderSystem& render) {
  const float* camera = render.mCamera;
  return camera[KR::CAM_X] == 0.0f && camera[KR::CAM_Y] == 0.0f && camera[KR::CAM_ZOOM_X] == 1.0f &&
         camera[KR::CAM_ZOOM_Y] == 1.0f && camera[KR::CAM_ANGLE] == 0.0f;
}

// Whether a close-up's rectangle, drawn through the camera in force, covers
// the whole design area: clipping to it then leaves every pixel as it is.
bool coversDesignArea(const View& view, const KR::RenderSystem& render) {
  if (!plainCamera(render)) return false;
  return view.position.x <= 0.0f && view.position.y <= 0.0f &&
         view.position.x + view.size.x >= float(KR::RenderSystem::getDesignWidth()) &&
         view.position.y + view.size.y >= float(KR::RenderSystem::getDesignHeight());
}

// Whether the close-up's own drawing covers the area (design coordinates)
// with opaque pixels, so that nothing beneath it there shows: an enabled
// sprite of its scene, of a picture without a translucent texel, fully
// opaque, alpha blended (or unblended), unclipped, unbent, one straight quad
// over the whole area.
bool hidesArea(const View& view, const KR::Rect& area) {
  if (!view.isCloseup() || !view.loaded || !view.scene || view.scene->mActiveCamera) return false;
  std::vector<const AE::ISceneNode*> pending{view.scene};
  while (!pending.empty()) {
    const AE::ISceneNode* node = pending.back();
    pending.pop_back();
    for (const AE::ISceneNode* child : node->mChildren)
      if (child) pending.push_back(child);
    if (node->getNodeType() != AE::kSpriteNode) continue;
    const auto* sprite = static_cast<const AE::SpriteSceneNode*>(node);
    const KR::Sprite* picture = sprite->mSprite;
    if (!sprite->mEnabled || sprite->mDerivedColor.alpha() != 0xFF || sprite->mDistortion ||
        sprite->mStencilMode != AE::SpriteSceneNode::kNoStencil || !picture || !picture->mQuad)
      continue;
    const uint32_t blend =
        sprite->mBlendMode >= 0 && sprite->mBlendMode <= 3 ? uint32_t(sprite->mBlendMode) : picture->mQuad->mBlendMode;
    const KR::Texture* texture = picture->getTexture();
    if (blend != KR::BM_ALPHA || !texture || !texture->mHandle || !texture->mOpaque || picture->mClipEnabled ||
        picture->mMeshSizeX != 1 || picture->mMeshSizeY != 1 || picture->mMeshPositions.size() != 4)
      continue;
    // A frame still to be set would size the sprite anew when it is placed.
    if (picture->getFrameCount() == 0 || picture->getFrameRect(0) != sprite->mTexRect) continue;
    // Where placing the sprite by the node's matrix puts its corners.
    const KR::Matrix3& m = sprite->mWorldMatrix;
    if (m.m[1] != 0.0f || m.m[3] != 0.0f) continue;
    float left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const KR::Vector2<float>& p : picture->mMeshPositions) {
      const float x = m.m[0] * p.x + m.m[6], y = m.m[4] * p.y + m.m[7];
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
    if (left <= area.left && top <= area.top && right >= area.right && bottom >= area.bottom) return true;
  }
  return false;
}

// Whether the close-up hides the whole design area, in the camera the view
// draws with. Asked with the view's camera applied.
bool hidesDesignArea(const View& view, const KR::RenderSystem& render) {
  if (!coversDesignArea(view, render)) return false;
  const float width = float(KR::RenderSystem::getDesignWidth()), height = float(KR::RenderSystem::getDesignHeight());
  return hidesArea(view, KR::Rect(0.0f, 0.0f, width, height));
}

// The part of the design area that a close-up clipped to its rectangle hides
// with opaque pixels: the rectangle, where the camera leaves design
// coordinates where they are (what is drawn beneath with the same camera then
// meets the clip at the same pixels). Asked with the view's camera applied.
bool hiddenRectangle(const View& view, const KR::RenderSystem& render, KR::Rect& hidden) {
  if (!plainCamera(render)) return false;
  const float width = float(KR::RenderSystem::getDesignWidth()), height = float(KR::RenderSystem::getDesignHeight());
  const KR::Rect area(std::max(0.0f, view.position.x), std::max(0.0f, view.position.y),
                      std::min(width, view.position.x + view.size.x), std::min(height, view.position.y + view.size.y));
  if (!(area.right > area.left && area.bottom > area.top) || !hidesArea(view, area)) return false;
  hidden = area;
  return true;
}

}  // namespace

ViewStack::ViewStack(Game& owner, ViewRegistry& views_) : game(owner), registry(views_) {
  views.reserve(16);
  if (KR::LexBindedFunctionManager::exists()) {
    KR::LexBindedFunctionManager::getInstance()->registerFunction(
        "closeActiveView", new KR::LexBinder<ViewStack>(this, &ViewStack::closeActiveView));
    bound = true;
  }
}

ViewStack::~ViewStack() {
  if (bound && KR::LexBindedFunctionManager::exists())
    KR::LexBindedFunctionManager::getInstance()->unregisterFunction("closeActiveView");
}

View* ViewStack::getActiveView() const {
  KR::ScopedLock guard(KR::ScopedLock::lock(game.getViewStackLock()));
  return views.empty() ? nullptr : views.back();
}

bool ViewStack::hasTopView() const { return getActiveView() != nullptr; }

bool ViewStack::isTopViewActivated() const {
  const View* top = getActiveView();
  return !top || top->activated;
}

bool ViewStack::isTopViewLoaded() const {
  const View* top = getActiveView();
  return !top || top->loaded;
}

int ViewStack::getVisibleViews(View** out) const {
  KR::ScopedLock guard(KR::ScopedLock::lock(game.getViewStackLock()));
  int count = 0;
  for (auto it = views.rbegin(); it != views.rend() && count < kMaxVisibleViews; ++it) {
    if (count > 0 && !out[count - 1]->isCloseup()) break;
    out[count++] = *it;
  }
  // Lowest first.
  for (int i = 0; i < count / 2; ++i) std::swap(out[i], out[count - 1 - i]);
  return count;
}

bool ViewStack::hasVisibleCloseup() const {
  View* visible[kMaxVisibleViews];
  const int count = getVisibleViews(visible);
  for (int i = 0; i < count; ++i)
    if (visible[i]->isCloseup()) return true;
  return false;
}

void ViewStack::update(float dt) {
  View* visible[kMaxVisibleViews];
  const int count = getVisibleViews(visible);
  for (int i = 0; i < count; ++i) visible[i]->update(dt);
}

bool ViewStack::addStillBackground(View* const* visible, int closeup, float strength, PictureKey& key) const {
  KR::RenderSystem* render = KR::RenderSystem::getInstancePtr();
  GamePostProcessingRenderer* post = GamePostProcessingRenderer::getInstancePtr();
  if (!render || !post || closeup <= 0) return false;
  key.add(strength);
  key.add(post->isShaderReady());
  key.add(KR::RenderSystem::getDesignWidth());
  key.add(KR::RenderSystem::getDesignHeight());
  // The camera the plain views are drawn with, the fades' zoom included.
  game.getFadeIn().beginZoom();
  game.getFadeOut().beginZoom();
  for (int c = 0; c < KR::CAM_COUNT; ++c) key.add(render->mCamera[c]);
  game.getFadeOut().endZoom();
  game.getFadeIn().endZoom();
  key.add(closeup);
  // The dim over each view above the lowest lies in the picture too.
  key.addSprite(game.getDimSprite());
  for (int i = 0; i < closeup; ++i)
    if (!visible[i]->addStillPicture(key)) return false;
  return true;
}

bool ViewStack::drawViews(bool blur, float strength) {
  View* all[kMaxVisibleViews];
  int count = getVisibleViews(all);
  KR::RenderSystem* render = KR::RenderSystem::getInstancePtr();
  GamePostProcessingRenderer* post = GamePostProcessingRenderer::getInstancePtr();
  // A close-up that hides the whole screen hides all beneath it: those views,
  // the dims over them and their blur (kept or not) are not drawn.
  int first = 0;
  for (int i = count - 1; i > 0 && render && first == 0; --i) {
    all[i]->applyRenderTransform();
    if (hidesDesignArea(*all[i], *render)) first = i;
    all[i]->restoreRenderTransform();
  }
  View** visible = all + first;
  count -= first;
  if (first > 0) blur = false;
  int lowestCloseup = -1;
  for (int i = 0; i < count && lowestCloseup < 0; ++i)
    if (visible[i]->isCloseup()) lowestCloseup = i;
  bool blurOpen = false;
  // The kept picture was drawn: the views beneath the close-up and the dim
  // over them are in it already.
  bool kept = false;
  if (post && blur) {
    // What the close-up over the kept picture hides of it is left out.
    KR::Rect hidden;
    bool hides = false;
    if (render && lowestCloseup > 0) {
      visible[lowestCloseup]->applyRenderTransform();
      hides = hiddenRectangle(*visible[lowestCloseup], *render, hidden);
      visible[lowestCloseup]->restoreRenderTransform();
    }
    PictureKey key;
    const bool still = addStillBackground(visible, lowestCloseup, strength, key);
    kept = still && post->drawKeptPicture(key.get(), hides ? &hidden : nullptr);
    if (!kept) {
      blurOpen = post->beginBlur(strength) == 0;
      if (blurOpen && still) post->keepNextPicture(key.get());
    }
  } else if (post) {
    post->dropKeptPicture();
  }
  for (int i = 0; i < count; ++i) {
    View* view = visible[i];
    if (kept && i < lowestCloseup) continue;
    if (i > 0 && game.getDimSprite() && !(kept && i == lowestCloseup)) {
      game.getDimSprite()->updateVertices();
      game.getDimSprite()->render();
    }
    if (i == lowestCloseup && blurOpen) {
      post->endBlur();
      blurOpen = false;
    }
    if (!view->isCloseup()) {
      game.getFadeIn().beginZoom();
      game.getFadeOut().beginZoom();
      view->applyRenderTransform();
      // A view the streamer held is missing from this picture: it is not kept.
      if (!view->render(0) && blurOpen) post->forgetNextPicture();
      view->restoreRenderTransform();
      game.getFadeIn().endZoom();
      game.getFadeOut().endZoom();
      continue;
    }
    // A close-up is clipped to its rectangle: not at all where the rectangle
    // is the whole screen (the puzzles' close-ups), by a scissor where the
    // camera keeps it a straight rectangle, else through the stencil buffer,
    // whose clear and mask cost full-screen passes.
    view->applyRenderTransform();
    if (render && game.getMaskSprite() && coversDesignArea(*view, *render)) {
      view->render(1);
      view->render(2);
    } else if (render && game.getMaskSprite() && render->beginClipRect(view->position, view->size)) {
      view->render(1);
      render->endClipRect();
      view->render(2);
    } else if (render && game.getMaskSprite()) {
      render->clearStencil();
      render->beginStencilMask();
      KR::Sprite* mask = game.getMaskSprite();
      mask->setPosition(view->position);
      mask->setSize(view->size);
      mask->updateVertices();
      mask->render();
      render->endStencilMask();
      render->enableStencilTest();
      view->render(1);
      render->disableStencilTest();
      view->render(2);
    } else {
      view->render(0);
    }
    view->restoreRenderTransform();
  }
  return blurOpen;
}

void ViewStack::processInput(const InputState& input) {
  if (!input.valid) return;
  wantedCursor = 0;
  View* active = getActiveView();
  bool handled = false;
  const int w = KR::RenderSystem::getDesignWidth(), h = KR::RenderSystem::getDesignHeight();
  if (active && input.x >= 0 && input.x < w && input.y >= 0 && input.y < h) {
    if (active->containsPoint(KR::Vector2<float>(float(input.x), float(input.y)))) {
      handled = active->processInput(&input) != 0;
    } else if (input.leftReleased && !handled && active->closeOnOutsideClick && viewChangeLocks <= 0) {
      dropTakedObject(false);
      setTakenInventoryItem(nullptr);
      closeActiveView();
    }
  }
  if (input.rightPressed) {
    dropTakedObject(false);
    takenInventoryItem = nullptr;
    sendGameMessage(kMsgHeldItemCleared, nullptr, &game);
  }
}

void ViewStack::openView(const char* name) {
  if (viewChangeLocks > 0) return;
  if (View* active = getActiveView())
    if (strcmp(active->name, name) == 0) return;
  KR::ScopedLock guard(KR::ScopedLock::lock(game.getViewStackLock()));
  View* view = registry.findViewByName(name);
  if (!view) {
    KR::log("[***GAME ERROR***]: Failed to open view: %s", name);
    return;
  }
  if (View* active = getActiveView()) deactivateView(active);
  dropTakedObject(true);
  game.getMessages()->hideAllMessages();
  pushView(view);
  KR::log("Game::openView, CURRENT VIEW %s", name);
}

void ViewStack::pushView(View* view) {
  if (viewChangeLocks > 0 || !view) return;
  KR::ScopedLock guard(KR::ScopedLock::lock(game.getViewStackLock()));
  View* previous = getActiveView();
  if (previous && strcmp(previous->name, view->name) == 0) return;
  views.push_back(view);
  activateView(view);
  if (!view->isCloseup() && !skipNextFadeIn) {
    game.getFadeIn().start();
    if (previous && previous->tryLock()) {
      if (previous->scene) previous->scene->stop(true);
      previous->unlock();
    }
  }
  skipNextFadeIn = false;
  if (views.size() > kMaxStack) views.erase(views.begin(), views.end() - kMaxStack);
  sendGameMessage(kMsgViewStackChanged, nullptr, nullptr);
}

void ViewStack::activateView(View* view) {
  ++view->visitCount;
  view->activationPending = true;
  queueEventSound(game.getTasks(), view->isCloseup() ? SoundEventType::CloseupOpened : SoundEventType::LocationOpened);
  sendGameMessage(kMsgViewActivated, view, nullptr);
}

void ViewStack::deactivateView(View* view) {
  if (!view) return;
  view->deactivate();
  sendGameMessage(kMsgViewDeactivated, view, nullptr);
}

void ViewStack::closeActiveView() {
  if (game.isLocked() || viewChangeLocks > 0) return;
  KR::log("Game::closeActiveView()");
  KR::ScopedLock guard(KR::ScopedLock::lock(game.getViewStackLock()));
  View* top = getActiveView();
  if (top && top->isCloseup()) {
    dropTakedObject(false);
    setTakenInventoryItem(nullptr);
  }
  if (views.size() > 1) {
    deactivateView(top);
    views.pop_back();
    activateView(views.back());
    sendGameMessage(kMsgViewStackChanged, nullptr, nullptr);
  }
}

void ViewStack::requestOpenView(const char* name) {
  if (viewChangeLocks > 0) return;
  View* active = getActiveView();
  if (active && strcmp(active->name, name) == 0) return;
  View* view = registry.findViewByName(name);
  if (!view) return;
  if (view->type == 0 && (!active || (active->type == 0 && !active->extension))) {
    game.getTasks().makeTask<KR::Function<KR::Dummy>>(&startFadeTask);
    game.addLockTime(game.getFadeOut().getDuration());
  }
  if (active && active->extension && view->extension && active->extension->getType() == 1 &&
      view->extension->getType() == 1)
    skipNextFadeIn = true;
  using Task = KR::Function1<const char*, KR::Dummy>;
  GameTaskManager& tasks = game.getTasks();
  if (Task* task = tasks.makeTask<Task>(&openViewTask)) std::get<0>(task->arguments) = tasks.keepText(task, name);
}

void ViewStack::startViewChangeFade() {
  game.getFadeOut().start();
  if (!KR::SoundManager::exists()) return;
  const float out = game.getFadeOut().getDuration(), in = game.getFadeIn().getDuration();
  // The music group keeps its volume; sounds and ambience dip.
  KR::SoundManager::getInstance()->startGroupFade(0, out, 0.0f, in);
  KR::SoundManager::getInstance()->startGroupFade(2, out, 0.0f, in);
}

void ViewStack::closeAllViews() {
  KR::ScopedLock guard(KR::ScopedLock::lock(game.getViewStackLock()));
  for (auto it = views.rbegin(); it != views.rend(); ++it) deactivateView(*it);
  views.clear();
}

void ViewStack::stop() {
  KR::ScopedLock guard(KR::ScopedLock::lock(game.getViewStackLock()));
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    View* view = *it;
    if (view->tryLock()) {
      if (view->scene) view->scene->stop(true);
      view->unlock();
    }
  }
}

void ViewStack::resetBeforeRestore() {
  viewChangeLocks = 0;
  game.setLocked(false);
  game.getTasks().clear();
  closeAllViews();
  dropTakedObject(true);
  takenInventoryItem = nullptr;
  sendGameMessage(kMsgHeldItemCleared, nullptr, &game);
}

int32_t ViewStack::takeTriggerObject(uint32_t id) {
  KR::log("Game::takeTriggerObject, %u", id);
  takenObjectId = id;
  takenObjectWord = 0;
  if (View* active = getActiveView())
    if (IBaseAreaTrigger* trigger = active->findTrigger(id)) {
      sendGameMessage(kMsgTriggerObjectTaken, trigger, &game);
      active->takeObject(trigger);
    }
  return 0;
}

void ViewStack::dropTakedObject(bool immediate) {
  if (View* active = getActiveView()) {
    IBaseAreaTrigger* trigger = takenObjectId != kNoObject ? active->findTrigger(takenObjectId) : nullptr;
    if (trigger) sendGameMessage(kMsgTriggerObjectDropped, trigger, &game);
    active->dropObject(immediate, trigger);
  }
  takenObjectId = kNoObject;
  takenObjectWord = 0;
  KR::log("Game::dropTakedObject");
}

void ViewStack::setTakenInventoryItem(InventoryItem* item) {
  takenInventoryItem = item;
  if (!item) sendGameMessage(kMsgHeldItemCleared, nullptr, &game);
}

void ViewStack::resetTriggerState(uint32_t id) {
  if (View* active = getActiveView())
    if (IBaseAreaTrigger* trigger = active->findTrigger(id)) {
      trigger->flag0 = 0;
      sendTriggerChanged(trigger);
    }
}

int32_t ViewStack::appendTriggerByIds(uint32_t viewId, uint32_t triggerId) {
  if (restrictedCount >= kMaxRestricted) return 1;
  const View* view = registry.findViewById(int32_t(viewId));
  if (!view) return 1;
  restricted[restrictedCount++] = view->findTrigger(triggerId);
  return 0;
}

bool ViewStack::isAllowed(const IBaseAreaTrigger* trigger) const {
  for (int32_t i = 0; i < restrictedCount; ++i)
    if (restricted[i] == trigger) return true;
  return false;
}

}  // namespace HOG
