#pragma once
// The logo state "LogoGameState", the first state of a run: it shows the logos
// of "/pc_logo/logo.xml" one after another, each for its own time, fading in
// over its first second and out over its last, and then passes on to
// "MainMenu". A logo marked skippable gives way to a click or to Esc, Enter or
// Space once min(0.5 s, a third of its time) has passed. Main thread only.
//
// logo.xml: every child of "root" is one logo with the attributes "name"
// (PNG file), "duration" (seconds), "esc" (non-zero: skippable) and
// "localized" (non-zero: the picture lies under "/pc_localization/<language>/",
// or "/pc_localization/" for the language "local"). A duration that is not a
// number from 0 to kMaxDuration is logged with its file and key and taken as
// 0 (not a number, or below 0) or kMaxDuration (above, or endless), so that no
// logo keeps the player from the menu for long.
//
// Only the first logo's picture is decoded when the state loads; the others
// follow one per update once a frame has been drawn, so the launch reaches its
// first frame sooner. A logo whose turn comes first gets its picture then.
#include <cstdint>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/game_state/game_message.h"
#include "singleton.h"

namespace KR {
class Sprite;
}

namespace HOG {

class LogoGameState : public IAppState, public KR::Singleton<LogoGameState>, public GameMessageListener {
 public:
  struct LogoEntry {
    KR::Sprite* sprite = nullptr;  // null when the picture did not load
    float duration = 0.0f;
    int32_t esc = 0;
    float elapsed = 0.0f;
    std::string name;  // the picture's file entry
    bool pictureLoaded = false;
  };

  static constexpr float kMaxDuration = 30.0f;

  LogoGameState();
  ~LogoGameState() override;
  const char* getName() const override { return "LogoGameState"; }
  void update(float dt) override;
  void draw() override;
  void load() override;
  void unload() override;
  void onActivate() override {}
  void onDeactivate() override;

  // The picture path of a logo for the language.
  static std::string imagePath(const std::string& name, bool localized, const std::string& language);
  // min(1, elapsed) * min(1, duration - elapsed): the logo's brightness.
  static float fadeOf(const LogoEntry& entry);

  const std::vector<LogoEntry>& getLogos() const { return logos; }
  uint32_t getCurrentLogo() const { return currentLogo; }

 private:
  void skipTest();
  // Decodes the entry's picture and makes its sprite, once.
  void loadPicture(LogoEntry& entry);

  std::vector<LogoEntry> logos;
  uint32_t currentLogo = 0;
  uint32_t framesDrawn = 0;
  size_t nextPicture = 0;  // the first logo whose picture may still be missing
};

}  // namespace HOG
