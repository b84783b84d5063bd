#include "core/game_state/ui_message_manager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "color.h"
#include "design_coords.h"
#include "rect.h"
#include "render_system_dx8.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace HOG {

UIMessageManager::UIMessageManager() {
  for (int32_t i = 0; i < kPoolSize; ++i) {
    pool[i].nextFree = i + 1 < kPoolSize ? i + 1 : -1;
    pool[i].narrow = nullptr;
  }
  if (KR::UIFontManager::exists()) font = KR::UIFontManager::getInstance()->getFont("font02_fnt");
  computeTextBox();
  if (KR::SpriteManager<KR::Sprite>::exists()) {
    band = KR::SpriteManager<KR::Sprite>::getInstance()->createSpriteFromTextureObject(nullptr);
    band->setSize(KR::Vector2<float>(float(KR::RenderSystem::getDesignWidth()), textBox.height));
  }
}

UIMessageManager::~UIMessageManager() {
  hideAllMessages();
  if (band && KR::SpriteManager<KR::Sprite>::exists())
    KR::SpriteManager<KR::Sprite>::getInstance()->destroySprite(band);
  if (font && KR::UIFontManager::exists()) KR::UIFontManager::getInstance()->releaseFont(font);
}

UIMessageManager::Record* UIMessageManager::take() {
  if (freeHead < 0) {
    KR::reportAssert("UIMessageManager", "UIMessageManager::showMessage(), Failed to allocate memory on pool",
                     "ui_message_manager", __LINE__);
    KR::fatalTrap();
  }
  Record* record = &pool[freeHead];
  freeHead = record->nextFree;
  --freeCount;
  record->narrow = nullptr;
  record->wide = nullptr;
  return record;
}

void UIMessageManager::give(Record* record) {
  std::free(record->narrow);
  record->narrow = nullptr;
  record->nextFree = freeHead;
  freeHead = int32_t(record - pool);
  ++freeCount;
}

void UIMessageManager::showMessage(const std::string& key, float duration) {
  hideAllMessages();
  static const std::wstring kNoTextManager = L"";
  const std::wstring* text =
      KR::TextManager::exists() ? &KR::TextManager::getInstance()->getText(key) : &kNoTextManager;
  Record* record = take();
  if (!record) return;
  record->wide = text;
  record->elapsed = 0.0f;
  record->duration = duration;
  shown.push_back(record);
}

void UIMessageManager::showNonLocalizedMessage(const std::string& text, float duration) {
  hideAllMessages();
  Record* record = take();
  if (!record) return;
  record->wide = nullptr;
  record->narrow = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(record->narrow, text.c_str(), text.size() + 1);
  record->elapsed = 0.0f;
  record->duration = duration;
  shown.push_back(record);
}

void UIMessageManager::hideAllMessages() {
  for (Record* record : shown) give(record);
  shown.clear();
}

void UIMessageManager::update(float dt) {
  if (!shown.empty()) {
    Record* front = shown.front();
    front->elapsed += dt;
    if (front->duration < front->elapsed) {
      give(front);
      shown.erase(shown.begin());
    }
  }
  computeTextBox();
}

void UIMessageManager::computeTextBox() {
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  float x = kSideMargin;
  if (KR::RenderSystem::exists()) {
    const KR::Viewport2D viewport = KR::calcViewport();
    if (viewport.scale > 0.0f) x = kSideMargin - viewport.offset.x / viewport.scale;
  }
  textBox = TextBox{x, 0.0f, w - 2.0f * x, 0.15f * h};
}

float UIMessageManager::currentAlpha() const {
  if (shown.empty()) return 0.0f;
  const Record* front = shown.front();
  const float fadeIn = 4.0f * std::min(front->elapsed, 0.25f);
  const float fadeOut = 4.0f * std::min(front->duration - front->elapsed, 0.25f);
  return std::max(0.0f, std::min(fadeIn * fadeOut, 1.0f));
}

float UIMessageManager::bandAlpha() const { return std::min(currentAlpha(), 0.5f); }

std::wstring UIMessageManager::currentText() const {
  if (shown.empty()) return std::wstring();
  const Record* front = shown.front();
  if (front->wide) return *front->wide;
  std::wstring text;
  for (const char* c = front->narrow; c && *c; ++c) text.push_back(wchar_t(static_cast<unsigned char>(*c)));
  return text;
}

void UIMessageManager::render() {
  if (shown.empty()) return;
  const float a = currentAlpha();
  if (band) {
    band->setMeshColor(KR::Color::fromFloats(0.0f, 0.0f, 0.0f, bandAlpha()));
    band->updateVertices();
    band->render();
  }
  if (!font) return;
  font->color = KR::Color::fromFloats(1.0f, 1.0f, 1.0f, a);
  const Record* front = shown.front();
  const KR::Vector2<float> position(textBox.x, textBox.y);
  const KR::Rect clip(textBox.x, textBox.y, textBox.x + textBox.width, textBox.y + textBox.height);
  if (front->wide)
    font->drawWString(clip, position, *front->wide, true, 1, 1, -1.0f, -2.0f, false, true, textBox.width,
                      textBox.height);
  else if (front->narrow)
    font->drawString(clip, position, front->narrow, true, 1, 1, -1.0f, -2.0f, false, textBox.width, textBox.height);
}

}  // namespace HOG
