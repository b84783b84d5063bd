#include "core/game_state/triggers/area_trigger.h"

#include <lua.hpp>

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "animationeditor/scene_node.h"
#include "core/game_state/game_lua_state.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/triggers/scene_node_tasks.h"
#include "core/game_state/ui_message_manager.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "log_system.h"
#include "lua_script_2.h"

namespace HOG {

void formatHookName(char (&buffer)[kNameSize * 2], int32_t location, const char* form, int32_t trigger,
                    const char* event) {
  snprintf(buffer, sizeof(buffer), "__Generated_L%" PRId32 "%s%" PRId32 "_%s", location, form, trigger, event);
}

void IBaseAreaTrigger::init(const TriggerDescription& record) {
  locationId = record.location;
  triggerId = record.triggerID;
  center = record.center;
  size = record.size;
  angle = record.angle;
  enabled = record.enabled;
  dead = record.dead;
  debug = record.debug;
  useByHints = record.useByHints;
  flag0 = record.flags[0];
  flag1 = record.flags[1];
  flag2 = record.flags[2];
  cursorType = record.cursorType;
  copyName(backlightParticleFX, record.backlightParticleFX);
  initFromRecord(record);
}

void IBaseAreaTrigger::callHook(const char* event, bool objectForm) const {
  GameLuaState* lua = gameLuaState();
  if (!lua) return;
  char hook[kNameSize * 2];
  formatHookName(hook, locationId, objectForm ? "TO" : "AT", triggerId, event);
  lua->callFunction(hook);
}

View* IBaseAreaTrigger::findView() const {
  ViewRegistry* registry = gameRegistry();
  return registry ? registry->findViewById(locationId) : nullptr;
}

bool IBaseAreaTrigger::getScreenPosition(float* x, float* y) const {
  const View* view = findView();
  if (!view) return false;
  const KR::Vector2<float> p = getScreenPosition(view);
  *x = p.x;
  *y = p.y;
  return true;
}

KR::Vector2<float> IBaseAreaTrigger::getScreenPosition(const View* view) const { return center + view->position; }

bool locateTriggerForZoom(const void* pointer, KR::Vector2<float>* point, bool* zoom) {
  const IBaseAreaTrigger* trigger = static_cast<const IBaseAreaTrigger*>(pointer);
  const View* view = trigger->findView();
  if (!view) return false;
  *point = trigger->getScreenPosition(view);
  *zoom = trigger->triggerId != 0;
  return true;
}

int32_t callHookForNumber(const char* hook, const int64_t* number, const char* text) {
  if (!gameLuaState()) return 0;
  lua_State* state = gameLuaState()->getMainState();
  if (!state) return 0;
  lua_getglobal(state, hook);
  const std::string where = KR::luaDescribeFunction(state, -1, hook);
  int arguments = 0;
  if (number) {
    lua_pushnumber(state, lua_Number(*number));
    arguments = 1;
  } else if (text) {
    lua_pushstring(state, text);
    arguments = 1;
  }
  if (KR::luaProtectedCall(state, arguments, 1, hook) != 0) {
    reportLuaError(state);
    return 0;
  }
  int32_t result = 0;
  if (lua_isnumber(state, -1))
    result = int32_t(lua_tointeger(state, -1));
  else
    KR::log("[***LUA ERROR***]: Failed to pop number value from stack.%s", where.c_str());
  lua_pop(state, 1);
  return result;
}

bool callHookForText(const char* hook, char (&out)[kNameSize]) {
  out[0] = 0;
  if (!gameLuaState()) return false;
  lua_State* state = gameLuaState()->getMainState();
  if (!state) return false;
  lua_getglobal(state, hook);
  const std::string where = KR::luaDescribeFunction(state, -1, hook);
  if (KR::luaProtectedCall(state, 0, 1, hook) != 0) {
    reportLuaError(state);
    return false;
  }
  bool ok = false;
  if (lua_isstring(state, -1)) {
    copyName(out, lua_tostring(state, -1));
    ok = true;
  } else {
    KR::log("[***LUA ERROR***]: Failed to pop string value from stack.%s", where.c_str());
  }
  lua_pop(state, 1);
  return ok;
}

int32_t AreaTrigger::invokeOnObjectApplied(int32_t objectId) {
  char hook[kNameSize * 2];
  formatHookName(hook, locationId, "AT", triggerId, "onObjectApplied");
  // The id travels as unsigned, so -1 arrives as 4294967295.
  const int64_t id = int64_t(uint32_t(objectId));
  const int32_t result = callHookForNumber(hook, &id, nullptr);
  ViewStack* stack = gameViewStack();
  if (!stack) return result;
  if (result == 1) {
    stack->dropTakedObject(false);
    if (View* active = stack->getActiveView())
      if (IBaseAreaTrigger* taken = active->findTrigger(uint32_t(objectId))) {
        taken->enabled = 0;
        sendTriggerChanged(taken);
      }
  } else {
    gameMessages()->showMessage("BAD_OBJECT_APPLIED_0", 3.0f);
  }
  return result;
}

int32_t AreaTrigger::invokeOnInventoryItemApplied(const char* itemName) {
  char hook[kNameSize * 2];
  formatHookName(hook, locationId, "AT", triggerId, "onInventoryItemApplied");
  const int32_t result = callHookForNumber(hook, nullptr, itemName ? itemName : "");
  if (!gameViewStack()) return result;
  if (result == 0)
    gameMessages()->showMessage("BAD_OBJECT_APPLIED_0", 3.0f);
  else if (result == 1)
    gameViewStack()->setTakenInventoryItem(nullptr);
  return result;
}

bool AreaTrigger::canInteract() {
  char hook[kNameSize * 2];
  formatHookName(hook, locationId, "AT", triggerId, "canInteractHandlerScript");
  return callHookForNumber(hook, nullptr, nullptr) != 0;
}

void AreaTrigger::getApplicableItemName() {
  applicableItemName[0] = 0;
  char hook[kNameSize * 2];
  formatHookName(hook, locationId, "AT", triggerId, "getApplicableItemNameScript");
  char name[kNameSize];
  if (callHookForText(hook, name) && strcmp(name, "0") != 0) copyName(applicableItemName, name);
}

void TriggerObject::invokeOnClick() {
  if (ViewStack* stack = gameViewStack()) stack->takeTriggerObject(uint32_t(triggerId));
  callHook("onObjectToken");
}

void TriggerObject::invokeOnActivate() {
  callHook("onLocationShowed", true);
  if (!sceneNode[0]) return;
  restoreNodeEnable(uint32_t(locationId), sceneNode, !dead);
}

void TriggerObject::onObjectDropped(IBaseAreaTrigger* trigger) {
  if (trigger) trigger->callHook("onObjectDropped");
}

}  // namespace HOG
