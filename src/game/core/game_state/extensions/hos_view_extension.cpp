#include "core/game_state/extensions/hos_view_extension.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "core/game_state/extensions/hos_item_disapperence_effect_manager.h"
#include "core/game_state/game_lua_state.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/triggers/scene_node_tasks.h"
#include "core/game_state/views/held_particle_effect.h"
#include "core/game_state/views/view.h"
#include "core/main_menu_state/profile_system.h"
#include "format_string.h"
#include "particle_fx.h"
#include "sprite.h"
#include "xml_data_reader.h"

namespace HOG {

uint32_t HOSViewExtension::defaultMaxActiveItems = 8;
uint32_t HOSViewExtension::defaultMaxClickMissNumToPenalty = 5;
float HOSViewExtension::defaultClickPenaltyTime = 5.0f;
std::string HOSViewExtension::defaultPenaltyParticle = "blackout_screen_fx";

namespace {

double seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// Reads the keys present in the file's "HOSConfig"; false without one.
bool readConfig(const char* name, uint32_t* maxActive, float* penaltyTime, uint32_t* maxMisses,
                std::string* penaltyParticle) {
  KR::XmlDataReader reader;
  if (!name || !name[0] || !reader.open("default", name) || !reader.enterChild("HOSConfig")) return false;
  int32_t value = 0;
  if (reader.readInt("maxActiveItems", &value) && value >= 0) *maxActive = uint32_t(value);
  // The reader gives 0 or an empty name for a missing key: what stands stays unless the key is there.
  float penalty = 0.0f;
  if (reader.readFloat("clickPenaltyTime", &penalty)) *penaltyTime = penalty;
  if (reader.readInt("maxClickMissNumToPenalty", &value) && value >= 0) *maxMisses = uint32_t(value);
  std::string effect;
  if (reader.readString("penaltyParticle", &effect)) *penaltyParticle = effect;
  return true;
}

bool sameEntry(const HOSItemTrigger* a, const HOSItemTrigger* b) {
  return a->partOfGroup >= 0 && a->partOfGroup == b->partOfGroup;
}

}  // namespace

void HOSViewExtension::readBaseConfig() {
  static bool read = false;
  if (read) return;
  read = true;
  readConfig("hos_base_config_xml", &defaultMaxActiveItems, &defaultClickPenaltyTime, &defaultMaxClickMissNumToPenalty,
             &defaultPenaltyParticle);
}

HOSViewExtension::HOSViewExtension() {
  readBaseConfig();
  maxActiveItems = defaultMaxActiveItems;
  clickPenaltyTime = defaultClickPenaltyTime;
  maxClickMissNumToPenalty = defaultMaxClickMissNumToPenalty;
  penaltyParticle = defaultPenaltyParticle;
  penaltyStart = seconds();
  if (GameMessageDispatcher* bus = gameDispatcher()) bus->addListener(this);
  resetState();
}

HOSViewExtension::~HOSViewExtension() {
  if (GameMessageDispatcher* bus = gameDispatcher()) bus->removeListener(this);
  release();
}

void HOSViewExtension::release() { releaseHeldEffect(&penaltyEffect); }

void HOSViewExtension::loadConfig(const std::string& file) {
  // The scene's own limits and effect, kept through every activation.
  readConfig(file.c_str(), &maxActiveItems, &clickPenaltyTime, &maxClickMissNumToPenalty, &penaltyParticle);
}

void HOSViewExtension::resetState() {
  activeCount = 0;
  finished = false;
  missCount = 0;
  remainingCount = 0;
  std::fill(std::begin(activeItems), std::end(activeItems), nullptr);
  if (!view) return;
  for (IBaseAreaTrigger* trigger : view->triggers)
    if (trigger->getType() == 5) static_cast<HOSItemTrigger*>(trigger)->activeInHOS = false;
}

void HOSViewExtension::onActivate() {
  resetState();
  refillActiveItems();
}

void HOSViewExtension::announce(HOSItemTrigger* trigger) {
  activeItems[activeCount++] = trigger;
  GameLuaState* lua = gameLuaState();
  if (!lua) return;
  const std::string hook =
      KR::formatString("__Generated_L%iAT%i_onActivatedInHOS", trigger->locationId, trigger->triggerId);
  lua->callFunction(hook.c_str());
}

void HOSViewExtension::refillActiveItems() {
  if (!view) return;
  // Entries now listed: an ungrouped item is one, a group is one.
  // Groups are told apart by their number, never by a bit they might share.
  auto countEntries = [&]() {
    uint32_t entries = 0;
    for (uint32_t i = 0; i < activeCount; ++i) {
      bool counted = false;
      for (uint32_t j = 0; j < i && !counted; ++j) counted = sameEntry(activeItems[i], activeItems[j]);
      if (!counted) ++entries;
    }
    return entries;
  };
  uint32_t entries = countEntries();
  for (IBaseAreaTrigger* t : view->triggers) {
    if (t->getType() != 5) continue;
    HOSItemTrigger* item = static_cast<HOSItemTrigger*>(t);
    if (entries >= maxActiveItems || activeCount >= kMaxActive || item->activeInHOS) continue;
    item->activeInHOS = true;
    if (item->dead) continue;
    announce(item);
    entries = countEntries();
  }
  std::sort(activeItems, activeItems + activeCount,
            [](const HOSItemTrigger* a, const HOSItemTrigger* b) { return a->partOfGroup < b->partOfGroup; });
  // The rest of every group already listed joins it.
  for (IBaseAreaTrigger* t : view->triggers) {
    if (activeCount >= kMaxActive) break;
    if (t->getType() != 5) continue;
    HOSItemTrigger* item = static_cast<HOSItemTrigger*>(t);
    if (item->partOfGroup < 0 || item->dead || item->activeInHOS) continue;
    bool listed = false;
    for (uint32_t i = 0; i < activeCount && !listed; ++i) listed = sameEntry(item, activeItems[i]);
    if (!listed) continue;
    item->activeInHOS = true;
    announce(item);
  }
  remainingCount = 0;
  for (IBaseAreaTrigger* t : view->triggers) {
    if (t->getType() != 5) continue;
    HOSItemTrigger* item = static_cast<HOSItemTrigger*>(t);
    if (!item->dead) ++remainingCount;
    for (int32_t i = 0; i < item->relativeTriggerCount; ++i) {
      IBaseAreaTrigger* linked = view->findTrigger(uint32_t(item->relativeTriggers[i]));
      if (!linked) continue;
      linked->enabled = item->activeInHOS ? 1 : 0;
      sendTriggerChanged(linked);
    }
  }
  if (GameMessageDispatcher* bus = gameDispatcher()) {
    GameMessage message;
    message.kind = kMsgHosItemsRefilled;
    message.sender = nullptr;
    bus->dispatchMessage(&message);
  }
}

void HOSViewExtension::onMessage(const GameMessage* message) {
  if (message->kind != kMsgHosItemFound || !view) return;
  HOSItemTrigger* trigger = static_cast<HOSItemTrigger*>(message->getPointer());
  if (!trigger || trigger->getType() != 5 || uint32_t(trigger->locationId) != view->id) return;
  onItemFound(trigger);
  uint32_t i = 0;
  while (i < activeCount && activeItems[i] != trigger) ++i;
  if (i < activeCount) {
    std::copy(activeItems + i + 1, activeItems + activeCount, activeItems + i);
    activeItems[--activeCount] = nullptr;
  }
  refillActiveItems();
}

void HOSViewExtension::onItemFound(HOSItemTrigger* trigger) {
  if (!view->scene || !trigger->itemSceneNode[0]) return;
  queueSetNodeEnable(view->id, trigger->itemSceneNode, false);
  AE::ISceneNode* node = AE::ISceneNode::findChild(trigger->itemSceneNode, view->scene);
  if (!node) return;
  node->mPosZ = 0.0f;
  if (node->getNodeType() != AE::kSpriteNode || !HOSItemDisapperenceEffectManager::exists()) return;
  const KR::Sprite* sprite = static_cast<AE::SpriteSceneNode*>(node)->getSprite();
  if (!sprite) return;
  const KR::Vector2<float> pivot = node->getWorldPivot();
  const float angle = node->getWorldRotation();
  // The sprite's drawn top-left corner, turned back to the unrotated frame.
  KR::Vector2<float> corner = sprite->mMeshSizeX ? sprite->getTransformedVertex(0, 0) : sprite->getPosition();
  const float radians = -angle * 3.14159265f / 180.0f;
  const float dx = corner.x - pivot.x, dy = corner.y - pivot.y;
  corner = KR::Vector2<float>(pivot.x + dx * std::cos(radians) - dy * std::sin(radians),
                              pivot.y + dx * std::sin(radians) + dy * std::cos(radians));
  HOSItemDisapperenceEffectManager::getInstance()->start(sprite, corner, pivot, angle);
}

void HOSViewExtension::updateMissClicks(int32_t inputResult, bool hard) {
  const uint32_t before = missCount;
  if (missCount <= maxClickMissNumToPenalty && inputResult == 2) {
    if (hard) ++missCount;
    if (EventSoundPlayer::exists()) EventSoundPlayer::getInstance()->playEvent(SoundEventType::HosItemMissed);
  } else if (inputResult == 1) {
    missCount = 0;
  }
  if (before < maxClickMissNumToPenalty && missCount >= maxClickMissNumToPenalty) startPenalty();
  if (missCount >= maxClickMissNumToPenalty && seconds() - penaltyStart > clickPenaltyTime) missCount = 0;
}

void HOSViewExtension::startPenalty() {
  penaltyStart = seconds();
  // Made here, on the main thread, and kept until the view lets go of its resources.
  if (!penaltyEffect) penaltyEffect = createHeldEffect(penaltyParticle, false);
  if (penaltyEffect) penaltyEffect->start();
}

void HOSViewExtension::update(float dt) {
  if (!view) return;
  bool hard = false;
  if (ProfileSystem::exists())
    if (const PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile())
      hard = profile->options.difficulty != 0;
  updateMissClicks(view->lastInputResult, hard);
  // Each input pass sets the result afresh; a frame without one must not count twice.
  view->lastInputResult = 0;
  if (HOSItemDisapperenceEffectManager::exists()) HOSItemDisapperenceEffectManager::getInstance()->update(dt);
  if (penaltyEffect) penaltyEffect->update(dt);
  if (!finished && activeCount == 0) {
    finished = true;
    notifyFinished();
  }
}

void HOSViewExtension::draw() {
  if (HOSItemDisapperenceEffectManager::exists()) HOSItemDisapperenceEffectManager::getInstance()->draw();
  if (penaltyEffect) penaltyEffect->render();
}

}  // namespace HOG
