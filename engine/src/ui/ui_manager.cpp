#include "ui/ui_manager.h"

namespace KR {

UIManager::UIManager() { setInstance(this); }

UIManager::~UIManager() = default;

void UIManager::update() {}

}  // namespace KR
