#include "core/game_state/hud/hint_panel.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game_lua_state.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/hud/hint_search.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/locations_map.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

bool hardMode() {
  if (!ProfileSystem::exists()) return false;
  const PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile();
  return profile && profile->options.difficulty;
}

View* activeView() {
  ViewStack* stack = gameViewStack();
  return stack ? stack->getActiveView() : nullptr;
}

PlayerProfile* currentProfile() {
  return ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
}

void playMarker(AE::Marker* marker) {
  if (marker) marker->play();
}

InGameUI* hud() { return dynamic_cast<InGameUI*>(gameHud()); }

NotebookUI* notebook() {
  InGameUI* ui = hud();
  return ui ? ui->getNotebook() : nullptr;
}

constexpr const char* kCommands[] = {"hintBtnClicked", "mapBtnClicked", "backBtnClicked"};

}  // namespace

HintPanel::HintPanel() { makeTrails(nullptr); }

HintPanel::~HintPanel() {
  targetTrail.reset();
  itemTrail.reset();
  if (trailPicture)
    if (auto* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr()) sprites->destroySprite(trailPicture);
  if (widget && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(widget);
}

void HintPanel::load() {
  KR::LexBindedFunctionManager* commands =
      KR::LexBindedFunctionManager::exists() ? KR::LexBindedFunctionManager::getInstance() : nullptr;
  if (commands) {
    commands->registerFunction("hintBtnClicked", new KR::LexBinder<HintPanel>(this, &HintPanel::hintBtnClicked));
    commands->registerFunction("mapBtnClicked", new KR::LexBinder<HintPanel>(this, &HintPanel::mapBtnClicked));
    commands->registerFunction("backBtnClicked", new KR::LexBinder<HintPanel>(this, &HintPanel::goBack));
  }
  KR::XmlDataReader reader;
  if (reader.open("default", "hint_config_xml")) {
    readConfig(reader);
    makeTrails(&reader);
  } else {
    KR::log("ERROR: Can't load hint config file!");
  }
  if (KR::UIManager::exists()) {
    widget = KR::UIManager::getInstance()->loadUI("hint_panel_ui", "HintPanel", nullptr, "default");
    if (!widget) KR::log("ERROR: Failed to load hint panel widget!");
  }
  if (widget) {
    mapButton = widget->findDescendant("map_btn");
    takeSceneMarkers(KR::findOwnedScene(widget));
    widget->hideForcibly();  // the HUD shows it with its own widgets
  }
  if (commands)
    for (const char* name : kCommands) commands->unregisterFunction(name);
}

void HintPanel::takeSceneMarkers(AE::ISceneNode* scene) {
  AE::ISceneNode* progress = scene ? scene->findByPath("/root_group/hint_progress") : nullptr;
  if (!progress) KR::log("ERROR: Can't get eccum progress node in hint panel scene");
  progressMarker = progress ? progress->findMarker("progress") : nullptr;
  if (progress && !progressMarker) KR::log("ERROR: Can't get proress marker for accumulation animation of hint panel");
  progressDuration = progressMarker ? progressMarker->getDuration() : 0.0f;
  AE::ISceneNode* hint = scene ? scene->findByPath("/root_group/hint_btn_controller") : nullptr;
  if (!hint) KR::log("ERROR: Can't get hint button controller node in hint panel scene");
  hintOpenMarker = hint ? hint->findMarker("open") : nullptr;
  hintCloseMarker = hint ? hint->findMarker("close") : nullptr;
  for (AE::Marker* marker : {hintOpenMarker, hintCloseMarker})
    if (marker) marker->stop(true);
  AE::ISceneNode* text = hint ? hint->findByPath("/hint_btn/caption") : nullptr;
  caption = text && text->getNodeType() == AE::kTextNode ? static_cast<AE::TextSceneNode*>(text) : nullptr;
  AE::ISceneNode* map = scene ? scene->findByPath("/root_group/map_button_controller") : nullptr;
  if (!map) KR::log("ERROR: Can't get map button controller node in hint panel scene");
  if (map) map->stop(true);  // the scene widget started the whole scene; the button rests until a marker plays
  mapAppearMarker = map ? map->findMarker("appear") : nullptr;
  mapOpenMarker = map ? map->findMarker("open") : nullptr;
  mapCloseMarker = map ? map->findMarker("close") : nullptr;
  const PlayerProfile* profile = currentProfile();
  if (map && profile && profile->options.locationsMapButtonEnabled == 0) playMarker(map->findMarker("force_hide"));
  for (AE::Marker* marker :
       {progressMarker, hintOpenMarker, hintCloseMarker, mapAppearMarker, mapOpenMarker, mapCloseMarker})
    if (marker) marker->addListener(this);
}

void HintPanel::onMarker(AE::Marker* marker) {
  if (marker && marker == mapAppearMarker) openMapWhenFree();
}

void HintPanel::openMapWhenFree() {
  // The map would open under the item-added window, which takes the next press: it waits until the window closes.
  const InGameUI* ui = hud();
  mapOpenPending = ui && ui->itemWindowShown;
  if (!mapOpenPending) mapBtnClicked();
}

void HintPanel::enableMapButton() {
  if (PlayerProfile* profile = currentProfile()) profile->options.locationsMapButtonEnabled = 1;
  if (mapAppearMarker)
    mapAppearMarker->play();
  else
    openMapWhenFree();
}

void HintPanel::showCharge(float shownCharge, float total) {
  if (!progressMarker) return;
  const float fraction = total > 0.0f ? std::min(1.0f, std::max(0.0f, shownCharge / total)) : 0.0f;
  for (const AE::Marker::Entry* entry : progressMarker->mEntries)
    entry->node->setTime(progressDuration * fraction, entry->recursive);
}

void HintPanel::readConfig(KR::XmlDataReader& reader) {
  reader.readFloat("disableTime", &disableTime);
  reader.readFloat("disableTimeHard", &disableTimeHard);
  reader.readFloat("minigameDisableTime", &minigameDisableTime);
  reader.readFloat("minigameDisableTimeHard", &minigameDisableTimeHard);
}

void HintPanel::makeTrails(KR::XmlDataReader* reader) {
  HintTrail::Settings settings;
  if (reader) reader->readString("doActionParticle", &settings.doActionParticle);
  if (reader && reader->enterChild("FlashEffect")) {
    HintTrail::readSettings(*reader, &settings);
    reader->leaveChild();
  }
  if (reader && !trailPicture)
    if (auto* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr())
      trailPicture = sprites->createSprite(settings.spriteFile, settings.spriteTable, "default");
  targetTrail = std::make_unique<HintTrail>();
  itemTrail = std::make_unique<HintTrail>();
  targetTrail->create(settings, trailPicture);
  itemTrail->create(settings, trailPicture);
}

void HintPanel::stopTrails() {
  targetTrail->stop();
  itemTrail->stop();
}

void HintPanel::draw() {
  targetTrail->drawRibbons();
  targetTrail->drawEffect();
  if (itemTrailPending) itemTrail->drawRibbons();
  itemTrail->drawEffect();
}

float HintPanel::rechargeTime() const {
  const bool hard = hardMode();
  if (minigameMode) return hard ? minigameDisableTimeHard : minigameDisableTime;
  return hard ? disableTimeHard : disableTime;
}

void HintPanel::update(float dt) {
  const float total = rechargeTime();
  float& charge = minigameMode ? minigameChargeTime : chargeTime;
  if (charge < total) charge += dt;
  const float diff = charge - shownChargeTime;
  shownChargeTime += (diff < 0 ? -1.0f : 1.0f) * std::min(std::fabs(diff), 5.0f * dt);
  showCharge(shownChargeTime, total);
  // A recharge time of 0 never makes the button ready.
  if (!ready && total > 0.0f && charge > total) {
    ready = true;
    lightRim(true);
  }
  if (mapOpenPending) openMapWhenFree();
  if (mapButton) {
    const PlayerProfile* profile = currentProfile();
    mapButton->setVisible(!profile || profile->options.locationsMapButtonEnabled != 0);
  }
  targetTrail->update(dt);
  itemTrail->update(dt);
  const float before = itemTrailTimer;
  itemTrailTimer += dt;
  if (before <= itemTrailDelay && itemTrailTimer > itemTrailDelay) {
    // The slot is read now: the row may have paged since the click.
    if (itemSlotIndex >= 0 && inventoryPanel)
      if (auto* row =
              dynamic_cast<ObjectsListPanelBehaviour*>(inventoryPanel->findBehaviour("ObjectsListPanelBehaviour")))
        itemTarget = row->getSlotIconCentre(itemSlotIndex);
    itemTrail->start(trailSource, itemTarget);
  }
}

void HintPanel::mapBtnClicked() {
  if (NotebookUI* book = notebook())
    if (book->isOpen()) book->close();
  playMarker(mapOpenMarker);
  if (locations && !locations->isOpen()) locations->open();
}

bool HintPanel::isMinigameView() {
  const View* view = activeView();
  const IViewExtension* ext = view ? view->extension : nullptr;
  return ext && ext->getType() == 1 && !ext->isSuspended() && !ext->finishReported && ext->takesSkip();
}

void HintPanel::lightRim(bool lit) {
  if (lit == rimLit) return;
  rimLit = lit;
  if (AE::Marker* running = lit ? hintCloseMarker : hintOpenMarker) running->complete();
  playMarker(lit ? hintOpenMarker : hintCloseMarker);
}

void HintPanel::goBack() {
  if (InGameUI* ui = hud()) ui->goBackwardButtonClicked();
}

void HintPanel::setCaption(const wchar_t* text) {
  // The word itself, not a key of the localised texts; setText re-lays the node out.
  if (caption) caption->setText(std::wstring(text));
}

void HintPanel::onGameMessage(const GameMessage& message) {
  switch (message.kind) {
    case kMsgMapClosed: playMarker(mapCloseMarker); return;
    case kMsgItemAdded:
    case kMsgNotebookOpened:
    case kMsgTransitionUsed:
    case kMsgViewStackChanged:
    case kMsgMapOpened: stopTrails(); return;
    case kMsgViewActivated:
    case kMsgExtensionResumed: stopTrails(); break;
    // A puzzle that is finished, put aside or taken up again changes what the button offers.
    case kMsgExtensionChanged:
    case kMsgExtensionSuspended: break;
    default: return;
  }
  const bool wasMinigame = minigameMode;
  minigameMode = isMinigameView();
  // SKIP charges anew for each puzzle shown; the hint's own charge waits meanwhile.
  if (minigameMode && (!wasMinigame || message.kind == kMsgViewActivated)) minigameChargeTime = 0.0f;
  const float total = rechargeTime();
  ready = total > 0.0f && (minigameMode ? minigameChargeTime : chargeTime) > total;
  lightRim(ready);
  setCaption(minigameMode ? L"SKIP" : L"HINT");
}

void HintPanel::hintBtnClicked() {
  ViewRegistry* registry = gameRegistry();
  if (!ready || !registry) return;
  if (NotebookUI* book = notebook())
    if (book->isOpen()) return;
  if (locations && locations->isOpen()) return;
  // SKIP needs no hint: a puzzle whose gallery leads nowhere the story goes
  // is still skipped.
  if (minigameMode) {
    IViewExtension* ext = activeView() ? activeView()->extension : nullptr;
    if (ext && !ext->finishReported) {
      if (ext->announces) ext->skipRequest = true;
      return;
    }
  }
  HintResult result;
  HintSearch(*registry).findHint(&result);
  if (result.type == HT_HINT_NOT_AVAIL) return;
  if (ProfileSystem::exists())
    if (PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile())
      if (profile->options.firstHintPending) {
        profile->options.firstHintPending = 0;
        gameLuaState()->callFunction("onHintFirstClick");
      }
  KR::Vector2<float> target;
  const int n = showHint(result, &target);
  lastTarget = target;
  if (n > 0) targetTrail->start(trailSource, target);
  itemTrailTimer = n == 2 ? 0.0f : itemTrailDelay + 1.0f;
  View* view = activeView();
  if (view && view->type != 1 && KR::RenderSystem::exists()) {
    const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
    view->controller.moveTo(KR::Vector2<float>(w * 0.5f - target.x, h * 0.5f - target.y), 0.25f);
    if (n == 2) view->controller.scaleTo(1.0f, 0.25f);
  }
}

int HintPanel::showHint(const HintResult& result, KR::Vector2<float>* target) {
  int n = 0;
  switch (result.type) {
    case HT_DO_ACTION:
      *target = result.trigger->getScreenPosition(result.view);
      chargeTime = 0.0f;
      ready = false;
      lightRim(false);
      n = 1;
      break;
    case HT_CHANGE_LOCATION:
      *target = result.entranceTrigger ? result.entranceTrigger->getScreenPosition(result.startView)
                                       : result.trigger->getScreenPosition(result.view);
      if (result.entranceTrigger && result.entranceTrigger->triggerId == 0)
        target->y -= result.entranceTrigger->size.y / 2;
      n = 1;
      break;
    case HT_CLOSE_CLOSEUP:
      if (const View* view = activeView()) *target = view->position + KR::Vector2<float>(view->size.x + 24, 33);
      n = 1;
      break;
    default: return 0;
  }
  IBaseAreaTrigger* looked = result.type == HT_DO_ACTION ? result.trigger : result.entranceTrigger;
  std::string name;
  int32_t objectId = -1;
  if (looked && looked->getType() == 3) {
    auto* item = static_cast<ItemTrigger*>(result.trigger);
    if (result.trigger->getType() == 3) {
      name = item->applicableItemName;
      objectId = item->applicableObjectID;
    }
  } else if (looked && looked->getType() == 0) {
    auto* area = static_cast<AreaTrigger*>(looked);
    area->getApplicableItemName();
    name = area->applicableItemName;
  }
  itemSlotIndex = -1;
  itemTrailPending = false;
  if (!name.empty()) {
    if (!inventoryPanel) return n;
    inventoryPanel->setShown(true);
    inventoryPanel->disappearTime = 9.0f;
    auto* row = dynamic_cast<ObjectsListPanelBehaviour*>(inventoryPanel->findBehaviour("ObjectsListPanelBehaviour"));
    int index = -1;
    const auto* slot = row ? row->findSlotByName(name.c_str(), &index) : nullptr;
    if (!slot || !slot->widget || !slot->widget->visible) return n;
    itemSlotIndex = index;
    itemTrailPending = true;
    return 2;
  }
  if (objectId >= 0) {
    const View* view = activeView();
    const IBaseAreaTrigger* object = view ? view->findTrigger(uint32_t(objectId)) : nullptr;
    if (!object) return n;
    itemTarget = object->getScreenPosition(view);
    return 2;
  }
  return n;
}

}  // namespace HOG
