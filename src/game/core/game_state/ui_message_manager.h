#pragma once
// On-screen messages of the play state: one short text at a time in a dark
// band across the top of the screen, fading in and out over its duration
// (hints of the level script, refusals of triggers and views). Showing a
// message replaces the one shown. Records come from a pool of 32 with an index
// chain in the free ones. Main thread only.
#include <cstdint>
#include <string>
#include <vector>

namespace KR {
class Sprite;
class UIFont;
}  // namespace KR

namespace HOG {

class UIMessageManager {
 public:
  struct TextBox {
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
  };
  static constexpr int32_t kPoolSize = 32;
  // The text box keeps this far from the window's left and right edges.
  static constexpr float kSideMargin = 64.0f;

  // Takes "font02_fnt" from the UI font manager and makes the band sprite
  // when those managers exist.
  UIMessageManager();
  ~UIMessageManager();
  UIMessageManager(const UIMessageManager&) = delete;
  UIMessageManager& operator=(const UIMessageManager&) = delete;

  // The localised text of the key (text manager).
  void showMessage(const std::string& key, float duration);
  void showNonLocalizedMessage(const std::string& text, float duration);
  void hideAllMessages();
  void update(float dt);
  void render();

  // The shown message's text alpha (0 when none): rises over its first 0.25 s
  // and falls over its last 0.25 s.
  float currentAlpha() const;
  // The band's alpha: the text's, at most 0.5.
  float bandAlpha() const;
  bool hasMessage() const { return !shown.empty(); }
  // The shown text (narrow copies widened), empty when none.
  std::wstring currentText() const;
  const TextBox& getTextBox() const { return textBox; }
  int32_t getFreeCount() const { return freeCount; }

 private:
  struct Record {
    union {
      int32_t nextFree;
      const std::wstring* wide;  // not owned
    };
    char* narrow;  // owned copy
    float elapsed;
    float duration;
  };

  Record* take();
  void give(Record* record);
  void computeTextBox();

  std::vector<Record*> shown;
  int32_t freeHead = 0;
  Record pool[kPoolSize];
  int32_t freeCount = kPoolSize;
  KR::UIFont* font = nullptr;
  TextBox textBox;  // design coordinates
  KR::Sprite* band = nullptr;
};

}  // namespace HOG
