#include "core/game_state/extensions/hos_quest_view_extension.h"

#include "core/game_state/game_parts.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "xml_data_reader.h"

namespace HOG {

HosQuestViewExtension::HosQuestViewExtension() {
  suspendable = false;
  if (GameMessageDispatcher* bus = gameDispatcher()) bus->addListener(this);
}

HosQuestViewExtension::~HosQuestViewExtension() {
  if (dispatcher) dispatcher->removeListener(this);
}

void HosQuestViewExtension::loadConfig(const std::string& file) {
  KR::XmlDataReader reader;
  if (file.empty() || !reader.open("default", file)) return;
  parseConfig(reader);
}

void HosQuestViewExtension::parseConfig(KR::XmlDataReader& reader) {
  bool flag = false;
  if (reader.readBool("suspendable", &flag)) suspendable = flag;
  if (!reader.enterChild("stages")) return;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    Stage stage;
    reader.readString("breifing", &stage.briefing);
    reader.readInt("trigger", &stage.trigger);
    stages.push_back(stage);
  }
  reader.leaveChild();
}

void HosQuestViewExtension::completeCurrentStage() {
  stages[size_t(currentStage)].done = true;
  if (currentStage + 1 >= int32_t(stages.size())) return;
  ++currentStage;
  sendGameMessage(kMsgExtensionChanged, static_cast<IViewExtension*>(this));
}

void HosQuestViewExtension::onActivate() {
  if (!view) return;
  while (currentStage >= 0 && currentStage < int32_t(stages.size()) && !stages[size_t(currentStage)].done) {
    const IBaseAreaTrigger* trigger = view->findTrigger(uint32_t(stages[size_t(currentStage)].trigger));
    if (!trigger || (trigger->enabled && !trigger->dead)) break;
    const int32_t before = currentStage;
    completeCurrentStage();
    if (before == currentStage) break;
  }
}

void HosQuestViewExtension::onMessage(const GameMessage* message) {
  if (message->kind < kMsgHosItemFound || message->kind > kMsgItemActionDone) return;
  const auto* trigger = static_cast<const IBaseAreaTrigger*>(message->getPointer());
  if (!trigger || !view || trigger->locationId != int32_t(view->id)) return;
  if (currentStage < 0 || currentStage >= int32_t(stages.size())) return;
  if (stages[size_t(currentStage)].trigger != trigger->triggerId) return;
  completeCurrentStage();
}

const std::wstring* HosQuestViewExtension::getExtensionData() {
  if (currentStage < 0 || currentStage >= int32_t(stages.size())) return nullptr;
  const std::string& briefing = stages[size_t(currentStage)].briefing;
  if (briefing.empty()) return nullptr;
  if (briefing[0] == '#')
    briefText = KR::TextManager::exists() ? KR::TextManager::getInstance()->getText(briefing.substr(1))
                                          : KR::toWideString(briefing.substr(1));
  else
    briefText = KR::toWideString(briefing);
  return &briefText;
}

void HosQuestViewExtension::update(float) {
  for (const Stage& stage : stages)
    if (!stage.done) return;
  if (finishReported) return;
  finishReported = true;
  notifyFinished();
}

}  // namespace HOG
