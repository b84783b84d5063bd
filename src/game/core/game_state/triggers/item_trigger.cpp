#include "core/game_state/triggers/item_trigger.h"

#include <cstring>

#include "core/game_state/game.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/game_state/triggers/scene_node_tasks.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "function.h"
#include "log_system.h"

namespace HOG {

namespace {

void addItemTask(const char* name) {
  if (Game::exists()) Game::getInstance()->getInventory().addItem(name, true);
}
void requestOpenTask(const char* name) {
  if (Game::exists()) Game::getInstance()->getViewStack().requestOpenView(name);
}
void openTask(const char* name) {
  if (Game::exists()) Game::getInstance()->getViewStack().openView(name);
}

void queueNamed(void (*body)(const char*), const char* name) {
  using Task = KR::Function1<const char*, KR::Dummy>;
  GameTaskManager& tasks = Game::getInstance()->getTasks();
  if (Task* task = tasks.makeTask<Task>(body)) std::get<0>(task->arguments) = tasks.keepText(task, name);
}

// The trigger of the same view with that id: enabled (message), then alive.
void enableRelative(IBaseAreaTrigger* self, int32_t id) {
  if (id < 0) return;
  View* view = self->findView();
  IBaseAreaTrigger* relative = view ? view->findTrigger(uint32_t(id)) : nullptr;
  if (!relative) return;
  relative->enabled = 1;
  sendTriggerChanged(relative);
  relative->dead = 0;
}

}  // namespace

void ItemTrigger::initFromRecord(const TriggerDescription& record) {
  copyName(itemName, record.itemTriggerItemName);
  copyName(applicableItemName, record.itemTriggerApplicableItemName);
  copyName(animation, record.itemTriggerAnimation);
  copyName(itemSceneNode, record.itemTriggerItemSceneNode);
  copyName(message, record.itemTriggerMessage);
  delay = record.itemTriggerDelay;
  applicableObjectID = record.itemTriggerApplicableObjectID;
  relativeTrigger = record.itemTriggerRelativeTrigger;
  enableAnimationNodes = record.itemTriggerEnableAnimationNodes;
  for (int i = 0; i < 2; ++i) {
    if (Game::exists())
      if (const InventoryItem* item =
              Game::getInstance()->getItemFactory().find(record.itemTriggerWrongItemApplied[i].c_str()))
        wrongItemId[i] = item->id;
    copyName(wrongItemAppliedMessage[i], record.itemTriggerWrongItemAppliedMessage[i]);
  }
}

void ItemTrigger::invokeOnClick() {
  if (!hasRequirement()) {
    processOnDoneAction();
  } else if (message[0] && Game::exists()) {
    Game::getInstance()->getMessages()->showMessage(message, 3.0f);
  }
}

int32_t ItemTrigger::invokeOnObjectApplied(int32_t objectId) {
  if (applicableObjectID > 0 && applicableObjectID == objectId) {
    processOnDoneAction();
    return 1;
  }
  return 0;
}

int32_t ItemTrigger::invokeOnInventoryItemApplied(const char* name) {
  if (!name) return 0;
  if (applicableItemName[0] && strcmp(applicableItemName, name) == 0) {
    processOnDoneAction();
    return 1;
  }
  if (!Game::exists()) return 0;
  const InventoryItem* item = Game::getInstance()->getItemFactory().find(name);
  for (int i = 0; i < 2; ++i) {
    if (wrongItemAppliedMessage[i][0] && item && item->id == wrongItemId[i]) {
      Game::getInstance()->getMessages()->showMessage(wrongItemAppliedMessage[i], 3.0f);
      return 2;
    }
  }
  return 0;
}

bool ItemTrigger::canInteract() {
  if (!applicableItemName[0]) return true;
  if (!Game::exists()) return false;
  const InventoryItem* item = Game::getInstance()->getItemFactory().find(applicableItemName);
  if (!item || !item->inInventory) return false;
  return !item->isGroup || item->groupItemCount == item->maxItemsInGroupNum;
}

void ItemTrigger::processOnDoneAction() {
  if (!Game::exists()) return;
  Game* game = Game::getInstance();
  View* view = findView();
  callHook("beforeActionDone");
  const uint32_t location = uint32_t(locationId);
  if (animation[0]) {
    KR::log("ItemTrigger::processOnDoneAction() %s", animation);
    if (enableAnimationNodes) queueSetNodeEnable(location, animation, true);
    queueRewindNodeAnimationToBegin(location, animation);
    queueSetNodePlay(location, animation, true);
  }
  if (itemSceneNode[0]) queueSetNodeEnable(location, itemSceneNode, false);
  game->addLockTime(delay);
  if (applicableItemName[0]) game->getInventory().removeItem(applicableItemName);
  // 0 counts as no object here too, as in the click and drop tests, so an
  // item trigger without an object never kills trigger 0 of its view.
  if (applicableObjectID > 0) {
    if (view)
      if (IBaseAreaTrigger* object = view->findTrigger(uint32_t(applicableObjectID))) object->dead = 1;
    game->getViewStack().dropTakedObject(false);
    if (View* active = game->getViewStack().getActiveView())
      if (IBaseAreaTrigger* object = active->findTrigger(uint32_t(applicableObjectID))) {
        object->enabled = 0;
        sendTriggerChanged(object);
      }
  }
  if (itemName[0]) queueNamed(&addItemTask, itemName);
  queueEventSound(game->getTasks(), SoundEventType::ItemActionDone);
  enableRelative(this, relativeTrigger);
  enabled = 0;
  dead = 1;
  callHook("onActionDone");
  sendGameMessage(kMsgItemActionDone, this);
}

void ItemTrigger::invokeOnActivate() {
  if (locationId == 0) KR::log("void ItemTrigger::invokeOnActivate(), location01, %i", 0);
  if (!Game::exists()) return;
  DuplicateTestScope scope(Game::getInstance()->getNodeStates());
  const uint32_t location = uint32_t(locationId);
  if (dead && itemSceneNode[0]) nodeEnableBody(location, itemSceneNode, false);
  if (animation[0]) {
    nodePlayBody(location, animation, false);
    if (dead) {
      if (enableAnimationNodes) nodeEnableBody(location, animation, true);
      nodeRewindToEndBody(location, animation);
    } else {
      nodeRewindToBeginBody(location, animation);
    }
  }
}

void TransitionTrigger::initFromRecord(const TriggerDescription& record) {
  copyName(targetLocation, record.targetLocation);
  singleUse = record.singleUse;
  copyName(itemSceneNode, record.transitionTriggerItemSceneNode);
  relativeTrigger = record.transitionTriggerRelativeTrigger;
}

void TransitionTrigger::processTransition(bool immediately) {
  if (!targetLocation[0] || !Game::exists()) return;
  callHook("beforeActionDone");
  queueNamed(immediately ? &openTask : &requestOpenTask, targetLocation);
  if (singleUse) {
    dead = 1;
    if (relativeTrigger >= 0)
      if (View* view = findView())
        if (IBaseAreaTrigger* relative = view->findTrigger(uint32_t(relativeTrigger))) {
          relative->enabled = 0;
          sendTriggerChanged(relative);
        }
  }
  enableRelative(this, relativeTrigger);
  if (itemSceneNode[0]) queueSetNodeEnable(uint32_t(locationId), itemSceneNode, false);
  if (!immediately) queueEventSound(Game::getInstance()->getTasks(), SoundEventType::TransitionUsed);
  sendGameMessage(kMsgTransitionUsed, this);
}

void TransitionTrigger::invokeOnActivate() {
  if (!dead || !itemSceneNode[0] || !Game::exists()) return;
  restoreNodeEnable(uint32_t(locationId), itemSceneNode, false);
}

}  // namespace HOG
