#include "lex_binded_function_manager.h"

namespace KR {

LexBindedFunctionManager::LexBindedFunctionManager() { setInstance(this); }

LexBindedFunctionManager::~LexBindedFunctionManager() {
  for (auto& entry : functions) delete entry.second;
  functions.clear();
}

void LexBindedFunctionManager::registerFunction(const std::string& name, ILexBinder* binder) {
  if (!functions.emplace(name, binder).second) delete binder;
}

void LexBindedFunctionManager::unregisterFunction(const std::string& name) {
  auto it = functions.find(name);
  if (it == functions.end()) return;
  delete it->second;
  functions.erase(it);
}

ILexBinder* LexBindedFunctionManager::findFunction(const std::string& name) const {
  auto it = functions.find(name);
  return it == functions.end() ? nullptr : it->second;
}

ILexBinder* LexBindedFunctionManager::cloneFunction(const std::string& name,
                                                    const std::vector<std::string>& arguments) const {
  ILexBinder* binder = findFunction(name);
  return binder ? binder->clone(arguments) : nullptr;
}

LexBindedFunction* LexBindedFunctionManager::makeCommand(const std::string& name,
                                                         const std::vector<std::string>& arguments) const {
  ILexBinder* clone = cloneFunction(name, arguments);
  return clone ? new LexBindedFunction(clone) : nullptr;
}

}  // namespace KR
