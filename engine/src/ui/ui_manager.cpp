#include "ui/ui_manager.h"

#include <lua.hpp>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "format_string.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "particle_system.h"
#include "report_assert.h"
#include "scoped_lock.h"
#include "timer_manager.h"
#include "ui/ui_button.h"
#include "ui/ui_check_box.h"
#include "ui/ui_controller.h"
#include "ui/ui_label.h"
#include "ui/ui_list_view.h"
#include "ui/ui_load_cache.h"
#include "ui/ui_particle_fx.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_sprite.h"
#include "ui/ui_state.h"
#include "ui/ui_table_keys.h"
#include "ui/ui_text_edit.h"
#include "ui/ui_widget.h"

namespace KR {

namespace {

using Binder = LexBinder1<std::string, UIManager>;

struct Command {
  const char* name;
  void (UIManager::*member)(std::string);
};
// Registered in this order.
const Command kCommands[] = {{"hide", &UIManager::hide},
                             {"hideForcibly", &UIManager::hideForcibly},
                             {"show", &UIManager::show},
                             {"showForcibly", &UIManager::showForcibly}};

// Deeper trees than this are refused rather than risking the stack: within
// one table, along a chain of files, and in all: the widgets being built on
// this thread, across every "instance" and "related" load in progress.
constexpr size_t kMaxTreeDepth = 128;
thread_local size_t gWidgetsInBuild = 0;

class WidgetInBuild {
 public:
  WidgetInBuild() { ++gWidgetsInBuild; }
  ~WidgetInBuild() { --gWidgetsInBuild; }
  WidgetInBuild(const WidgetInBuild&) = delete;
  WidgetInBuild& operator=(const WidgetInBuild&) = delete;
};

// The (file, table) pairs being built on this thread, outermost first. Each
// "instance" or "related" load starts a fresh Lua state, so only this list
// sees a table that leads back to itself through other files.
thread_local std::vector<std::pair<std::string, std::string>> gTablesInBuild;

class TableInBuild {
 public:
  TableInBuild(const std::string& file, const std::string& table) { gTablesInBuild.emplace_back(file, table); }
  ~TableInBuild() { gTablesInBuild.pop_back(); }
  TableInBuild(const TableInBuild&) = delete;
  TableInBuild& operator=(const TableInBuild&) = delete;
};

// Attaches a freshly made widget to its parent and reads its keys.
template <typename W>
W* finishCreated(W* widget, LuaScript& script, UIWidget* parent) {
  widget->load(script);
  if (parent && std::find(parent->children.begin(), parent->children.end(), widget) == parent->children.end())
    parent->insertChild(int(parent->children.size()), widget);
  return widget;
}

UIWidget* createPlain(LuaScript& script, const std::string& id, UIWidget* parent) {
  return finishCreated(new UIWidget(id, parent), script, parent);
}

UIWidget* createSprite(LuaScript& script, const std::string& id, UIWidget* parent) {
  std::string image, table, package = "default";
  uiReadString(script, "imagename", &image);
  uiReadString(script, "tablename", &table);
  uiReadString(script, "package", &package);
  return finishCreated(new UISprite(id, parent, image, table, package), script, parent);
}

UIWidget* createLabel(LuaScript& script, const std::string& id, UIWidget* parent) {
  std::string text;
  uiReadString(script, "text", &text);
  return finishCreated(new UILabel(id, parent, text), script, parent);
}

UIWidget* createButton(LuaScript& script, const std::string& id, UIWidget* parent) {
  return finishCreated(new UIButton(id, parent), script, parent);
}

// Calls body with each table element 1, 2, ... of the list `key` of the
// current table opened as the current table; other elements are skipped, the
// first nil ends the list.
template <typename Body>
void forEachListTable(LuaScript& script, const char* key, Body body) {
  lua_State* state = script.getState();
  script.pushField(key);
  if (lua_istable(state, -1)) {
    for (int i = 1;; ++i) {
      lua_rawgeti(state, -1, i);
      if (lua_isnil(state, -1)) {
        lua_pop(state, 1);
        break;
      }
      if (script.openCurrentTable()) {
        body();
        script.closeTable();
      }
      lua_pop(state, 1);
    }
  }
  lua_pop(state, 1);
}

template <typename W>
UIWidget* createSimple(LuaScript& script, const std::string& id, UIWidget* parent) {
  return finishCreated(new W(id, parent), script, parent);
}

UIWidget* createParticleFX(LuaScript& script, const std::string& id, UIWidget* parent) {
  std::string file;
  if (!uiReadString(script, "filename", &file)) KR_FATAL("Failed to read filename for UIParticleFX");
  ParticleFX* effect = ParticleSystem::exists() ? ParticleSystem::getInstance()->createEffect(file) : nullptr;
  return finishCreated(new UIParticleFX(id, parent, effect), script, parent);
}

// The node a "scene" key names: "@parent/path" is a node of the scene of the
// nearest enclosing scene-node widget that has it (not owned); anything else
// is a scene file loaded for the widget (owned).
AE::ISceneNode* resolveScene(const std::string& scene, UIWidget* parent, bool* owned) {
  *owned = false;
  AE::ISceneNode* node = nullptr;
  if (scene.find("@parent") != std::string::npos) {
    const std::string path = scene.size() > 7 ? scene.substr(7) : std::string();
    for (UIWidget* w = parent; w && !node; w = w->parent) {
      if (w->getType() != kUISceneNodeType) continue;
      if (AE::ISceneNode* owner = static_cast<UISceneNode*>(w)->node) node = owner->findByPath(path.c_str());
    }
  } else if (!scene.empty()) {
    node = AE::loadScene(scene);
    *owned = node != nullptr;
  }
  if (!node) log("ERROR: Can't load scene node from %s!", scene.c_str());
  return node;
}

UIWidget* createSceneNode(LuaScript& script, const std::string& id, UIWidget* parent) {
  std::string scene, package = "default";
  Vector2<float> scale(1.0f, 1.0f);
  uiReadString(script, "scene", &scene);
  uiReadString(script, "package", &package);  // read, but scenes come from "default"
  uiReadPair(script, "scale", &scale);
  bool owned = false;
  AE::ISceneNode* node = resolveScene(scene, parent, &owned);
  if (node) {
    node->setScaleX(scale.x);
    node->setScaleY(scale.y);
  }
  return finishCreated(new UISceneNode(id, parent, owned, node), script, parent);
}

UIWidget* createSceneList(LuaScript& script, const std::string& id, UIWidget* parent) {
  std::string scene, package = "default", type, orient;
  uint32_t flags = 3;
  uiReadString(script, "scene", &scene);
  uiReadString(script, "package", &package);
  uiReadString(script, "type", &type);
  uiReadUInt(script, "scrolling", &flags);
  uiReadString(script, "orient", &orient);
  bool owned = false;
  AE::ISceneNode* node = resolveScene(scene, parent, &owned);
  auto* list = new UISceneList(id, parent, node, type == "book" ? 1 : 0, owned, orient != "hor", flags);
  if (node) {
    forEachListTable(script, "items", [&] {
      std::string itemScene, itemId;
      uiReadString(script, "scene", &itemScene);
      uiReadString(script, "id", &itemId);
      if (!itemScene.empty() && itemScene[0] == '/') {
        if (AE::ISceneNode* found = node->findByPath(itemScene.c_str()))
          list->addItem(new UISceneListItem(itemId, found, true));
        else
          log("ERROR: Can't load scene node from %s!", itemScene.c_str());
      } else {
        list->addItem(new UISceneListItem(itemScene, itemId));
      }
    });
  }
  return finishCreated(list, script, parent);
}

struct ClassEntry {
  const char* name;
  UIWidget* (*create)(LuaScript&, const std::string&, UIWidget*);
};
const ClassEntry kClasses[] = {{"UIWidget", &createPlain},
                               {"UISprite", &createSprite},
                               {"UISceneNode", &createSceneNode},
                               {"UIButton", &createButton},
                               {"UIParticleFX", &createParticleFX},
                               {"UILabel", &createLabel},
                               {"UIProgressBar", &createSimple<UIProgressBar>},
                               {"UIScrollArea", &createSimple<UIScrollArea>},
                               {"UICheckBox", &createSimple<UICheckBox>},
                               {"UITextEdit", &createSimple<UITextEdit>},
                               {"UIListView", &createSimple<UIListView>},
                               {"UISceneList", &createSceneList}};

bool inSubtree(const UIWidget* root, const UIWidget* widget) {
  // Up the parent chain, checking each link, instead of searching the subtree.
  for (const UIWidget* p = widget; p; p = p->parent) {
    if (p == root) return true;
    if (p->parent && std::find(p->parent->children.begin(), p->parent->children.end(), p) == p->parent->children.end())
      return root->hasDescendant(widget);
  }
  return false;
}

}  // namespace

UIManager::UIManager() : controller(new UIPCController()), clickSound("button_clicked_sound") {
  setInstance(this);
  if (LexBindedFunctionManager::exists()) {
    LexBindedFunctionManager* registry = LexBindedFunctionManager::getInstance();
    for (const Command& command : kCommands) registry->registerFunction(command.name, new Binder(this, command.member));
  }
  initRecursiveMutex(&lock);
}

UIManager::~UIManager() {
  {
    ScopedLock guard(ScopedLock::lock(&lock));
    std::vector<UIWidget*> doomed;
    doomed.swap(roots);
    shownStack.clear();
    captured = nullptr;
    for (UIWidget* root : doomed) delete root;
    commandQueue.clear();
    delete controller;
    controller = nullptr;
  }
  observers.clear();
  // The commands bound to this manager go with it.
  if (LexBindedFunctionManager::exists()) {
    LexBindedFunctionManager* registry = LexBindedFunctionManager::getInstance();
    for (const Command& command : kCommands) {
      auto* binder = dynamic_cast<Binder*>(registry->findFunction(command.name));
      auto* function = binder ? dynamic_cast<Function1<std::string, UIManager>*>(binder->getFunction()) : nullptr;
      if (function && function->object == this) registry->unregisterFunction(command.name);
    }
  }
  pthread_mutex_destroy(&lock);
  setInstance(nullptr);
}

// ---------------------------------------------------------------------------
// Per frame

void UIManager::update() {
  const float frameTime = TimerManager::exists() ? TimerManager::getInstance()->getFrameTime() : 0.0f;
  update(frameTime);
}

void UIManager::update(float frameTime) {
  controller->processInput();
  ScopedLock guard(ScopedLock::lock(&lock));
  const float dt = std::min(frameTime, TimerManager::kMaxFrameTime);
  const std::vector<UIWidget*> trees = roots;
  for (UIWidget* tree : trees)
    if (isRoot(tree)) tree->update(dt);
  for (size_t i = 0; i < roots.size();) {
    if (roots[i]->destroyPending)
      destroyRootAt(i);
    else
      ++i;
  }
}

void UIManager::render() {
  ScopedLock guard(ScopedLock::lock(&lock));
  for (size_t i = 0; i < shownStack.size(); ++i) {
    if (!shownStack[i]->drawn) shownStack[i]->render(false);
  }
  clearDrawnFlags();
}

void UIManager::clearDrawnFlags() {
  ScopedLock guard(ScopedLock::lock(&lock));
  for (UIWidget* root : roots) root->clearDrawnFlag();
  // A widget shown on its own may stand outside every root.
  for (UIWidget* entry : shownStack) entry->drawn = false;
}

// ---------------------------------------------------------------------------
// Loading

UIWidget* UIManager::loadUI(const std::string& scriptName, const std::string& table, UIWidget* parent,
                            const std::string& package) {
  UILoadCache::Scope cache;
  LuaScript script;
  if (!script.getState() || !script.loadScript(scriptName, package))
    KR_FATAL(formatString("Failed to load ui script %s: %s", scriptName.c_str(), script.getLoadError().c_str()));
  return buildFromScript(script, table, parent, scriptName);
}

UIWidget* UIManager::tryLoadUI(const std::string& scriptName, const std::string& table, const std::string& package) {
  UILoadCache::Scope cache;
  LuaScript script;
  if (!script.getState() || !script.loadScript(scriptName, package)) {
    log("Failed to load ui script %s: %s", scriptName.c_str(), script.getLoadError().c_str());
    return nullptr;
  }
  if (!script.openTable(table)) {
    log("Failed to load UI table %s from %s", table.c_str(), scriptName.c_str());
    return nullptr;
  }
  script.closeTable();
  return buildFromScript(script, table, nullptr, scriptName);
}

UIWidget* UIManager::buildFromScript(LuaScript& script, const std::string& table, UIWidget* parent,
                                     const std::string& scriptName) {
  UILoadCache::Scope cache;
  const std::pair<std::string, std::string> key(scriptName, table);
  if (std::find(gTablesInBuild.begin(), gTablesInBuild.end(), key) != gTablesInBuild.end()) {
    log("ERROR: UIManager: table '%s' of %s leads back to itself through \"instance\" or \"related\"; it is left out",
        table.c_str(), scriptName.c_str());
    return nullptr;
  }
  if (gTablesInBuild.size() >= kMaxTreeDepth) {
    log("ERROR: UIManager: table '%s' of %s nests UI files too deeply; it is left out", table.c_str(),
        scriptName.c_str());
    return nullptr;
  }
  TableInBuild inBuild(scriptName, table);
  if (!script.openTable(table))
    KR_FATAL(formatString("Failed to load UI table %s from %s", table.c_str(), scriptName.c_str()));
  UIWidget* widget = createWidget(script, parent, scriptName, table);
  script.closeTable();
  if (widget && !parent) addRoot(widget);
  return widget;
}

UIWidget* UIManager::createWidget(LuaScript& script, UIWidget* parent, const std::string& scriptName,
                                  const std::string& tableName) {
  std::vector<const void*> path;
  return buildOne(script, parent, scriptName, tableName, path);
}

void UIManager::readRelated(LuaScript& script) {
  forEachListTable(script, "related", [&] {
    std::string file, id;
    uiReadString(script, "filename", &file);
    uiReadString(script, "id", &id);
    if (!file.empty() && !id.empty()) loadUI(file, id, nullptr, "default");
  });
}

UIWidget* UIManager::buildOne(LuaScript& script, UIWidget* parent, const std::string& scriptName,
                              const std::string& tableName, std::vector<const void*>& path) {
  lua_State* state = script.getState();
  const void* self = lua_topointer(state, -1);
  // Each file's own nesting stays under the bound, and the chain of files
  // does; the total still must, or the two bounds multiply.
  if (path.size() >= kMaxTreeDepth || gWidgetsInBuild >= kMaxTreeDepth || !lua_checkstack(state, 16)) {
    log("ERROR: UIManager: table '%s' of %s nests widgets too deeply", tableName.c_str(), scriptName.c_str());
    return nullptr;
  }
  WidgetInBuild inBuild;
  if (std::find(path.begin(), path.end(), self) != path.end()) {
    log("ERROR: UIManager: table '%s' of %s holds a widget among its own childs", tableName.c_str(),
        scriptName.c_str());
    return nullptr;
  }
  path.push_back(self);

  readRelated(script);
  std::string id, className, instance;
  if (!uiReadString(script, "id", &id)) KR_FATAL("Failed to read UI identity");
  if (!uiReadString(script, "class", &className)) KR_FATAL("Failed to read UI class name");

  UIWidget* widget = nullptr;
  if (uiReadString(script, "instance", &instance) && !instance.empty() && instance[0] == '#') {
    const std::string url = instance.substr(1);
    const size_t colon = url.find(':');
    const std::string file = url.substr(0, colon);
    const std::string table = colon == std::string::npos ? std::string() : url.substr(colon + 1);
    if (file.empty() || table.empty()) KR_FATAL("Bad url specified in UI");
    widget = loadUI(file, table, parent, "default");
    if (widget) {
      widget->name = id;
      widget->load(script);
    }
  } else {
    for (const ClassEntry& entry : kClasses) {
      if (className == entry.name) {
        widget = entry.create(script, id, parent);
        break;
      }
    }
    if (!widget)
      log("ERROR: UIManager: unknown UI class '%s' of widget '%s' in table '%s' of %s; the widget is left out",
          className.c_str(), id.c_str(), tableName.c_str(), scriptName.c_str());
  }
  if (!widget) {
    path.pop_back();
    return nullptr;
  }

  readChildren(script, widget, scriptName, tableName, path);
  const int32_t type = widget->getType();
  if (type == kUIButtonType || type == kUICheckBoxType || type == kUITextEditType) UILabel::makeCaption(script, widget);
  if (type == kUIListViewType) UIListView::makeScrollArea(script, static_cast<UIListView*>(widget));
  readStates(script, widget);
  readEvents(script, widget);
  widget->ensureHideState();
  if (widget->enabled && widget->visible && !widget->destroyPending) {
    std::string initial;
    if (uiReadString(script, "initialState", &initial)) widget->setStateForcibly(initial);
  } else {
    widget->setStateForcibly("onDisable");
  }
  path.pop_back();
  return widget;
}

void UIManager::readChildren(LuaScript& script, UIWidget* widget, const std::string& scriptName,
                             const std::string& tableName, std::vector<const void*>& path) {
  forEachListTable(script, "childs", [&] { buildOne(script, widget, scriptName, tableName, path); });
}

void UIManager::readStates(LuaScript& script, UIWidget* widget) {
  forEachListTable(script, "states", [&] {
    std::string stateName;
    if (!uiReadString(script, "id", &stateName)) return;
    lua_State* state = script.getState();
    script.pushField("propertyChanges");
    const bool hasList = lua_istable(state, -1);
    script.pop();
    if (!hasList) return;
    auto* uiState = new UIState(stateName);
    forEachListTable(script, "propertyChanges", [&] {
      std::string target, property, transition;
      float duration = 0.0f;
      uiReadString(script, "target", &target);
      uiReadString(script, "property", &property);
      uiReadString(script, "transition", &transition);
      uiReadFloat(script, "duration", &duration);
      UIWidget* driven = widget->findDescendant(target);
      if (!driven) {
        log("ERROR: UIManager::createState bad target widget specified '%s', widget '%s'", target.c_str(),
            widget->name.c_str());
        return;
      }
      UIState::IPropertyChange* change = nullptr;
      if (property == "transparency") {
        float value = 0.0f;
        uiReadFloat(script, "value", &value);
        change = new UIState::PropertyChange<float>(driven, &driven->alpha, value, duration);
      } else if (property == "offset" || (property == "scale" && driven->getType() == kUISpriteType)) {
        Vector2<float> value;
        uiReadPair(script, "value", &value);
        Vector2<float>* field = property == "offset" ? &driven->offset : &static_cast<UISprite*>(driven)->scale;
        change = new UIState::PropertyChange<Vector2<float>>(driven, field, value, duration);
      } else if (property == "color") {
        Color value;
        uiReadColor(script, "value", &value);
        change = new UIState::PropertyChange<Color>(driven, &driven->color, value, duration);
      }
      if (!change) {
        log("ERROR: UIManager::createState bad property change specified '%s', widget '%s'", property.c_str(),
            widget->name.c_str());
        return;
      }
      uiState->addPropertyChange(change);
    });
    if (uiState->changes.empty() || !widget->addState(stateName, uiState)) delete uiState;
  });
  if (widget->currentState) {
    for (UIState::IPropertyChange* change : widget->currentState->changes) change->finish();
  }
}

void UIManager::readEvents(LuaScript& script, UIWidget* widget) {
  forEachListTable(script, "events", [&] {
    std::string element, slot, command;
    uiReadString(script, "element", &element);
    uiReadString(script, "slot", &slot);
    uiReadString(script, "command", &command);
    bindEvent(widget, element, slot, command);
  });
}

void UIManager::bindEvent(UIWidget* widget, const std::string& element, const std::string& slot,
                          const std::string& command) {
  UIWidget* receiver = widget ? widget->findDescendant(element) : nullptr;
  if (!receiver) return;
  const size_t colon = command.find(':');
  const std::string name = command.substr(0, colon);
  if (name.size() < 2) return;
  std::vector<std::string> arguments;
  if (colon != std::string::npos) {
    std::string piece;
    const std::string rest = command.substr(colon + 1) + ",";
    for (char c : rest) {
      if (c == ',') {
        if (!piece.empty()) arguments.push_back(piece);
        piece.clear();
      } else if (c != ' ') {
        piece += c;
      }
    }
  }
  if (!LexBindedFunctionManager::exists()) return;
  LexBindedFunction* function = LexBindedFunctionManager::getInstance()->makeCommand(name, arguments);
  if (function) receiver->processEvent(slot, function);
}

// ---------------------------------------------------------------------------
// Roots and the shown stack

void UIManager::addRoot(UIWidget* widget) {
  if (!widget) return;
  ScopedLock guard(ScopedLock::lock(&lock));
  if (std::find(roots.begin(), roots.end(), widget) == roots.end()) roots.push_back(widget);
  if (widget->shown) bringToTop(widget);
}

int UIManager::destroyUI(UIWidget* widget) {
  if (!widget) return 1;
  ScopedLock guard(ScopedLock::lock(&lock));
  auto found = std::find(roots.begin(), roots.end(), widget);
  if (found == roots.end()) return 1;
  destroyRootAt(size_t(found - roots.begin()));
  return 0;
}

void UIManager::destroyRootAt(size_t index) {
  UIWidget* root = roots[index];
  notifyDestroyed(root);
  captured = nullptr;
  shownStack.erase(std::remove_if(shownStack.begin(), shownStack.end(),
                                  [root](UIWidget* entry) { return entry == root || root->hasDescendant(entry); }),
                   shownStack.end());
  roots.erase(roots.begin() + long(index));
  delete root;
}

void UIManager::bringToTop(UIWidget* widget) {
  if (!widget || widget->destroyPending) return;
  ScopedLock guard(ScopedLock::lock(&lock));
  shownStack.erase(std::remove(shownStack.begin(), shownStack.end(), widget), shownStack.end());
  shownStack.push_back(widget);
  controller->onWidgetShown(widget);
  notifyShown(widget);
}

UIWidget* UIManager::getTopmostVisible() {
  ScopedLock guard(ScopedLock::lock(&lock));
  for (auto it = shownStack.rbegin(); it != shownStack.rend(); ++it)
    if ((*it)->shown) return *it;
  return nullptr;
}

bool UIManager::isInputReachable(UIWidget* widget) {
  ScopedLock guard(ScopedLock::lock(&lock));
  for (auto it = shownStack.rbegin(); it != shownStack.rend(); ++it) {
    UIWidget* entry = *it;
    if (!entry->shown) continue;
    if (inSubtree(entry, widget)) return true;
    if (entry->modal) return false;
  }
  return false;
}

void UIManager::setWidgetParent(UIWidget* widget, UIWidget* parent) {
  if (!widget) return;
  ScopedLock guard(ScopedLock::lock(&lock));
  UIWidget* oldParent = widget->parent;
  if (parent) {
    if (std::find(parent->children.begin(), parent->children.end(), widget) == parent->children.end()) {
      widget->parent = parent;
      parent->children.push_back(widget);
    }
  } else {
    widget->parent = nullptr;
    if (!oldParent) {
      // A root made a root again ends up once in roots, at the end.
      auto first = std::find(roots.begin(), roots.end(), widget);
      if (first != roots.end()) roots.erase(first);
    }
    addRoot(widget);
  }
  if (oldParent && oldParent != parent) oldParent->removeChild(widget);
  if (!oldParent && parent) {
    auto first = std::find(roots.begin(), roots.end(), widget);
    if (first != roots.end()) roots.erase(first);
  }
}

bool UIManager::isRoot(const UIWidget* widget) {
  ScopedLock guard(ScopedLock::lock(&lock));
  return std::find(roots.begin(), roots.end(), widget) != roots.end();
}

std::vector<UIWidget*> UIManager::getRoots() {
  ScopedLock guard(ScopedLock::lock(&lock));
  return roots;
}

std::vector<UIWidget*> UIManager::getShownStack() {
  ScopedLock guard(ScopedLock::lock(&lock));
  return shownStack;
}

void UIManager::applyToNamed(const std::string& name, void (UIWidget::*operation)()) {
  ScopedLock guard(ScopedLock::lock(&lock));
  for (UIWidget* root : roots) {
    if (UIWidget* found = root->findDescendant(name)) {
      (found->*operation)();
      return;
    }
  }
}

void UIManager::show(std::string name) { applyToNamed(name, &UIWidget::show); }
void UIManager::showForcibly(std::string name) { applyToNamed(name, &UIWidget::showForcibly); }
void UIManager::hide(std::string name) { applyToNamed(name, &UIWidget::hide); }
void UIManager::hideForcibly(std::string name) { applyToNamed(name, &UIWidget::hideForcibly); }

// ---------------------------------------------------------------------------
// Input and commands

void UIManager::setCapturedWidget(UIWidget* widget, bool excludesChildren) {
  ScopedLock guard(ScopedLock::lock(&lock));
  captured = widget;
  captureExcludesChildren = excludesChildren;
}

void UIManager::queueCommands(UIWidget* owner, const std::vector<IFunction*>& functions) {
  ScopedLock guard(ScopedLock::lock(&lock));
  commandQueue.push_back(QueuedCommands{owner, functions});
}

bool UIManager::takeQueuedCommands(QueuedCommands* out) {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (commandQueue.empty()) return false;
  *out = commandQueue.front();
  commandQueue.pop_front();
  return true;
}

void UIManager::runCommands(const QueuedCommands& entry) {
  UIWidget* outerOwner = runningOwner;
  const bool outerAborted = runningAborted;
  runningOwner = entry.owner;
  runningAborted = false;
  for (IFunction* function : entry.functions) {
    // A command before this one destroyed the owner, and this command with it.
    if (runningAborted) break;
    function->invokeStored();
  }
  const bool innerAborted = runningAborted;
  runningOwner = outerOwner;
  runningAborted = outerAborted || (innerAborted && outerOwner == entry.owner);
}

void UIManager::forgetCommands(UIWidget* owner) {
  ScopedLock guard(ScopedLock::lock(&lock));
  commandQueue.erase(std::remove_if(commandQueue.begin(), commandQueue.end(),
                                    [owner](const QueuedCommands& entry) { return entry.owner == owner; }),
                     commandQueue.end());
  if (runningOwner == owner) runningAborted = true;
}

// ---------------------------------------------------------------------------
// Observers

void UIManager::addObserver(UIObserver* observer) {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (observer && std::find(observers.begin(), observers.end(), observer) == observers.end())
    observers.push_back(observer);
}

void UIManager::removeObserver(UIObserver* observer) {
  ScopedLock guard(ScopedLock::lock(&lock));
  observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

void UIManager::notifyShown(UIWidget* widget) {
  for (UIObserver* observer : observers) observer->onWidgetShown(widget);
}

void UIManager::notifyHidden(UIWidget* widget) {
  for (UIObserver* observer : observers) observer->onWidgetHidden(widget);
}

void UIManager::notifyDestroyed(UIWidget* widget) {
  for (UIObserver* observer : observers) observer->onWidgetDestroyed(widget);
}

}  // namespace KR
