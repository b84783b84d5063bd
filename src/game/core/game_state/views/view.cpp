#include "core/game_state/views/view.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "core/game_post_processing_renderer.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/triggers/scene_node_tasks.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "format_string.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "render_system_dx8.h"
#include "scoped_lock.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "text_layout.h"
#include "ui/ui_load_cache.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
constexpr float kFlightDurations[4] = {0.6f, 0.4f, 0.2f, 0.15f};

float designWidth() { return float(KR::RenderSystem::getDesignWidth()); }
float designHeight() { return float(KR::RenderSystem::getDesignHeight()); }

KR::Vector2<float> clampPan(KR::Vector2<float> p, float s) {
  const float w = designWidth(), h = designHeight();
  const float limitX = std::max(((w * s - w) / s) / 2, 0.0f), limitY = std::max(((h * s - h) / s) / 2, 0.0f);
  p.x = std::copysign(std::min(std::fabs(p.x), limitX), p.x);
  p.y = std::copysign(std::min(std::fabs(p.y), limitY), p.y);
  return p;
}

Game* game() { return Game::exists() ? Game::getInstance() : nullptr; }

// The harder mode shows no backlights.
bool backlightsHidden() {
  if (!ProfileSystem::exists()) return false;
  const PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile();
  return profile && profile->options.difficulty;
}

}  // namespace

View::View() {
  KR::initRecursiveMutex(&lock);
  // The controller drives the view's own fields; a double click in a view
  // never zooms. Bound here, on the main thread, not at each load.
  controller.scale = &userScale;
  controller.position = &scrollOffset;
  controller.dragOffset = &dragOffset;
  controller.maxUserScale = 1.0f;
}

View::~View() {
  release();
  pthread_mutex_destroy(&lock);
}

void View::setDescription(const ViewDescription& d) {
  copyName(name, d.name);
  copyName(backgroundFile, d.backgroundFile);
  copyName(backgroundTable, d.backgroundTable);
  copyName(sceneFile, d.sceneFile);
  copyName(uiFile, d.uiFile);
  copyName(uiTable, d.uiTable);
  id = uint32_t(d.id);
  position = d.position;
  size = d.size;
  type = d.type;
  closeOnOutsideClick = d.closeViewOnOutsideAreaClick;
  doNotUnloadResources = d.doNotUnloadResources;
  controller.baseScale = getBaseScale();
}

IBaseAreaTrigger* View::findTrigger(uint32_t triggerId) const {
  for (IBaseAreaTrigger* trigger : triggers)
    if (uint32_t(trigger->triggerId) == triggerId) return trigger;
  return nullptr;
}

bool View::addNeighbour(View* neighbour) {
  if (neighbourCount >= kMaxNeighbours) return false;
  neighbours[neighbourCount++] = neighbour;
  return true;
}

float View::getBaseScale() const {
  if (type != 1 || size.y <= 0.0f) return 1.0f;
  const GeneralConfig config = game() ? game()->getGeneralConfig() : GeneralConfig();
  return std::max(1.0f, std::min(config.closeupSystemScale, (designHeight() - config.inventoryPanelHeight) / size.y));
}

void View::load() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  if (loaded) return;
  if (backgroundFile[0] && backgroundTable[0])
    if (auto* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr()) {
      background = sprites->createSprite(backgroundFile, backgroundTable, "default");
      if (background) {
        background->setPosition(position);
        background->updateVertices();
      }
    }
  loadUI();
  if (sceneFile[0]) {
    scene = AE::loadScene(sceneFile);
    if (scene) {
      scene->play(true);
      scene->setPosition(position);
    }
  }
  if (KR::ParticleSystem* particles = KR::ParticleSystem::getInstancePtr())
    for (IBaseAreaTrigger* trigger : triggers) {
      if (backlightCount >= kMaxBacklights) break;
      if (!trigger->backlightParticleFX[0]) continue;
      if (KR::ParticleFX* effect = particles->createEffect(trigger->backlightParticleFX)) {
        if (!backlights) backlights.reset(new Backlight[kMaxBacklights]);
        backlights[backlightCount++] = Backlight{effect, trigger};
      }
    }
  if (extension) extension->onLoad();
  flightRunning = false;
  loaded = true;
}

void View::release() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  if (!loaded) return;
  loaded = false;
  if (background)
    if (auto* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr()) sprites->destroySprite(background);
  background = nullptr;
  releaseUI();
  delete scene;
  scene = nullptr;
  if (KR::ParticleSystem* particles = KR::ParticleSystem::getInstancePtr())
    for (uint32_t i = 0; i < backlightCount; ++i) particles->releaseEffect(backlights[i].effect);
  backlights.reset();
  backlightCount = 0;
  takenNode = nullptr;
  flightRunning = false;
  if (extension) extension->release();
}

void View::loadUI() {
  if (!uiFile[0] || !uiTable[0] || !KR::UIManager::exists()) return;
  KR::UIManager* manager = KR::UIManager::getInstance();
  // Built here and entered as a root only once it is owner-drawn: the main
  // thread's drawing pass may look at the roots at any moment.
  KR::UILoadCache::Scope cache;
  KR::LuaScript script;
  if (!script.getState() || !script.loadScript(uiFile, "default")) {
    KR::log("Failed to load ui script %s: %s", uiFile, script.getLoadError().c_str());
    return;
  }
  if (!script.openTable(uiTable)) {
    KR::log("Failed to load UI table %s from %s", uiTable, uiFile);
    return;
  }
  ui = manager->createWidget(script, nullptr, uiFile, uiTable);
  script.closeTable();
  if (!ui) return;
  ui->ownerDrawn = true;
  ui->enabled = false;
  manager->addRoot(ui);
}

void View::releaseUI() {
  if (!ui) return;
  const std::string widgetName = ui->name;
  if (!KR::UIManager::exists() || KR::UIManager::getInstance()->destroyUI(ui) != 0)
    KR::log("Failed to delete widget: %s", widgetName.empty() ? "<EMPTY>" : widgetName.c_str());
  ui = nullptr;
}

void View::updateUI() {
  if (!ui || ui->locked) return;
  ui->position = transform.transformPoint(position);
  ui->setStateForcibly(ui->enabled ? "onIdle" : "onDisable");
  if (ui->getType() == KR::kUISceneNodeType)
    if (AE::ISceneNode* node = static_cast<KR::UISceneNode*>(ui)->node) {
      node->setPosition(position);
      const KR::Vector2<float> s = KR::Matrix3::getScale(transform);
      node->mScaleX = s.x;
      node->mScaleY = s.y;
    }
}

bool View::isCarried(const IBaseAreaTrigger* trigger) const {
  // The carried node is the one the trigger names (takeObject looks it up by that name).
  return takenNode && trigger && trigger->getType() == 1 &&
         takenNode->mName == static_cast<const TriggerObject*>(trigger)->sceneNode;
}

void View::advanceBacklight(const Backlight& backlight, float dt) {
  const IBaseAreaTrigger* t = backlight.trigger;
  const float scale = t->enabled && !t->dead && !isCarried(t) ? 1.0f : 0.0f;
  for (KR::ParticleEmitter* emitter : backlight.effect->mParticleEmitters) emitter->setEmitRateScale(scale);
  backlight.effect->update(dt);
}

void View::updateTransform() {
  const float s = getBaseScale() * userScale;
  const KR::Vector2<float> pan = clampPan(scrollOffset + dragOffset, s);
  const float cx = designWidth() / 2, cy = designHeight() / 2;
  // p -> c + s (p + pan - c)
  transform = KR::Matrix3::scaling(s, s);
  transform[6] = cx + s * (pan.x - cx);
  transform[7] = cy + s * (pan.y - cy);
  inverseTransform = KR::Matrix3::inverse(transform);
}

KR::Vector2<float> View::clampedPan() const { return clampPan(scrollOffset + dragOffset, getBaseScale() * userScale); }

void View::activate() {
  if (scene && !scene->mPlaying) scene->play(true);
  if (Game* g = game()) {
    const std::string hook = KR::formatString("__Generated_L%i_onActivate", int(id));
    g->getLuaState().callFunction(hook.c_str());
  }
  for (IBaseAreaTrigger* trigger : triggers) trigger->invokeOnActivate();
  if (loaded && game()) game()->getNodeStates().restoreView(scene, id);
  if (ui) {
    ui->enabled = true;
    // Into the UI manager's shown stack: the tree is drawn with the view, but its buttons take clicks only from
    // there.
    ui->showForcibly();
  }
  if (extension) {
    extension->skipRequest = false;
    if (!extension->isSuspended() && extension->announces) extension->announceActive();
    extension->onActivate();
  }
  // Warm up each effect by its own random time so they do not pulse together.
  for (uint32_t i = 0; i < backlightCount; ++i) {
    const Backlight& backlight = backlights[i];
    const float step = float(KR::sharedRandom() % 100) * 0.1f / 5.0f;
    for (int i = 0; i < 5; ++i) advanceBacklight(backlight, step);
  }
  activated = true;
}

void View::deactivate() {
  activated = false;
  activationPending = false;
  if (Game* g = game()) {
    const std::string hook = KR::formatString("__Generated_L%i_onDeactivate", int(id));
    g->getLuaState().callFunction(hook.c_str());
  }
  if (loaded && ui) ui->enabled = false;
  if (extension) {
    if (!extension->isSuspended() && extension->announces) extension->announceInactive();
    extension->onDeactivate();
  }
  controller.reset();
}

void View::update(float dt) {
  time += dt;
  updateTransform();
  if (pthread_mutex_trylock(&lock) == 0) {
    if (loaded && activationPending) {
      activationPending = false;
      activate();
    }
    if (loaded) {
      if (scene) {
        scene->setPosition(position);
        scene->update(dt);
      }
      updateUI();
      for (uint32_t i = 0; i < backlightCount; ++i) advanceBacklight(backlights[i], dt);
      if (extension) extension->update(dt);
      advanceReturnFlight(dt);
    }
    pthread_mutex_unlock(&lock);
  }
  controller.updateTweens(dt);
}

bool View::render(int layer) {
  if (pthread_mutex_trylock(&lock) != 0) return false;
  const bool back = layer == 0 || layer == 1, front = layer == 0 || layer == 2;
  if (back && loaded && activationPending) {
    activationPending = false;
    activate();
  }
  if (loaded) {
    if (back && background) background->render();
    bool stop = false;
    if (scene) {
      if (back && front) {
        AE::renderScene(scene);
      } else if (back) {
        AE::renderSceneDepthRange(scene, 0.0f, FLT_MAX);
        stop = true;
      } else {
        AE::renderSceneDepthRange(scene, -FLT_MAX, 0.0f);
      }
    }
    if (front && !stop) {
      if (!backlightsHidden())
        for (uint32_t i = 0; i < backlightCount; ++i) {
          // The sparkles mark where the thing lies: none while it is carried or flies back.
          if (isCarried(backlights[i].trigger)) continue;
          backlights[i].effect->mPosition = position + backlights[i].trigger->center;
          backlights[i].effect->render();
        }
      if (extension) extension->draw();
      if (ui && ui->shown) ui->render(true);
    }
  }
  pthread_mutex_unlock(&lock);
  return true;
}

namespace {

// What a text node's draw reads besides the node's matrix and colour: the
// string it shows, its box, style and glyph limit (a text typed out), the
// line breaking of the language and the font.
bool addStillText(PictureKey& key, const AE::TextSceneNode* text) {
  if (text->mStencil || text->mDistortion) return false;
  // Without a font or a string nothing is drawn (the enabled flag is keyed
  // with the node).
  const bool drawn = text->mFont && text->mEnabled && !text->mText.empty();
  key.add(drawn);
  if (!drawn) return true;
  // A localised text not looked up yet shows a string the key cannot see;
  // its draw looks it up, so the next frame can keep it.
  if (text->mLocaleEnable && text->mDirty) return false;
  const std::wstring& shown = text->mLocaleEnable ? text->mDisplayText : text->mText;
  key.add(text->mLocaleEnable);
  key.add(shown.size());
  key.addBytes(shown.data(), shown.size() * sizeof(wchar_t));
  key.add(text->mArea);
  key.add(text->mWordWrap);
  key.add(text->mHAlign);
  key.add(text->mVAlign);
  key.add(text->mXCoeff);
  key.add(text->mYCoeff);
  key.add(text->mClipping);
  key.add(text->mClipLT);
  key.add(text->mClipRB);
  key.add(text->mPixelPrecision);
  key.add(text->mMaxChar);
  key.add(KR::currentLanguageIsIdeographic());
  key.addFont(text->mFont);
  return true;
}

// The fields a scene's render reads, node by node in tree order.
bool addStillNode(PictureKey& key, const AE::ISceneNode* node) {
  const int type = node->getNodeType();
  key.add(type);
  key.add(node->mEnabled);
  key.add(node->mWorldMatrix);
  key.add(node->mDerivedColor.value);
  key.add(node->mPosZ);
  key.add(node->mParallaxEnabled);
  key.add(node->mCameraSelection);
  if (type == AE::kSpriteNode) {
    const auto* sprite = static_cast<const AE::SpriteSceneNode*>(node);
    if (sprite->mStencilMode != AE::SpriteSceneNode::kNoStencil || sprite->mDistortion) return false;
    key.add(sprite->mBlendMode);
    key.add(sprite->mTexRect);
    key.addSprite(sprite->mSprite);
  } else if (type == AE::kTextNode) {
    if (!addStillText(key, static_cast<const AE::TextSceneNode*>(node))) return false;
  } else if (type != AE::kPlainNode && type != AE::kSoundNode) {
    return false;
  }
  key.add(node->mChildren.size());
  for (const AE::ISceneNode* child : node->mChildren)
    if (!addStillNode(key, child)) return false;
  return true;
}

}  // namespace

bool View::addStillPicture(PictureKey& key) {
  if (pthread_mutex_trylock(&lock) != 0) return false;
  // A view beneath a close-up is deactivated but drawn all the same; one
  // whose activation is pending activates in its next render.
  bool still = loaded && !activationPending && !extension && !flightRunning && !(ui && ui->shown) &&
               (backlightCount == 0 || backlightsHidden());
  if (still) {
    key.add(this);
    key.add(activated);
    key.add(transform);
    key.add(position);
    key.add(size);
    key.addSprite(background);
    key.add(scene);
    // A scene camera moves its nodes from outside their own fields.
    if (scene) still = !scene->mActiveCamera && addStillNode(key, scene);
  }
  pthread_mutex_unlock(&lock);
  return still;
}

bool View::triggerContains(const IBaseAreaTrigger* trigger, const KR::Vector2<float>& point) const {
  // A positioned view (a close-up) holds its triggers at centre plus its
  // position, as the distance rule and the screen positions do.
  const KR::Vector2<float> c = trigger->center + position;
  KR::Vector2<float> p = point;
  p.rotateAround(-trigger->angle, c.x, c.y);
  return c.x - trigger->size.x / 2 < p.x && p.x < c.x + trigger->size.x / 2 && c.y - trigger->size.y / 2 < p.y &&
         p.y < c.y + trigger->size.y / 2;
}

int32_t View::processInput(const InputState* input) {
  if (!input || !loaded) return lastInputResult = 0;
  if (!tryLock()) return lastInputResult = 0;
  struct Unlock {
    View* v;
    ~Unlock() { v->unlock(); }
  } unlockAtEnd{this};
  if (!loaded) return lastInputResult = 0;
  Game* g = game();
  const KR::Vector2<float> mapped =
      inverseTransform.transformPoint(KR::Vector2<float>(float(input->x), float(input->y)));
  const KR::Vector2<float> pressMapped =
      inverseTransform.transformPoint(KR::Vector2<float>(float(input->pressX), float(input->pressY)));
  const KR::Vector2<float> pointer(float(int32_t(mapped.x)), float(int32_t(mapped.y)));
  const KR::Vector2<float> press(float(int32_t(pressMapped.x)), float(int32_t(pressMapped.y)));
  if (flightRunning) return lastInputResult = 0;
  if (type != 1 && controller.handleInput(input)) return lastInputResult = 1;
  if (extension && !extension->isSuspended() && !(g && g->isLocked())) {
    // A puzzle reads the frame's points in the view's own coordinates.
    InputState mappedInput = *input;
    if (extension->getType() == 1) {
      mappedInput.x = int32_t(pointer.x);
      mappedInput.y = int32_t(pointer.y);
      mappedInput.pressX = int32_t(press.x);
      mappedInput.pressY = int32_t(press.y);
    }
    if (const int32_t r = extension->processMouseEvent(&mappedInput)) {
      controller.dragging = false;
      return lastInputResult = r;
    }
  }
  ViewStack* stack = g ? &g->getViewStack() : nullptr;
  std::vector<IBaseAreaTrigger*> candidates;
  IBaseAreaTrigger* winner = nullptr;
  float best = 0.0f;
  for (IBaseAreaTrigger* trigger : triggers) {
    if (stack && stack->restrictInput && !stack->isAllowed(trigger)) continue;
    if (trigger->debug && !(stack && stack->debugTriggersEnabled)) continue;
    if (!triggerContains(trigger, pointer) || trigger->dead || !trigger->enabled) continue;
    candidates.push_back(trigger);
    const KR::Vector2<float> c = trigger->center + position;
    const float d = std::hypot(pointer.x - c.x, pointer.y - c.y);
    if (!winner || d < best) {
      winner = trigger;
      best = d;
    }
  }
  if (stack) stack->wantedCursor = winner ? winner->cursorType : 0;
  const bool carrying = stack && stack->getTakenObjectId() != ViewStack::kNoObject;
  InventoryItem* held = stack ? stack->getTakenInventoryItem() : nullptr;
  if (!winner && input->leftReleased && stack) {
    if (carrying) stack->dropTakedObject(false);
    if (held) stack->setTakenInventoryItem(nullptr);
  }
  if (winner && input->leftReleased && triggerContains(winner, press)) {
    if (!carrying && held) {
      applyInventoryItem(winner, candidates);
    } else if (!carrying) {
      winner->invokeOnClick();
    } else if (winner->getType() != 2) {
      applyTakenObject(candidates);
    }
    return lastInputResult = 1;
  }
  if (carrying && takenNode) {
    const KR::Vector2<float> size = takenNode->getSize();
    takenNode->setPosition(
        KR::Vector2<float>(pointer.x + 24 - takenNode->mPivot.x, pointer.y + 32 - size.y / 2 - takenNode->mPivot.y) -
        position);
  }
  return lastInputResult = (input->leftReleased && !winner) ? 2 : 0;
}

void View::applyTakenObject(const std::vector<IBaseAreaTrigger*>& candidates) {
  Game* g = game();
  if (!g) return;
  const int32_t objectId = int32_t(g->getViewStack().getTakenObjectId());
  bool refused = false;
  for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
    const int32_t answer = (*it)->invokeOnObjectApplied(objectId);
    if (answer == 1) return;
    if (answer == 2) refused = true;
  }
  if (!refused) g->getMessages()->showMessage("BAD_OBJECT_APPLIED_0", 3.0f);
}

void View::applyInventoryItem(IBaseAreaTrigger* winner, const std::vector<IBaseAreaTrigger*>& candidates) {
  Game* g = game();
  if (!g) return;
  if (winner->getType() == 2) {
    static_cast<TransitionTrigger*>(winner)->processTransition(true);
    return;
  }
  const InventoryItem* item = g->getViewStack().getTakenInventoryItem();
  bool usable = true;
  if (item->isGroup && (item->groupItemCount == 0 || item->maxItemsInGroupNum == 0)) usable = false;
  if (item->partOfGroup[0]) {
    const InventoryItem* group = g->getItemFactory().find(item->partOfGroup);
    if (!group || !group->inInventory || group->groupItemCount != group->maxItemsInGroupNum) usable = false;
  }
  bool refused = false;
  for (auto it = candidates.rbegin(); usable && it != candidates.rend(); ++it) {
    const int32_t answer = (*it)->invokeOnInventoryItemApplied(item->name);
    if (answer == 1) return;
    if (answer == 2) refused = true;
  }
  if (!refused) g->getMessages()->showMessage("BAD_OBJECT_APPLIED_0", 3.0f);
}

void View::takeObject(IBaseAreaTrigger* trigger) {
  takenNode = nullptr;
  if (!trigger || !tryLock()) return;
  if (scene && loaded && trigger->getType() == 1)
    takenNode = AE::ISceneNode::findChild(static_cast<TriggerObject*>(trigger)->sceneNode, scene);
  if (takenNode) {
    takenOrigin = KR::Vector2<float>(takenNode->mPosX, takenNode->mPosY);
    takenSaved[0] = takenNode->mPosZ;
    takenSaved[1] = takenNode->mScaleX;
    takenSaved[2] = takenNode->mScaleY;
    takenNode->mPosZ = 0.0f;
  }
  unlock();
}

void View::disableDeadNode(IBaseAreaTrigger* trigger) {
  if (trigger && trigger->dead && trigger->getType() == 1)
    queueSetNodeEnable(uint32_t(trigger->locationId), static_cast<TriggerObject*>(trigger)->sceneNode, false);
}

void View::dropObject(bool immediate, IBaseAreaTrigger* trigger) {
  if (!tryLock()) return;
  if (!immediate) {
    dropTarget = trigger;
    if (scene && takenNode) {
      if (trigger && trigger->dead)
        disableDeadNode(trigger);
      else
        startReturnFlight();
    }
  } else {
    if (scene && takenNode) {
      takenNode->setPosition(takenOrigin);
      takenNode->mPosZ = takenSaved[0];
      takenNode->mScaleX = takenSaved[1];
      takenNode->mScaleY = takenSaved[2];
    }
    for (IBaseAreaTrigger* t : {trigger, dropTarget}) {
      if (!t) continue;
      disableDeadNode(t);
      TriggerObject::onObjectDropped(t);
    }
    takenNode = nullptr;
    flightRunning = false;
  }
  unlock();
}

void View::startReturnFlight() {
  const KR::Vector2<float> p(takenNode->mPosX, takenNode->mPosY), o = takenOrigin;
  const float d = std::hypot(p.x - o.x, p.y - o.y), s = p.x >= o.x ? 1.0f : -1.0f;
  const float k = 0.001f * d;
  flightSpeed = std::min(std::max(2.0f - k * k, 1.2f), 2.2f);
  flightKeys[0] = p;
  flightKeys[1] = KR::Vector2<float>(p.x + 0.1f * s * d, p.y + 0.15f * d);
  flightKeys[2] = KR::Vector2<float>(o.x + 0.1f * s * d, o.y);
  flightKeys[3] = KR::Vector2<float>(o.x + 0.05f * s * d, o.y + 0.05f * d);
  flightKeys[4] = o;
  flightTime = 0.0f;
  flightRunning = true;
  advanceReturnFlight(0.0f);
}

void View::advanceReturnFlight(float dt) {
  if (!flightRunning || !takenNode) return;
  flightTime += dt * flightSpeed;
  float t = flightTime;
  int key = 0;
  while (key < 4 && t > kFlightDurations[key]) t -= kFlightDurations[key++];
  KR::Vector2<float> returnPosition;
  if (key >= 4) {
    returnPosition = flightKeys[4];
    takenNode->setPosition(returnPosition);
    finishReturnFlight();
    return;
  }
  const float f = t / kFlightDurations[key];
  returnPosition = flightKeys[key] * (1.0f - f) + flightKeys[key + 1] * f;
  takenNode->setPosition(returnPosition);
}

void View::finishReturnFlight() {
  flightRunning = false;
  takenNode->mPosZ = takenSaved[0];
  takenNode->mScaleX = takenSaved[1];
  takenNode->mScaleY = takenSaved[2];
  if (dropTarget && dropTarget->dead) {
    const KR::Color c = takenNode->getColor();
    takenNode->mColor = KR::Color::fromARGB(c.value | 0xFF000000u);
  } else if (dropTarget) {
    TriggerObject::onObjectDropped(dropTarget);
  }
  takenNode = nullptr;
}

void View::applyRenderTransform() {
  KR::RenderSystem* render = KR::RenderSystem::getInstancePtr();
  if (!render) return;
  std::copy(render->mCamera, render->mCamera + KR::CAM_COUNT, savedCamera);
  appliedScale = KR::Matrix3::getScale(transform);
  clampedOffset = clampedPan();
  if (std::fabs(appliedScale.x - 1.0f) > kEpsilon || std::fabs(appliedScale.y - 1.0f) > kEpsilon) {
    const float camera[KR::CAM_COUNT] = {clampedOffset.x, clampedOffset.y, appliedScale.x, appliedScale.y, 0.0f};
    render->setCamera(camera);
  }
}

void View::restoreRenderTransform() {
  if (KR::RenderSystem* render = KR::RenderSystem::getInstancePtr()) render->setCamera(savedCamera);
}

bool View::containsPoint(const KR::Vector2<float>& screenPoint) const {
  const KR::Vector2<float> p = inverseTransform.transformPoint(screenPoint);
  return p.x >= position.x && p.x < position.x + size.x && p.y >= position.y && p.y < position.y + size.y;
}

}  // namespace HOG
