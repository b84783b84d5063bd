#include "core/game_state/triggers/trigger_visualizer.h"

#include <algorithm>
#include <vector>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "fast_sprite.h"
#include "log_system.h"
#include "scoped_lock.h"
#include "xml_data_reader.h"

namespace HOG {

TriggerVisualizer::~TriggerVisualizer() { release(); }

float TriggerVisualizer::phaseInForce() const {
  const PlayerProfile* profile = ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
  return profile && profile->options.difficulty ? phaseHardcore : phase;
}

bool TriggerVisualizer::eligible(const IBaseAreaTrigger* trigger) {
  return trigger->enabled && !trigger->dead && trigger->useByHints;
}

void TriggerVisualizer::load() {
  if (loaded) return;
  KR::XmlDataReader reader;
  if (!reader.open("default", "trigger_visualizer_config_xml") || !reader.enterChild("config")) {
    KR::log("Failed to load 'trigger_visualizer_config_xml'");
    return;
  }
  if (!reader.readFloat("TriggerVisualizingPhase", &phase)) phase = 1.0f;
  if (!reader.readFloat("TriggerVisualizingPhaseHardcore", &phaseHardcore)) phaseHardcore = 1.0f;
  timer = phaseInForce() * 0.5f;
  if (reader.enterChild("TriggerAnimations")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      std::string file;
      reader.readString("sceneFile", &file);
      triggerAnimations.push_back(file.empty() ? nullptr : AE::loadScene(file));
    }
    reader.leaveChild();
  }
  std::string applying;
  if (reader.readString("ItemApplingAnimation", &applying) && !applying.empty())
    itemApplyingAnimation = AE::loadScene(applying);
  for (AE::ISceneNode* scene : triggerAnimations) {
    if (!scene) continue;
    scene->mLoop = true;
    scene->play(true);
  }
  if (itemApplyingAnimation) {
    itemApplyingAnimation->mLoop = true;
    itemApplyingAnimation->play(true);
    // The highlight is centred on each place by the scene's own extent.
    itemApplyingAnimation->update(0.0f);
    itemApplyingSize = sceneExtent(itemApplyingAnimation);
  }
  loaded = true;
}

KR::Vector2<float> TriggerVisualizer::sceneExtent(const AE::ISceneNode* scene) {
  KR::Vector2<float> low, high;
  bool any = false;
  std::vector<const AE::ISceneNode*> open{scene};
  while (!open.empty()) {
    const AE::ISceneNode* node = open.back();
    open.pop_back();
    for (const AE::ISceneNode* child : node->mChildren) open.push_back(child);
    const KR::Vector2<float> size = node->getSize();
    if (size.x <= 0.0f && size.y <= 0.0f) continue;
    const KR::Vector2<float> from = node->mWorldOrigin, to(from.x + size.x, from.y + size.y);
    low = any ? KR::Vector2<float>(std::min(low.x, from.x), std::min(low.y, from.y)) : from;
    high = any ? KR::Vector2<float>(std::max(high.x, to.x), std::max(high.y, to.y)) : to;
    any = true;
  }
  return any ? KR::Vector2<float>(high.x - low.x, high.y - low.y) : KR::Vector2<float>();
}

void TriggerVisualizer::release() {
  if (!loaded) return;
  for (AE::ISceneNode* scene : triggerAnimations) delete scene;
  triggerAnimations.clear();
  delete itemApplyingAnimation;
  itemApplyingAnimation = nullptr;
  loaded = false;
}

void TriggerVisualizer::reset() {
  currentIndex = -1;
  timer = phaseInForce() * 0.5f;
}

void TriggerVisualizer::onMessage(const GameMessage* message) {
  if (loaded && message->kind == kMsgViewStackChanged) reset();
}

void TriggerVisualizer::update(float dt) {
  if (!loaded || !visible) return;
  timer += dt;
  for (AE::ISceneNode* scene : triggerAnimations)
    if (scene) scene->update(dt);
  if (itemApplyingAnimation) itemApplyingAnimation->update(dt);
}

AE::ISceneNode* TriggerVisualizer::animationFor(const IBaseAreaTrigger* trigger) const {
  if (trigger->cursorType < 0 || size_t(trigger->cursorType) >= triggerAnimations.size()) return nullptr;
  return triggerAnimations[size_t(trigger->cursorType)];
}

void TriggerVisualizer::advance(View* view) {
  timer = 0.0f;
  const int32_t count = int32_t(view->triggers.size());
  int32_t found = -1;
  for (int32_t step = 0; step < count && found < 0; ++step) {
    const int32_t index = ((currentIndex + 1 + step) % count + count) % count;
    const IBaseAreaTrigger* t = view->triggers[size_t(index)];
    if (eligible(t) && t->cursorType != 3 && t->cursorType != 4 && animationFor(t)) found = index;
  }
  currentIndex = found;
  if (found >= 0) {
    AE::ISceneNode* scene = animationFor(view->triggers[size_t(found)]);
    scene->stop(true);
    scene->rewindToBegin();
    scene->play(true);
  }
}

void TriggerVisualizer::place(AE::ISceneNode* scene, const KR::Vector2<float>& at) {
  scene->setPosition(at);
  scene->update(0.0f);
  AE::renderScene(scene);
}

void TriggerVisualizer::draw() {
  if (ViewStack* stack = gameViewStack()) drawView(stack->getActiveView());
}

void TriggerVisualizer::drawView(View* view) {
  if (!loaded || !visible || !view || !view->loaded || !gameViewStack()) return;
  ViewStack& stack = *gameViewStack();
  InventoryItem* item = stack.getTakenInventoryItem();
  const bool object = stack.getTakenObjectId() != ViewStack::kNoObject;
  auto mapped = [&](const IBaseAreaTrigger* t) { return view->transform.transformPoint(t->getScreenPosition(view)); };
  if (!item && !object) {
    if (timer > phaseInForce()) advance(view);
    for (size_t i = 0; i < view->triggers.size(); ++i) {
      const IBaseAreaTrigger* t = view->triggers[i];
      AE::ISceneNode* scene = eligible(t) ? animationFor(t) : nullptr;
      if (scene && (int32_t(i) == currentIndex || t->cursorType == 3 || t->cursorType == 4)) place(scene, mapped(t));
    }
    return;
  }
  reset();
  if (!itemApplyingAnimation) return;
  // The mark shows what the pointer carries: a member of a group is carried, and drawn at the pointer, as its group.
  if (item && item->partOfGroup[0])
    if (InventoryItem* group = gameItemFactory()->find(item->partOfGroup))
      if (group->isGroup) item = group;
  for (const IBaseAreaTrigger* t : view->triggers) {
    if (!eligible(t) || (t->getType() != 3 && t->getType() != 0)) continue;
    const KR::Vector2<float> at = mapped(t);
    place(itemApplyingAnimation, KR::Vector2<float>(at.x - itemApplyingSize.x / 2, at.y - itemApplyingSize.y / 2));
    // The view streamer's thread loads and drops item icons under the factory's icon lock.
    KR::ScopedLock icons(KR::ScopedLock::lock(item ? gameItemFactory()->getIconLock() : nullptr));
    if (item && item->sprite) {
      // The icon at half size, centred on the same point. The sprite keeps the place and scale it was last drawn
      // with (under the pointer, in its slot): both are set for this drawing and given back after it.
      KR::FastSprite* icon = item->sprite;
      const KR::Vector2<float> size = icon->mSize, wasAt = icon->mPosition, wasScale = icon->mScale;
      icon->mScale = KR::Vector2<float>(0.5f, 0.5f);
      icon->mPosition = KR::Vector2<float>(at.x - size.x * 0.25f, at.y - size.y * 0.25f);
      icon->drawTransformed(KR::Matrix3());
      icon->mPosition = wasAt;
      icon->mScale = wasScale;
    }
  }
}

}  // namespace HOG
