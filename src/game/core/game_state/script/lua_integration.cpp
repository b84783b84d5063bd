#include "core/game_state/script/lua_integration.h"

#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "core/game_cursor_manager.h"
#include "core/game_state/extensions/dialog_view_extension.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/amulets_button.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/scene_node_tasks.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "sound_system/sound_manager.h"
#include "video_player.h"

namespace HOG {
namespace LuaIntegration {

namespace {

using KR::Dummy;

Game* game() { return Game::exists() ? Game::getInstance() : nullptr; }

// The arguments of one call, taken from the top down.
class Args {
 public:
  Args(lua_State* state, int declared) : L(state), cursor(lua_gettop(state)) {
    ok = cursor >= declared;
    if (!ok)
      KR::log("[***LUA ERROR***]: %d arguments given where %d are needed.%s", cursor, declared,
              KR::luaDescribeCaller(L).c_str());
  }
  bool ok;

  const char* text() {
    if (cursor < 1 || !lua_isstring(L, cursor)) {
      KR::log("[***LUA ERROR***]: Failed to pop string value from stack.%s", KR::luaDescribeCaller(L).c_str());
      return nullptr;
    }
    return lua_tostring(L, cursor--);
  }
  bool flag() {
    if (cursor < 1 || !lua_isboolean(L, cursor)) {
      KR::log("[***LUA ERROR***]: Failed to pop bool value from stack.%s", KR::luaDescribeCaller(L).c_str());
      return false;
    }
    return lua_toboolean(L, cursor--) != 0;
  }
  double number() {
    if (cursor < 1 || !lua_isnumber(L, cursor)) {
      KR::log("[***LUA ERROR***]: Failed to pop number value from stack.%s", KR::luaDescribeCaller(L).c_str());
      return 0.0;
    }
    return lua_tonumber(L, cursor--);
  }
  float real() { return float(number()); }
  // Truncated towards zero; the low 32 bits of the 64-bit value (-1 is 4294967295).
  uint32_t u() { return uint32_t(uint64_t(whole(number()))); }
  int32_t i() { return int32_t(uint32_t(uint64_t(whole(number())))); }

 private:
  static int64_t whole(double v) {
    if (!std::isfinite(v) || std::fabs(v) >= 9.2e18) return 0;
    return int64_t(v);
  }
  lua_State* L;
  int cursor;
};

int pushBool(lua_State* L, bool v) {
  lua_pushboolean(L, v);
  return 1;
}
int pushNumber(lua_State* L, double v) {
  lua_pushnumber(L, v);
  return 1;
}

View* viewById(uint32_t id) { return game() ? game()->getRegistry().findViewById(int32_t(id)) : nullptr; }
View* viewByName(const char* name) { return game() && name ? game()->getRegistry().findViewByName(name) : nullptr; }

// A trigger of a view by id or by name, with the shared log lines.
IBaseAreaTrigger* triggerOf(View* view, uint32_t triggerId) {
  IBaseAreaTrigger* trigger = view ? view->findTrigger(triggerId) : nullptr;
  if (view && !trigger) KR::log("LuaIntegration::getTriggerState(..), Failed to locate trigger: %i", int(triggerId));
  return trigger;
}
IBaseAreaTrigger* trigger(uint32_t viewId, uint32_t triggerId) {
  View* view = viewById(viewId);
  if (!view) KR::log("LuaIntegration::getTriggerState(..), Failed to locate view: %i", int(viewId));
  return triggerOf(view, triggerId);
}
IBaseAreaTrigger* triggerS(const char* name, uint32_t triggerId) {
  View* view = viewByName(name);
  if (!view) KR::log("LuaIntegration::getTriggerState(..), Failed to locate view: %s", name ? name : "");
  return triggerOf(view, triggerId);
}

// --- deferred tasks ---------------------------------------------------------

const char* keep(GameTaskManager& t, KR::IFunction* task, const char* text) {
  return text ? t.keepText(task, text) : nullptr;
}
template <typename V>
V keep(GameTaskManager&, KR::IFunction*, V value) {
  return value;
}

// Queues body with copies of the arguments (texts kept in the task's slot).
template <typename... P, typename... A>
void queue(void (*body)(P...), A... args) {
  if (!game()) return;
  GameTaskManager& t = game()->getTasks();
  using Task = KR::FunctionWithArgs<Dummy, P...>;
  Task* task = t.makeTask<Task>(body);
  if (task) task->arguments = std::make_tuple(P(keep(t, task, args))...);
}

void queue(void (*body)()) {
  if (game()) game()->getTasks().makeTask<KR::Function<Dummy>>(body);
}

// A null name (a rejected text) is a name nothing bears.
const char* orEmpty(const char* text) { return text ? text : ""; }

void openViewBody(const char* name) {
  if (game() && name) game()->getViewStack().requestOpenView(name);
}
void openViewImmediatelyBody(const char* name) {
  if (game() && name) game()->getViewStack().openView(name);
}
void closeActiveViewBody() {
  if (game()) game()->getViewStack().closeActiveView();
}
void playMovieBody(const char* name) {
  if (GameCursorManager::exists()) GameCursorManager::getInstance()->setCursor(-1);
  if (KR::VideoPlayer::exists() && name) KR::VideoPlayer::getInstance()->playMovie(name);
}
void playCutSceneBody(unsigned number, const char* name) {
  if (game() && name) game()->startCutScene(name, number);
}
void endGameBody() {
  if (game()) game()->finishGame();
}
NotebookUI* notebook() {
  if (!Game::exists()) return nullptr;
  auto* ui = dynamic_cast<InGameUI*>(Game::getInstance()->getHud());
  return ui ? ui->getNotebook() : nullptr;
}
void pushRecordBody(const char* section, const char* record) {
  if (NotebookUI* book = notebook()) book->pushRecord(section ? section : "", record ? record : "");
}
void showRecordBody(const char* section, const char* record) {
  if (NotebookUI* book = notebook()) book->showRecord(section ? section : "", record ? record : "");
}
void pushRecordImmediatelyBody(const char* section, const char* record) {
  if (NotebookUI* book = notebook()) book->pushRecordImmediately(section ? section : "", record ? record : "");
}

void forceTriggerBody(unsigned viewId, unsigned triggerId) {
  if (IBaseAreaTrigger* t = trigger(viewId, triggerId)) t->activate();
}
void lockViewChangingBody(bool lock) {
  if (!game()) return;
  int32_t& locks = game()->getViewStack().viewChangeLocks;
  locks = lock ? locks + 1 : (locks > 0 ? locks - 1 : 0);
}

void addItemBody(const char* name) {
  if (game() && name) game()->getInventory().addItem(name, true);
}
void addItemForciblyBody(const char* name) {
  if (game() && name) game()->getInventory().addItem(name, false);
}
void addItemNonModalBody(const char* name, float x, float y) {
  if (!game() || !name) return;
  InventoryItem* item = game()->getItemFactory().find(name);
  if (!item || game()->getInventory().addItem(name, false) != 0) return;
  GameMessage message;
  message.kind = kMsgItemFlyToRow;
  message.sender = nullptr;
  std::memcpy(message.payload.bytes, &x, 4);
  std::memcpy(message.payload.bytes + 4, &y, 4);
  message.item = item;
  game()->getDispatcher().dispatchMessage(&message);
}

void showMessageBody(const char* key, float seconds) {
  if (game() && key) game()->getMessages()->showMessage(key, seconds);
}
void showTextBody(const char* text, float seconds) {
  if (game() && text) game()->getMessages()->showNonLocalizedMessage(text, seconds);
}

PlayerProfile* profile() {
  return ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
}
void enableNotebookBody() {
  if (NotebookUI* book = notebook())
    book->enableNotebookButton();
  else if (PlayerProfile* p = profile())
    p->options.notebookButtonEnabled = 1;
}
AmuletsButton* casket() {
  auto* ui = Game::exists() ? dynamic_cast<InGameUI*>(Game::getInstance()->getHud()) : nullptr;
  return ui ? ui->getAmuletsButton() : nullptr;
}
void enableAmuletsBody(bool enable) {
  AmuletsButton* button = casket();
  if (button && enable)
    button->enable();
  else if (button)
    button->disable();
  else if (PlayerProfile* p = profile())
    p->options.amuletsButtonEnabled = enable ? 1 : 0;
}
void openAmuletsBody() {
  if (AmuletsButton* button = casket()) button->setOpen(true);
}
void amuletSceneBody(const char* name, bool play) {
  if (AmuletsButton* button = casket()) button->setScenePlay(name ? name : "", play);
}
void enableMapBody() {
  auto* ui = Game::exists() ? dynamic_cast<InGameUI*>(Game::getInstance()->getHud()) : nullptr;
  if (ui)
    ui->getHintPanel()->enableMapButton();
  else if (PlayerProfile* p = profile())
    p->options.locationsMapButtonEnabled = 1;
}

KR::SoundManager* sound() { return KR::SoundManager::exists() ? KR::SoundManager::getInstance() : nullptr; }
void fadeGroupBody(int group, float t1, float t2, float t3) {
  if (sound() && group >= 0 && group <= 2) sound()->startGroupFade(uint32_t(group), t1, t2, t3);
}
void fadeAllBody(float t1, float t2, float t3) {
  if (sound()) sound()->startFadeAllGroups(t1, t2, t3);
}
void playSoundBody(const char* name) {
  if (sound() && name) sound()->playSoundByName(name);
}
void stopAllSoundsBody() {
  if (sound()) sound()->stopAllSounds();
}
void stopGroupBody(int group) {
  if (sound() && group >= 0 && group <= 2) sound()->stopGroup(uint32_t(group));
}

// --- gGame -------------------------------------------------------------------

int openView(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&openViewBody, a.text());
  return 0;
}
int openViewImmediatly(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&openViewImmediatelyBody, a.text());
  return 0;
}
int closeActiveView(lua_State* L) {
  queue(&closeActiveViewBody);
  (void)L;
  return 0;
}
int lock(lua_State* L) {
  Args a(L, 1);
  if (a.ok && game()) game()->addLockTime(a.real());
  return 0;
}

uint32_t visits(View* view) { return view ? view->visitCount : 0; }
int getViewVisitsCountS(lua_State* L) {
  Args a(L, 1);
  if (!a.ok) return pushNumber(L, 0);
  const char* name = a.text();
  View* view = viewByName(name);
  if (!view) KR::log("LuaIntegration::getViewVisitsCount(..), Failed to locate view: %s", orEmpty(name));
  return pushNumber(L, visits(view));
}
int getViewVisitsCount(lua_State* L) {
  Args a(L, 1);
  if (!a.ok) return pushNumber(L, 0);
  const uint32_t id = a.u();
  View* view = viewById(id);
  if (!view) KR::log("LuaIntegration::getViewVisitsCount(..), Failed to locate view: %i", int(id));
  return pushNumber(L, visits(view));
}

int32_t* stateValue(View* view, uint32_t index) { return view ? view->state.get(index > 2 ? 2 : index) : nullptr; }

int setViewState(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const int32_t value = a.i();
  const uint32_t index = a.u(), id = a.u();
  View* view = viewById(id);
  if (!view) KR::log("LuaIntegration::getViewState(..), Failed to locate view: %i", int(id));
  if (int32_t* v = stateValue(view, index)) *v = value;
  return 0;
}
int setViewStateS(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const int32_t value = a.i();
  const uint32_t index = a.u();
  const char* name = a.text();
  View* view = viewByName(name);
  if (!view) KR::log("LuaIntegration::getViewStateS(..), Failed to locate view: %s", orEmpty(name));
  if (int32_t* v = stateValue(view, index)) *v = value;
  return 0;
}
int getViewState(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return pushNumber(L, 0);
  const uint32_t index = a.u(), id = a.u();
  View* view = viewById(id);
  if (!view) KR::log("LuaIntegration::getViewState(..), Failed to locate view: %i", int(id));
  const int32_t* v = stateValue(view, index);
  return pushNumber(L, v ? *v : 0);
}
int getViewStateS(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return pushNumber(L, 0);
  const uint32_t index = a.u();
  const char* name = a.text();
  View* view = viewByName(name);
  if (!view) KR::log("LuaIntegration::getViewStateS(..), Failed to locate view: %s", orEmpty(name));
  const int32_t* v = stateValue(view, index);
  return pushNumber(L, v ? *v : 0);
}

IViewExtension* extensionOf(View* view, const char* function, const char* name, uint32_t id) {
  if (!view) {
    if (name)
      KR::log("LuaIntegration::%s(..), Failed to locate view: %s", function, name);
    else
      KR::log("LuaIntegration::%s(..), Failed to locate view: %i", function, int(id));
    return nullptr;
  }
  if (!view->extension) {
    if (name)
      KR::log("LuaIntegration::%s(..), Failed to locate view extension for view: %s", function, name);
    else
      KR::log("LuaIntegration::%s(..), Failed to locate view extension for view: %i", function, int(id));
  }
  return view->extension;
}
int setViewExtensionSuspended(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const bool flag = a.flag();
  const uint32_t id = a.u();
  if (IViewExtension* e = extensionOf(viewById(id), "setViewExtensionSuspended", nullptr, id)) e->setSuspended(flag);
  return 0;
}
int setViewExtensionSuspendedS(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const bool flag = a.flag();
  const char* name = a.text();
  if (IViewExtension* e = extensionOf(viewByName(name), "setViewExtensionSuspended", orEmpty(name), 0))
    e->setSuspended(flag);
  return 0;
}
int isViewExtensionSuspended(lua_State* L) {
  Args a(L, 1);
  if (!a.ok) return pushBool(L, false);
  const uint32_t id = a.u();
  IViewExtension* e = extensionOf(viewById(id), "isViewExtensionSuspended", nullptr, id);
  return pushBool(L, e && e->isSuspended());
}
int isViewExtensionSuspendedS(lua_State* L) {
  Args a(L, 1);
  if (!a.ok) return pushBool(L, false);
  const char* name = a.text();
  IViewExtension* e = extensionOf(viewByName(name), "setViewExtensionSuspended", orEmpty(name), 0);
  return pushBool(L, e && e->isSuspended());
}
int playMovie(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&playMovieBody, a.text());
  return 0;
}
int playCutScene(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const char* name = a.text();
  const unsigned number = a.u();
  queue(&playCutSceneBody, number, name);
  return 0;
}
int endGame(lua_State*) {
  queue(&endGameBody);
  return 0;
}
int notebookCall(lua_State* L, void (*body)(const char*, const char*)) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const char* record = a.text();
  const char* section = a.text();
  queue(body, section, record);
  return 0;
}
int pushNotebookRecord(lua_State* L) { return notebookCall(L, &pushRecordBody); }
int showNotebookRecord(lua_State* L) { return notebookCall(L, &showRecordBody); }
int pushNotebookRecordImmediately(lua_State* L) { return notebookCall(L, &pushRecordImmediatelyBody); }
int openAmulets(lua_State*) {
  queue(&openAmuletsBody);
  return 0;
}
int setAmuletScenePlay(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const bool play = a.flag();
  const char* name = a.text();
  queue(&amuletSceneBody, name, play);
  return 0;
}
int setDebugTriggersEnabled(lua_State* L) {
  Args a(L, 1);
  if (a.ok && game()) game()->getViewStack().debugTriggersEnabled = a.flag();
  return 0;
}
int setAutosaveEnabled(lua_State* L) {
  Args a(L, 1);
  if (a.ok && game()) game()->setAutosaveEnabled(a.flag());
  return 0;
}
int doFuck(lua_State*) {
  if (!game()) return 0;
  for (View* view : game()->getRegistry().getViews()) {
    for (IBaseAreaTrigger* t : view->triggers) {
      if (t->getType() == 2 || (t->locationId == 107 && t->triggerId == 1) ||
          (t->locationId == 111 && t->triggerId == 2))
        continue;
      t->enabled = 0;
      sendTriggerChanged(t);
      t->dead = 1;
    }
  }
  return 0;
}

// --- gView -------------------------------------------------------------------

// The trigger named by the call's first two arguments (view id or name, trigger id).
template <bool ByName>
IBaseAreaTrigger* takeTrigger(Args& a) {
  const uint32_t triggerId = a.u();
  if (ByName) return triggerS(a.text(), triggerId);
  const uint32_t viewId = a.u();
  return trigger(viewId, triggerId);
}

template <bool ByName>
int getTriggerState(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return pushNumber(L, -1);
  const uint32_t index = a.u();
  IBaseAreaTrigger* t = takeTrigger<ByName>(a);
  if (!t) return pushNumber(L, -1);
  const int32_t* flags[] = {&t->flag0, &t->flag1, &t->flag2};
  return pushNumber(L, *flags[index > 2 ? 2 : index]);
}
template <bool ByName>
int setTriggerState(lua_State* L) {
  Args a(L, 4);
  if (!a.ok) return 0;
  const int32_t value = a.i();
  const uint32_t index = a.u();
  if (IBaseAreaTrigger* t = takeTrigger<ByName>(a)) {
    int32_t* flags[] = {&t->flag0, &t->flag1, &t->flag2};
    *flags[index > 2 ? 2 : index] = value;
  }
  return 0;
}
template <bool ByName>
int setTriggerEnabled(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const bool flag = a.flag();
  if (IBaseAreaTrigger* t = takeTrigger<ByName>(a)) {
    t->enabled = flag ? 1 : 0;
    sendTriggerChanged(t);
  }
  return 0;
}
template <bool ByName>
int isTriggerEnabled(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return pushBool(L, false);
  IBaseAreaTrigger* t = takeTrigger<ByName>(a);
  return pushBool(L, t && t->enabled != 0);
}
template <bool ByName>
int setTriggerDead(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const bool flag = a.flag();
  if (IBaseAreaTrigger* t = takeTrigger<ByName>(a)) t->dead = flag ? 1 : 0;
  return 0;
}
template <bool ByName>
int isTriggerDead(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return pushBool(L, false);
  IBaseAreaTrigger* t = takeTrigger<ByName>(a);
  return pushBool(L, t && t->dead != 0);
}
template <bool ByName>
int getTriggerUseByHintsFlag(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return pushBool(L, false);
  IBaseAreaTrigger* t = takeTrigger<ByName>(a);
  return pushBool(L, t && t->useByHints);
}
template <bool ByName>
int setTriggerUseByHintsFlag(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const bool flag = a.flag();
  if (IBaseAreaTrigger* t = takeTrigger<ByName>(a)) t->useByHints = flag;
  return 0;
}
template <bool ByName>
int getTriggerCursorType(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return pushNumber(L, -1);
  IBaseAreaTrigger* t = takeTrigger<ByName>(a);
  return pushNumber(L, t ? t->cursorType : -1);
}
template <bool ByName>
int setTriggerCursorType(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const int32_t type = a.i();
  if (IBaseAreaTrigger* t = takeTrigger<ByName>(a)) t->cursorType = type;
  return 0;
}
int forceTriggerProcessing(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const unsigned triggerId = a.u();
  const unsigned viewId = a.u();
  queue(&forceTriggerBody, viewId, triggerId);
  return 0;
}
int forceTriggerProcessingS(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  if (IBaseAreaTrigger* t = takeTrigger<true>(a))
    queue(&forceTriggerBody, unsigned(t->locationId), unsigned(t->triggerId));
  return 0;
}
int lockViewChanging(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&lockViewChangingBody, a.flag());
  return 0;
}

// --- gScene ------------------------------------------------------------------

template <bool ByName>
bool takeNode(Args& a, uint32_t* viewId, const char** name) {
  *name = a.text();
  if (!ByName) {
    *viewId = a.u();
    return true;
  }
  // By name: looked up now; an unknown view queues nothing and logs nothing.
  View* view = viewByName(a.text());
  if (view) *viewId = view->id;
  return view != nullptr;
}
void playNodeBody(unsigned viewId, const char* name, bool play) { nodePlayBody(viewId, orEmpty(name), play); }
void enableNodeBody(unsigned viewId, const char* name, bool enable) { nodeEnableBody(viewId, orEmpty(name), enable); }
void beginNodeBody(unsigned viewId, const char* name) { nodeRewindToBeginBody(viewId, orEmpty(name)); }
void endNodeBody(unsigned viewId, const char* name) { nodeRewindToEndBody(viewId, orEmpty(name)); }

template <bool ByName>
int setNodePlay(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const bool play = a.flag();
  uint32_t viewId = 0;
  const char* name = nullptr;
  if (takeNode<ByName>(a, &viewId, &name)) queue(&playNodeBody, unsigned(viewId), name, play);
  return 0;
}
template <bool ByName>
int setNodeEnable(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const bool enable = a.flag();
  uint32_t viewId = 0;
  const char* name = nullptr;
  if (takeNode<ByName>(a, &viewId, &name)) queue(&enableNodeBody, unsigned(viewId), name, enable);
  return 0;
}
template <bool ByName, bool ToEnd>
int rewindNode(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  uint32_t viewId = 0;
  const char* name = nullptr;
  if (takeNode<ByName>(a, &viewId, &name)) queue(ToEnd ? &endNodeBody : &beginNodeBody, unsigned(viewId), name);
  return 0;
}

// --- gInventory, gUIMessageManager, gProfile, gSound, gDialog ---------------

int isItemPresent(lua_State* L) {
  Args a(L, 1);
  if (!a.ok) return pushBool(L, false);
  const char* name = a.text();
  return pushBool(L, game() && name && game()->getInventory().isItemPresent(name));
}
int addItem(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&addItemBody, a.text());
  return pushNumber(L, 0);
}
int addItemForcibly(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&addItemForciblyBody, a.text());
  return pushNumber(L, 0);
}
int removeItem(lua_State* L) {
  Args a(L, 1);
  if (!a.ok) return pushNumber(L, 1);
  const char* name = a.text();
  return pushNumber(L, game() && name ? game()->getInventory().removeItem(name) : 1);
}
int addItemNonModal(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const float y = a.real(), x = a.real();
  queue(&addItemNonModalBody, a.text(), x, y);
  return 0;
}
InGameUI* hud() { return Game::exists() ? dynamic_cast<InGameUI*>(Game::getInstance()->getHud()) : nullptr; }
void updateInventoryItemsBody() {
  if (InGameUI* ui = hud())
    if (auto* row = dynamic_cast<ObjectsListPanelBehaviour*>(
            ui->getInventoryPanel()->findBehaviour("ObjectsListPanelBehaviour")))
      row->refreshItems();
}
int updateInventoryItemsUI(lua_State*) {
  queue(&updateInventoryItemsBody);
  return 0;
}
int setInventoryPanelLocking(lua_State* L) {
  Args a(L, 1);
  if (!a.ok) return 0;
  const bool lock = a.flag();
  if (InGameUI* ui = hud()) {
    ui->getInventoryPanel()->setLocked(lock);
    ui->scriptBlocked = lock;
  }
  return 0;
}
int showMessage(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const float seconds = a.real();
  queue(&showMessageBody, a.text(), seconds);
  return 0;
}
int showNonLocalizedMessage(lua_State* L) {
  Args a(L, 2);
  if (!a.ok) return 0;
  const float seconds = a.real();
  queue(&showTextBody, a.text(), seconds);
  return 0;
}
int hideAllMessages(lua_State*) {
  if (game()) game()->getMessages()->hideAllMessages();
  return 0;
}
int enableNotebookBtn(lua_State*) {
  queue(&enableNotebookBody);
  return 0;
}
int enableAmuletsBtn(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&enableAmuletsBody, a.flag());
  return 0;
}
int enableLocationsMapBtn(lua_State*) {
  queue(&enableMapBody);
  return 0;
}
int startVolumeFilterSingleGroup(lua_State* L) {
  Args a(L, 4);
  if (!a.ok) return 0;
  const float t3 = a.real(), t2 = a.real(), t1 = a.real();
  queue(&fadeGroupBody, int(a.i()), t1, t2, t3);
  return 0;
}
int startVolumeFilterAllGroups(lua_State* L) {
  Args a(L, 3);
  if (!a.ok) return 0;
  const float t3 = a.real(), t2 = a.real(), t1 = a.real();
  queue(&fadeAllBody, t1, t2, t3);
  return 0;
}
int playSound(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&playSoundBody, a.text());
  return 0;
}
int stopAllSounds(lua_State*) {
  queue(&stopAllSoundsBody);
  return 0;
}
int stopSoundsInGroup(lua_State* L) {
  Args a(L, 1);
  if (a.ok) queue(&stopGroupBody, int(a.i()));
  return 0;
}
void nextStageBody() {
  // The top view's dialogue moves on whatever kind its stage is.
  if (!Game::exists()) return;
  View* top = Game::getInstance()->getViewStack().getActiveView();
  if (top && top->extension && top->extension->getType() == 3)
    static_cast<DialogViewExtension*>(top->extension)->advance();
}
int nextStage(lua_State*) {
  queue(&nextStageBody);
  return 0;
}

const FunctionInfo kFunctions[] = {
    {"gGame", "openView", "s", 0, true, &openView},
    {"gGame", "openViewImmediatly", "s", 0, true, &openViewImmediatly},
    {"gGame", "closeActiveView", "", 0, true, &closeActiveView},
    {"gGame", "lock", "f", 0, false, &lock},
    {"gGame", "getViewVisitsCountS", "s", 'u', false, &getViewVisitsCountS},
    {"gGame", "getViewVisitsCount", "u", 'u', false, &getViewVisitsCount},
    {"gGame", "setViewState", "uui", 0, false, &setViewState},
    {"gGame", "setViewStateS", "sui", 0, false, &setViewStateS},
    {"gGame", "getViewState", "uu", 'i', false, &getViewState},
    {"gGame", "getViewStateS", "su", 'i', false, &getViewStateS},
    {"gGame", "setViewExtensionSuspended", "ub", 0, false, &setViewExtensionSuspended},
    {"gGame", "setViewExtensionSuspendedS", "sb", 0, false, &setViewExtensionSuspendedS},
    {"gGame", "isViewExtensionSuspended", "u", 'b', false, &isViewExtensionSuspended},
    {"gGame", "isViewExtensionSuspendedS", "s", 'b', false, &isViewExtensionSuspendedS},
    {"gGame", "playMovie", "s", 0, true, &playMovie},
    {"gGame", "playCutScene", "us", 0, true, &playCutScene},
    {"gGame", "endGame", "", 0, true, &endGame},
    {"gGame", "pushNotebookRecord", "ss", 0, true, &pushNotebookRecord},
    {"gGame", "showNotebookRecord", "ss", 0, true, &showNotebookRecord},
    {"gGame", "pushNotebookRecordImmediately", "ss", 0, true, &pushNotebookRecordImmediately},
    {"gGame", "openAmulets", "", 0, true, &openAmulets},
    {"gGame", "setAmuletScenePlay", "sb", 0, true, &setAmuletScenePlay},
    {"gGame", "setDebugTriggersEnabled", "b", 0, false, &setDebugTriggersEnabled},
    {"gGame", "setAutosaveEnabled", "b", 0, false, &setAutosaveEnabled},
    {"gGame", "doFuck", "", 0, false, &doFuck},
    {"gView", "getTriggerState", "uuu", 'i', false, &getTriggerState<false>},
    {"gView", "setTriggerState", "uuui", 0, false, &setTriggerState<false>},
    {"gView", "setTriggerEnabled", "uub", 0, false, &setTriggerEnabled<false>},
    {"gView", "isTriggerEnabled", "uu", 'b', false, &isTriggerEnabled<false>},
    {"gView", "setTriggerDead", "uub", 0, false, &setTriggerDead<false>},
    {"gView", "isTriggerDead", "uu", 'b', false, &isTriggerDead<false>},
    {"gView", "getTriggerUseByHintsFlag", "uu", 'b', false, &getTriggerUseByHintsFlag<false>},
    {"gView", "setTriggerUseByHintsFlag", "uub", 0, false, &setTriggerUseByHintsFlag<false>},
    {"gView", "getTriggerStateS", "suu", 'i', false, &getTriggerState<true>},
    {"gView", "setTriggerStateS", "suui", 0, false, &setTriggerState<true>},
    {"gView", "setTriggerEnabledS", "sub", 0, false, &setTriggerEnabled<true>},
    {"gView", "isTriggerEnabledS", "su", 'b', false, &isTriggerEnabled<true>},
    {"gView", "setTriggerDeadS", "sub", 0, false, &setTriggerDead<true>},
    {"gView", "isTriggerDeadS", "su", 'b', false, &isTriggerDead<true>},
    {"gView", "getTriggerUseByHintsFlagS", "su", 'b', false, &getTriggerUseByHintsFlag<true>},
    {"gView", "setTriggerUseByHintsFlagS", "sub", 0, false, &setTriggerUseByHintsFlag<true>},
    {"gView", "getTriggerCursorType", "uu", 'i', false, &getTriggerCursorType<false>},
    {"gView", "setTriggerCursorType", "uui", 0, false, &setTriggerCursorType<false>},
    {"gView", "getTriggerCursorTypeS", "su", 'i', false, &getTriggerCursorType<true>},
    {"gView", "setTriggerCursorTypeS", "sui", 0, false, &setTriggerCursorType<true>},
    {"gView", "forceTriggerProcessing", "uu", 0, true, &forceTriggerProcessing},
    {"gView", "forceTriggerProcessingS", "su", 0, true, &forceTriggerProcessingS},
    {"gView", "lockViewChanging", "b", 0, true, &lockViewChanging},
    {"gScene", "setNodePlay", "usb", 0, true, &setNodePlay<false>},
    {"gScene", "setNodeEnable", "usb", 0, true, &setNodeEnable<false>},
    {"gScene", "rewindNodeAnimationToBegin", "us", 0, true, &rewindNode<false, false>},
    {"gScene", "rewindNodeAnimationToEnd", "us", 0, true, &rewindNode<false, true>},
    {"gScene", "setNodePlayS", "ssb", 0, true, &setNodePlay<true>},
    {"gScene", "setNodeEnableS", "ssb", 0, true, &setNodeEnable<true>},
    {"gScene", "rewindNodeAnimationToBeginS", "ss", 0, true, &rewindNode<true, false>},
    {"gScene", "rewindNodeAnimationToEndS", "ss", 0, true, &rewindNode<true, true>},
    {"gInventory", "isItemPresent", "s", 'b', false, &isItemPresent},
    {"gInventory", "addItem", "s", 'u', true, &addItem},
    {"gInventory", "addItemForcibly", "s", 'u', true, &addItemForcibly},
    {"gInventory", "removeItem", "s", 'i', false, &removeItem},
    {"gInventory", "addItemNonModal", "sff", 0, true, &addItemNonModal},
    {"gInventory", "updateInventoryItemsUI", "", 0, true, &updateInventoryItemsUI},
    {"gInventory", "setInventoryPanelLocking", "b", 0, false, &setInventoryPanelLocking},
    {"gUIMessageManager", "showMessage", "sf", 0, true, &showMessage},
    {"gUIMessageManager", "showNonLocalizedMessage", "sf", 0, true, &showNonLocalizedMessage},
    {"gUIMessageManager", "hideAllMessages", "", 0, false, &hideAllMessages},
    {"gProfile", "enableNotebookBtn", "", 0, true, &enableNotebookBtn},
    {"gProfile", "enableAmuletsBtn", "b", 0, true, &enableAmuletsBtn},
    {"gProfile", "enableLocationsMapBtn", "", 0, true, &enableLocationsMapBtn},
    {"gSound", "startVolumeFilterSingleGroup", "ifff", 0, true, &startVolumeFilterSingleGroup},
    {"gSound", "startVolumeFilterAllGroups", "fff", 0, true, &startVolumeFilterAllGroups},
    {"gSound", "playSound", "s", 0, true, &playSound},
    {"gSound", "stopAllSounds", "", 0, true, &stopAllSounds},
    {"gSound", "stopSoundsInGroup", "i", 0, true, &stopSoundsInGroup},
    {"gDialog", "nextStage", "", 0, true, &nextStage},
};

}  // namespace

const FunctionInfo* functions(size_t* count) {
  *count = sizeof kFunctions / sizeof kFunctions[0];
  return kFunctions;
}

void registerTables(lua_State* state) {
  if (!state) return;
  for (const FunctionInfo& f : kFunctions) {
    const luaL_Reg one[] = {{f.name, f.function}, {nullptr, nullptr}};
    luaL_register(state, f.table, one);
    lua_pop(state, 1);
  }
}

}  // namespace LuaIntegration
}  // namespace HOG
