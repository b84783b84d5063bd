#pragma once
// Short configured sounds for game events (a location opening, a transition
// used, an item found or missed, ...), read from "event_sound_player_xml" so
// the sound design can change without code. Events of the view stack and the
// triggers are queued as deferred game tasks (queueEventSound) and so play on
// the task pass and wait while the play state is locked; the others are
// played at once by their component through playEvent. Main thread only; the
// sound manager takes its own lock.
#include <cstdint>
#include <string>

#include "singleton.h"

namespace HOG {

namespace SoundEventType {
enum Type : int32_t {
  Unused0 = 0,
  HosItemFound = 1,
  TransitionUsed = 2,
  CloseupOpened = 3,
  LocationOpened = 4,
  ItemActionDone = 5,
  HosItemMissed = 6,
  NotebookPageTurned = 7,
  InventoryItemAdded = 8,
  Unused9 = 9,
  NotebookClosed = 10,
};
}  // namespace SoundEventType

class GameTaskManager;

class EventSoundPlayer : public KR::Singleton<EventSoundPlayer> {
 public:
  static constexpr int kEventCount = 11;

  // Loads "event_sound_player_xml" of package "default".
  EventSoundPlayer();
  // Releases every loaded sound while the sound manager runs.
  ~EventSoundPlayer() override;

  // Reads the configuration of (package, name); later entries of a type win.
  void load(const std::string& package, const std::string& name);
  // Plays the type's sound, when one is configured.
  void playEvent(SoundEventType::Type type);
  // The sound id configured for the type, 0 when none.
  uint32_t getSoundId(int type) const { return type >= 0 && type < kEventCount ? ids[type] : 0; }

 private:
  uint32_t ids[kEventCount] = {};
};

// Queues the event's sound as a deferred game task (after the lock when the
// play state is locked).
void queueEventSound(GameTaskManager& tasks, SoundEventType::Type type);

}  // namespace HOG
