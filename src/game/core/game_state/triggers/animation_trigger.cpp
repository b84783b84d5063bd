#include "core/game_state/triggers/animation_trigger.h"

#include <cctype>

#include "core/game_state/game.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/game_state/triggers/scene_node_tasks.h"
#include "core/game_state/views/view.h"
#include "log_system.h"
#include "ui/text_manager.h"

namespace HOG {

namespace {

IBaseAreaTrigger* sibling(IBaseAreaTrigger* self, int32_t id) {
  if (id < 0) return nullptr;
  View* view = self->findView();
  return view ? view->findTrigger(uint32_t(id)) : nullptr;
}

}  // namespace

void AnimationTrigger::initFromRecord(const TriggerDescription& record) {
  copyName(animation, record.animTriggerAnimation);
  copyName(itemSceneNode, record.animTriggerItemSceneNode);
  enableAnimationNodes = record.animTriggerEnableAnimationNodes;
  playReverse = record.animTriggerPlayReverse;
  relativeTrigger = record.animTriggerRelativeTrigger;
  delay = record.animTriggerDelay;
  multipleUse = record.animTriggerMultipleUse;
}

void AnimationTrigger::invokeOnClick() {
  if (!Game::exists()) return;
  Game* game = Game::getInstance();
  const uint32_t location = uint32_t(locationId);
  callHook("beforeAnimationPlayed");
  if (animation[0]) {
    if (enableAnimationNodes) queueSetNodeEnable(location, animation, true);
    if (!playReverse) {
      queueRewindNodeAnimationToBegin(location, animation);
      queueSetNodePlay(location, animation, true);
    } else {
      queueRewindNodeAnimationToEnd(location, animation);
      queueSetNodePlayReversed(location, animation, true);
    }
  }
  if (itemSceneNode[0]) queueSetNodeEnable(location, itemSceneNode, false);
  game->addLockTime(delay);
  if (!multipleUse) {
    dead = 1;
    if (IBaseAreaTrigger* relative = sibling(this, relativeTrigger)) {
      relative->enabled = 0;
      sendTriggerChanged(relative);
    }
  }
  if (IBaseAreaTrigger* relative = sibling(this, relativeTrigger)) {
    relative->enabled = 1;
    sendTriggerChanged(relative);
    relative->dead = 0;
  }
  enabled = multipleUse ? 1 : 0;
  callHook("onAnimationPlayed");
  sendGameMessage(kMsgAnimationTriggerUsed, this);
}

void AnimationTrigger::invokeOnActivate() {
  if (!Game::exists()) return;
  DuplicateTestScope scope(Game::getInstance()->getNodeStates());
  const uint32_t location = uint32_t(locationId);
  if (animation[0]) {
    nodePlayBody(location, animation, false);
    if (dead) {
      if (enableAnimationNodes) nodeEnableBody(location, animation, true);
      // A reversed play ends at the beginning.
      if (playReverse)
        nodeRewindToBeginBody(location, animation);
      else
        nodeRewindToEndBody(location, animation);
    } else if (playReverse) {
      nodeRewindToEndBody(location, animation);
    } else {
      nodeRewindToBeginBody(location, animation);
    }
  }
  if (dead && itemSceneNode[0]) nodeEnableBody(location, itemSceneNode, false);
}

void HOSItemTrigger::initFromRecord(const TriggerDescription& record) {
  copyName(itemSceneNode, record.HOSItemTriggerItemSceneNode);
  loadLocalizedName();
  partOfGroup = record.HOSItemTriggerPartOfGroup;
  parseRelativeTriggers(record.HOSItemTriggerRelativeTriggersStr.c_str());
}

void HOSItemTrigger::parseRelativeTriggers(const char* text) {
  relativeTriggerCount = 0;
  for (const char* c = text; c && *c;) {
    if (!std::isdigit(static_cast<unsigned char>(*c))) {
      ++c;
      continue;
    }
    int64_t number = 0;
    for (; std::isdigit(static_cast<unsigned char>(*c)); ++c)
      number = std::min<int64_t>(number * 10 + (*c - '0'), INT32_MAX);
    if (relativeTriggerCount < kMaxRelativeTriggers) relativeTriggers[relativeTriggerCount++] = int32_t(number);
  }
}

void HOSItemTrigger::loadLocalizedName() {
  localizedName = KR::TextManager::exists() ? &KR::TextManager::getInstance()->getText(itemSceneNode) : nullptr;
}

void HOSItemTrigger::invokeOnClick() {
  if (!canInteract()) return;
  enabled = 0;
  dead = 1;
  callHook("onActionDone");
  sendGameMessage(kMsgHosItemFound, this);
  if (Game::exists()) queueEventSound(Game::getInstance()->getTasks(), SoundEventType::HosItemFound);
}

void HOSItemTrigger::invokeOnActivate() {
  if (locationId == 0) KR::log("void ItemTrigger::invokeOnActivate(), location01, %i", 0);
  if (!Game::exists() || !itemSceneNode[0]) return;
  restoreNodeEnable(uint32_t(locationId), itemSceneNode, !dead);
}

}  // namespace HOG
