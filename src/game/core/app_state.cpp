#include "core/app_state.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "function.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"

namespace HOG {

void IAppState::activate() {
  if (loaded) {
    onActivate();
    return;
  }
  KR::log("void IAppState::activate()");
  loadingThreadFunc();
}

void IAppState::loadingThreadFunc() {
  load();
  loaded = true;
  onActivate();
  KR::log("IAppState::loadingThreadFunc, IAppState: %x, loading done", unsigned(reinterpret_cast<uintptr_t>(this)));
}

AppStateManager::AppStateManager() {
  setInstance(this);
  if (KR::LexBindedFunctionManager::exists()) {
    KR::LexBindedFunctionManager::getInstance()->registerFunction(
        "setState", new KR::LexBinder1<std::string, AppStateManager>(
                        new KR::Function1<std::string, AppStateManager>(this, &AppStateManager::setState)));
    bound = true;
  }
}

AppStateManager::~AppStateManager() {
  shutdown();
  if (bound && KR::LexBindedFunctionManager::exists())
    KR::LexBindedFunctionManager::getInstance()->unregisterFunction("setState");
}

void AppStateManager::registerState(IAppState* state) {
  if (states.empty()) {
    current = state;
    state->activate();
  }
  states.push_back(state);
}

IAppState* AppStateManager::findState(const char* name) const {
  for (IAppState* state : states)
    if (std::strcmp(state->getName(), name) == 0) return state;
  return nullptr;
}

void AppStateManager::setState(std::string name) {
  IAppState* state = findState(name.c_str());
  if (!state) return;
  next = state;
  if (current && current != state && current->loaded) {
    current->onDeactivate();
    current->unload();
    current->loaded = false;
  }
  previous = current;
  current = state;
  state->activate();
  next = nullptr;
}

void AppStateManager::shutdown() {
  if (current) current->onDeactivate();
  current = nullptr;
  previous = nullptr;
  std::vector<IAppState*> owned;
  owned.swap(states);
  // A state registered twice is stored twice but deleted once.
  for (size_t i = 0; i < owned.size(); ++i)
    if (std::find(owned.begin(), owned.begin() + i, owned[i]) == owned.begin() + i) delete owned[i];
}

}  // namespace HOG
