#pragma once
// A hidden-object scene: of its view's hidden-object items only a few are
// asked for at a time (a group counts as one entry; at most 32 items); a
// found item dissolves, leaves the list and the list is refilled; once none is
// left the scene reports its finish. On the hard difficulty missed clicks are
// counted and, at the limit, clicks are swallowed for a while, under the
// penalty particle effect ("penaltyParticle", "blackout_screen_fx" unless
// configured), taken from the particle system when the first penalty starts.
//
// Each activation rebuilds the list from the triggers, whose dead flags keep
// found items found across visits and saved games. The scene's own limits
// ("HOSConfig" in its configuration file) hold for its whole life; the base
// file "hos_base_config_xml" gives the defaults of every scene.
//
// Messages: hears 21 (an item of its view found); sends 15 (the list changed)
// and 18 for linked triggers. Main thread only, except onLoad and release on
// the view streamer's thread under the view's lock.
#include <cstdint>
#include <string>

#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game_message.h"

namespace KR {
class ParticleFX;
}

namespace HOG {

class HOSItemTrigger;

class HOSViewExtension : public IViewExtension, public GameMessageListener {
 public:
  static constexpr uint32_t kMaxActive = 32;

  HOSViewExtension();
  ~HOSViewExtension() override;

  void draw() override;
  void update(float dt) override;
  void onActivate() override;
  void onDeactivate() override {}
  void onLoad() override { release(); }
  // The penalty effect goes back to the particle system.
  void release() override;
  int32_t processMouseEvent(const InputState*) override { return missCount > maxClickMissNumToPenalty ? 2 : 0; }
  bool isSuspendable() const override { return false; }
  int32_t getType() const override { return 2; }
  void loadConfig(const std::string& file) override;
  void onMessage(const GameMessage* message) override;

  void resetState();
  void refillActiveItems();
  // The miss rule for the view's last input result (1 a trigger took it, 2 a miss).
  void updateMissClicks(int32_t inputResult, bool hard);

  uint32_t maxActiveItems = 8;
  float clickPenaltyTime = 5.0f;
  uint32_t maxClickMissNumToPenalty = 5;
  uint32_t activeCount = 0;
  uint32_t remainingCount = 0;
  bool finished = false;
  uint32_t missCount = 0;
  double penaltyStart = 0.0;
  HOSItemTrigger* activeItems[kMaxActive] = {};
  // Owned, made at the first penalty; null when the file names no readable effect.
  KR::ParticleFX* penaltyEffect = nullptr;
  std::string penaltyParticle;

  // Defaults shared by every scene, from "hos_base_config_xml" when it exists.
  static uint32_t defaultMaxActiveItems, defaultMaxClickMissNumToPenalty;
  static float defaultClickPenaltyTime;
  static std::string defaultPenaltyParticle;

 private:
  void startPenalty();
  void onItemFound(HOSItemTrigger* trigger);
  void announce(HOSItemTrigger* trigger);
  static void readBaseConfig();
};

}  // namespace HOG
