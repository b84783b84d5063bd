#include "ui/ui_text_edit.h"

#include <algorithm>
#include <cmath>

#include "function.h"
#include "input_manager_win_mac.h"
#include "lua_script_2.h"
#include "ui/ui_font.h"
#include "ui/ui_label.h"
#include "ui/ui_pointer.h"
#include "ui/ui_table_keys.h"

namespace KR {

namespace {

enum : uint8_t { kKeyBack = 8, kKeyEnter = 13, kKeyLeft = 37, kKeyRight = 39, kKeyDelete = 46 };

// Letters, digits, the number pad and the codes of layout-specific keys.
bool typesCharacter(uint8_t code) {
  return (code >= 48 && code <= 57) || (code >= 65 && code <= 90) || (code >= 97 && code <= 122) || code >= 128;
}

bool isSpecial(wchar_t c) {
  return c <= 0x1F || (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
         (c >= 0x7B && c <= 0x7E);
}

}  // namespace

UITextEdit::~UITextEdit() {
  if (UIManager::exists()) UIManager::getInstance()->forgetCommands(this);
  for (IFunction* command : commands) delete command;
}

void UITextEdit::processEvent(const std::string& event, IFunction* function) {
  if (event != "textEntered") {
    delete function;
    return;
  }
  if (function && std::find(commands.begin(), commands.end(), function) == commands.end()) commands.push_back(function);
}

void UITextEdit::bindCaption() {
  UIWidget* found = findDescendant("caption");
  caption = found && found->getType() == kUILabelType ? static_cast<UILabel*>(found) : nullptr;
  captionBound = true;
  caret = caption ? uint32_t(caption->text.size()) : 0;
}

void UITextEdit::ensureCaption() {
  if (!captionBound) bindCaption();
}

std::wstring UITextEdit::getText() {
  ensureCaption();
  return caption ? caption->text : std::wstring();
}

bool UITextEdit::insertCharacter(wchar_t character) {
  if (character == 0 || (filterSpecialCharacters && isSpecial(character))) return false;
  ensureCaption();
  if (!caption || caption->text.size() >= maxLength) return false;
  // The text may have been set from outside since the caret last moved.
  caret = std::min(caret, uint32_t(caption->text.size()));
  caption->text.insert(caption->text.begin() + caret, character);
  ++caret;
  return true;
}

int32_t UITextEdit::processMessage(uint32_t event) {
  const uint32_t kind = uiEventKind(event);
  if (kind == kUIEventLeftHeld) {
    if (!hitTest(uiPointer()->pressPosition)) return 0;
    uiCaptureIfFree(this, false);
    return 1;
  }
  if (kind == kUIEventLeftReleased) {
    uiReleaseCapture(this);
    return 1;
  }
  if (kind != kUIEventKeyPressed) return 0;
  const uint8_t code = uiEventKey(event);
  ensureCaption();
  const uint32_t length = caption ? uint32_t(caption->text.size()) : 0;
  switch (code) {
    case kKeyBack:
      if (caption && length > 0 && caret > 0) {
        caption->text.erase(std::min(caret, length) - 1, 1);
        --caret;
      }
      break;
    case kKeyDelete:
      if (caption && caret < length) caption->text.erase(caret, 1);
      break;
    case kKeyEnter: UIManager::getInstance()->queueCommands(this, commands); break;
    case kKeyLeft:
      if (caret > 0) --caret;
      break;
    case kKeyRight: caret = std::min(caret + 1, length); break;
    default:
      // Only a press that typed exactly one character inserts: dead keys
      // and presses that typed nothing or several characters report 0.
      if (typesCharacter(code) && InputManager::exists())
        insertCharacter(InputManager::getInstance()->getKeyboardDevice()->typedCharacter(code));
      break;
  }
  return 1;
}

void UITextEdit::onUpdate(float dt) {
  // Only the blink phase matters; keep the clock small.
  blinkTime = std::fmod(blinkTime + 2.0f * dt, 2.0f);
}

void UITextEdit::drawAfterChildren() {
  ensureCaption();
  if (!caption || !caption->font) return;
  UIFont* font = caption->font;
  const bool on = (int(blinkTime) % 2) == 1;
  const float a = float(color.alpha()) / 255.0f * alpha * (on ? 1.0f : 0.0f);
  font->color = Color::fromFloats(float(color.red()) / 255.0f, float(color.green()) / 255.0f,
                                  float(color.blue()) / 255.0f, std::min(1.0f, std::max(0.0f, a)));
  const std::wstring& text = caption->text;
  caret = std::min(caret, uint32_t(text.size()));
  const float whole = font->getWStringWidth(text.data(), text.data() + text.size(), caption->xcoeff);
  const float before = font->getWStringWidth(text.data(), text.data() + caret, caption->xcoeff);
  const wchar_t bar = L'|';
  const float glyph = font->getWStringWidth(&bar, &bar + 1, caption->xcoeff);
  const Vector2<float> at = caption->getAbsolutePosition();
  const float x = at.x + (caption->size.x - whole) * 0.5f + before - glyph * 0.5f;
  font->drawString(clientRect, Vector2<float>(x, at.y), "|", false, 0, caption->valign, caption->xcoeff,
                   caption->ycoeff, clientRectSet, caption->size.x, caption->size.y);
}

void UITextEdit::load(LuaScript& script) {
  UIWidget::load(script);
  uiReadUInt(script, "maxLength", &maxLength);
  uiReadFlag(script, "filterSpecialCharacters", &filterSpecialCharacters);
}

}  // namespace KR
