#include "core/game_state/sound/event_sound_player.h"

#include <tuple>

#include "core/game_state/game_task_manager.h"
#include "function.h"
#include "sound_system/sound_manager.h"
#include "xml_data_reader.h"

namespace HOG {

EventSoundPlayer::EventSoundPlayer() {
  setInstance(this);
  load("default", "event_sound_player_xml");
}

EventSoundPlayer::~EventSoundPlayer() {
  if (!KR::SoundManager::exists()) return;
  KR::SoundManager* sounds = KR::SoundManager::getInstance();
  if (!sounds->isInitialised()) return;
  for (uint32_t& id : ids) {
    if (id) sounds->releaseSound(id);
    id = 0;
  }
}

void EventSoundPlayer::load(const std::string& package, const std::string& name) {
  KR::XmlDataReader reader;
  if (!reader.open(package, name) || !reader.enterChild("EventSoundPlayer") || !reader.enterChild("Sounds")) return;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    int32_t type = -1;
    std::string file;
    float volume = 1.0f;
    reader.readInt("eventType", &type);
    reader.readString("filename", &file);
    if (!reader.readFloat("volume", &volume)) volume = 1.0f;
    if (file.empty() || uint32_t(type) >= uint32_t(kEventCount) || !KR::SoundManager::exists()) continue;
    KR::SoundManager* sounds = KR::SoundManager::getInstance();
    KR::SoundDescriptor descriptor;
    descriptor.name = file;
    descriptor.volume = volume;
    uint32_t id = sounds->acquireSoundId(file);
    if (!id) id = sounds->loadSound(descriptor);
    if (ids[type] && ids[type] != id) sounds->releaseSound(ids[type]);
    ids[type] = id;
  }
}

void EventSoundPlayer::playEvent(SoundEventType::Type type) {
  const uint32_t id = getSoundId(type);
  if (id && KR::SoundManager::exists()) KR::SoundManager::getInstance()->playSound(id);
}

namespace {

void playQueuedEvent(SoundEventType::Type type) {
  if (EventSoundPlayer::exists()) EventSoundPlayer::getInstance()->playEvent(type);
}

}  // namespace

void queueEventSound(GameTaskManager& tasks, SoundEventType::Type type) {
  using Task = KR::Function1<SoundEventType::Type, KR::Dummy>;
  if (Task* task = tasks.makeTask<Task>(&playQueuedEvent)) std::get<0>(task->arguments) = type;
}

}  // namespace HOG
