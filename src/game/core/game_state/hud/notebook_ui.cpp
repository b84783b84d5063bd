#include "core/game_state/hud/notebook_ui.h"

#include <algorithm>
#include <cstring>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "core/game_state/input_state.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/main_menu_state/profile_system.h"
#include "file_system.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "render_system_dx8.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr float kShownAlpha = 0.96f;

void playSound(SoundEventType::Type type) {
  if (EventSoundPlayer::exists()) EventSoundPlayer::getInstance()->playEvent(type);
}

void setLabel(KR::UIWidget* widget, const std::string& text) {
  if (auto* label = dynamic_cast<KR::UILabel*>(widget)) label->setText(text);
}

void setShown(KR::UIWidget* widget, bool shown) {
  if (widget) widget->setVisible(shown);
}

KR::UIWidget* findIn(KR::UIWidget* tree, const std::string& name) {
  return tree && !name.empty() ? tree->findDescendant(name) : nullptr;
}

// A push effect, made stopped: it starts when a record is pushed.
KR::ParticleFX* makeParticle(const std::string& name) {
  if (name.empty() || !KR::ParticleSystem::exists()) return nullptr;
  KR::ParticleFX* effect = KR::ParticleSystem::getInstance()->createEffect(name);
  if (effect) effect->mStarted = false;
  return effect;
}

}  // namespace

NotebookUI::NotebookUI(AE::ISceneNode* hud) : hudNode(hud) {
  transformation.scale = &scale;
  transformation.position = &pan;
  transformation.dragOffset = &dragOffset;
  if (KR::LexBindedFunctionManager::exists()) {
    KR::LexBindedFunctionManager* commands = KR::LexBindedFunctionManager::getInstance();
    commands->registerFunction("notebookListLeft", new KR::LexBinder<NotebookUI>(this, &NotebookUI::listLeft));
    commands->registerFunction("notebookListRight", new KR::LexBinder<NotebookUI>(this, &NotebookUI::listRight));
  }
  KR::XmlDataReader reader;
  if (KR::FileSystem::exists() && reader.open("default", "notebook_config_xml")) readConfig(reader);
  findHudMarkers();
}

NotebookUI::~NotebookUI() {
  if (dispatcher) dispatcher->removeListener(this);
  for (AE::Marker* marker : {openMarker, closeMarker, appearMarker, pushRecordMarker})
    if (marker) marker->removeListener(this);
  if (KR::ParticleSystem::exists())
    for (KR::ParticleFX* effect : {topParticle, bottomParticle})
      if (effect) KR::ParticleSystem::getInstance()->releaseEffect(effect);
  delete loadingScene;
  section.reset();
  if (KR::LexBindedFunctionManager::exists())
    for (const char* name : {"notebookListLeft", "notebookListRight"})
      KR::LexBindedFunctionManager::getInstance()->unregisterFunction(name);
  if (!KR::UIManager::exists()) return;
  if (widgetTree) KR::UIManager::getInstance()->destroyUI(widgetTree);
  if (controlsTree) KR::UIManager::getInstance()->destroyUI(controlsTree);
}

void NotebookUI::readConfig(KR::XmlDataReader& reader) {
  if (!reader.enterChild("NotebookConfig")) return;
  reader.readVector2("pageSize", &pageSize);
  std::string widgetTable, controlsFile, controlsTable, leftLabel, rightLabel;
  reader.readString("UIWidgetFile", &widgetFile);
  reader.readString("UIWidgetTable", &widgetTable);
  reader.readString("UIControlsFile", &controlsFile);
  reader.readString("UIControlsTable", &controlsTable);
  reader.readString("UILeftPageLabel", &leftLabel);
  reader.readString("UIRightPageLabel", &rightLabel);
  std::string loadingFile, topName, bottomName;
  reader.readString("LoadingAnimationFilename", &loadingFile);
  reader.readString("topParticle", &topName);
  reader.readString("bottomParticle", &bottomName);
  topParticle = makeParticle(topName);
  bottomParticle = makeParticle(bottomName);
  if (KR::UIManager::exists()) {
    KR::UIManager* ui = KR::UIManager::getInstance();
    if (!widgetFile.empty()) widgetTree = ui->loadUI(widgetFile, widgetTable, nullptr, "default");
    if (!controlsFile.empty()) controlsTree = ui->loadUI(controlsFile, controlsTable, nullptr, "default");
  }
  // The book draws its trees itself, over everything and under its own
  // camera, not in the UI pass; the UI's input reads the pointer through the
  // same camera, and what the book hides takes no click.
  for (KR::UIWidget* tree : {widgetTree, controlsTree})
    if (tree) {
      tree->hideForcibly();
      tree->ownerDrawn = true;
      tree->coversBelow = true;
      tree->pointerToTree = [this](const KR::Vector2<float>& screen) { return toBook(screen); };
    }
  if (controlsTree) {
    leftArrow = controlsTree->findDescendant("notebookLeft");
    rightArrow = controlsTree->findDescendant("notebookRight");
  }
  if (widgetTree) {
    leftPageLabel = widgetTree->findDescendant(leftLabel);
    rightPageLabel = widgetTree->findDescendant(rightLabel);
  }
  if (reader.enterChild("Sections")) {
    if (reader.enterChild("section1")) {
      auto made = std::make_unique<NotebookSection>();
      reader.readString("name", &made->name);
      reader.readFloat("recordsDistance", &made->recordsDistance);
      made->pageSize = pageSize;
      made->widgetFile = widgetFile;
      std::string elementName, leftPages, rightPages, coverName, buttonName;
      reader.readString("UIElement", &elementName);
      reader.readString("UILeftPagesWidget", &leftPages);
      reader.readString("UIRightPagesWidget", &rightPages);
      reader.readString("UICover", &coverName);
      reader.readString("UIButton", &buttonName);
      reader.readString("UIPageLeftId", &made->pageLeftId);
      reader.readString("UIPageRightId", &made->pageRightId);
      element = findIn(widgetTree, elementName);
      made->element = element;
      made->leftPagesWidget = findIn(element, leftPages);
      made->rightPagesWidget = findIn(element, rightPages);
      made->cover = findIn(element, coverName);
      made->button = findIn(element, buttonName);
      if (made->button)
        made->button->processEvent("clicked", new KR::Function<NotebookSection>(made.get(), &NotebookSection::select));
      made->onSelect = [this](NotebookSection* selected) {
        // The tab of the section on show turns back to its first spread; another's shows it where it was left.
        const bool again = currentSection == selected && selected->shownLeft && !selected->pages.empty();
        currentSection = selected;
        if (again)
          selected->showPage(selected->pages.front().get());
        else
          selected->show();
        refreshSpread();
      };
      if (reader.enterChild("records")) {
        for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
          std::string id, sceneFile;
          bool doublePage = false;
          reader.readString("id", &id);
          reader.readString("SceneFile", &sceneFile);
          reader.readBool("doublePage", &doublePage);
          made->addRecord(id, sceneFile, doublePage);
        }
        reader.leaveChild();
      }
      made->configured = true;
      setShown(made->cover, true);
      setShown(made->leftPagesWidget, false);
      setShown(made->rightPagesWidget, false);
      section = std::move(made);
      reader.leaveChild();
    }
    reader.leaveChild();
  }
  reader.leaveChild();
  if (!loadingFile.empty()) loadingScene = AE::loadScene(loadingFile);
  if (loadingScene) {
    const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
    loadingScene->setPosition(KR::Vector2<float>(w / 2, h / 2 + h / 3));
    loadingScene->play(true);
  }
}

void NotebookUI::findHudMarkers() {
  if (!hudNode) return;
  openMarker = hudNode->getMarker("open");
  closeMarker = hudNode->getMarker("close");
  appearMarker = hudNode->getMarker("appear");
  pushRecordMarker = hudNode->getMarker("pushRecord");
  for (AE::Marker* marker : {openMarker, closeMarker, appearMarker, pushRecordMarker})
    if (marker) {
      marker->stop(true);
      marker->addListener(this);
    }
  const PlayerProfile* profile = ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
  // Until the story gives the button, it starts hidden and comes with its appear animation.
  if (profile && !profile->options.notebookButtonEnabled && appearMarker)
    if (AE::Marker* hidden = hudNode->getMarker("force_disable")) hidden->play();
}

void NotebookUI::finishHudMarkers() {
  for (AE::Marker* marker : {openMarker, closeMarker, appearMarker, pushRecordMarker})
    if (marker && marker->mState == AE::Marker::kPlaying) marker->complete();
}

bool NotebookUI::coversScreen() const { return open && widgetTree && widgetTree->shown && widgetTree->alpha > 0.99f; }

NotebookSection* NotebookUI::findSection(const std::string& name) {
  if (!section || section->name != name) {
    KR::log("ERROR: Bad section name specified! %s\n", name.c_str());
    return nullptr;
  }
  return section.get();
}

NotebookRecord* NotebookUI::findRecord(const std::string& sectionName, const std::string& recordName) {
  NotebookSection* found = findSection(sectionName);
  if (!found) return nullptr;
  NotebookRecord* record = found->findRecord(recordName);
  if (!record) KR::log("ERROR: Bad record name specified! %s\n", recordName.c_str());
  return record;
}

bool NotebookUI::place(const std::string& sectionName, const std::string& recordName) {
  NotebookRecord* record = findRecord(sectionName, recordName);
  if (!record) return false;
  record->section->placeRecord(record);
  // A spread on screen shows what was just put on it.
  if (open && record->page && record->page->shown) showSpread(record->page);
  return record->placed;
}

bool NotebookUI::pushRecord(const std::string& sectionName, const std::string& recordName) {
  if (!place(sectionName, recordName)) return false;
  pushPending = true;
  return true;
}

bool NotebookUI::pushRecordImmediately(const std::string& sectionName, const std::string& recordName) {
  if (!place(sectionName, recordName)) return false;
  runPushEffects();
  return true;
}

void NotebookUI::runPushEffects() {
  ++pushEffects;
  // The particles rise from the book button.
  const KR::Vector2<float> at = hudNode ? hudNode->getWorldOrigin() : KR::Vector2<float>();
  for (KR::ParticleFX* effect : {bottomParticle, topParticle})
    if (effect) {
      if (hudNode) effect->mPosition = at;
      effect->start();
    }
  finishHudMarkers();
  if (pushRecordMarker) pushRecordMarker->play();
}

bool NotebookUI::showRecord(const std::string& sectionName, const std::string& recordName) {
  setOpen(true);
  NotebookRecord* record = findRecord(sectionName, recordName);
  if (!record) return false;
  // A record not pushed yet has no page: the section reports it and the spread stays.
  if (!record->page) {
    record->section->showPage(nullptr);
    return false;
  }
  showSpread(record->page);
  currentSection = record->section;
  return true;
}

void NotebookUI::enableNotebookButton() {
  if (ProfileSystem::exists())
    if (PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile())
      profile->options.notebookButtonEnabled = 1;
  finishHudMarkers();
  // The button's appear animation opens the book when it ends.
  if (appearMarker)
    appearMarker->play();
  else
    setOpen(true);
}

void NotebookUI::setOpen(bool wanted) {
  if (wanted == open) return;
  open = wanted;
  if (!wanted) {
    for (KR::UIWidget* tree : {widgetTree, controlsTree})
      if (tree) tree->hide();
    finishHudMarkers();
    if (closeMarker) closeMarker->play();
    playSound(SoundEventType::NotebookClosed);
    if (section) section->lastPlacedRecord = nullptr;
    sendGameMessage(kMsgNotebookClosed, nullptr);
    return;
  }
  finishHudMarkers();
  if (openMarker)
    openMarker->play();
  else
    show();
  sendGameMessage(kMsgNotebookOpened, nullptr);
}

void NotebookUI::close() {
  transformation.reset();
  setOpen(false);
}

void NotebookUI::onMarker(AE::Marker* marker) {
  // A book closed again before the button's animation ended stays closed.
  if (marker == openMarker && open) show();
  if (marker == appearMarker) setOpen(true);
}

void NotebookUI::show() {
  if (!currentSection) currentSection = section.get();
  if (currentSection) {
    currentSection->show();
    refreshSpread();
  }
  // Under an open modal window (the pause menu, its options) the book comes
  // up beneath them, as they are drawn: on top of the shown stack it would
  // cover them for the pointer.
  std::vector<KR::UIWidget*> modals;
  KR::UIManager* ui = KR::UIManager::exists() ? KR::UIManager::getInstance() : nullptr;
  if (ui && modalBlocked && *modalBlocked)
    for (KR::UIWidget* entry : ui->getShownStack())
      if (entry->shown && entry->modal && !entry->parent && !entry->ownerDrawn) modals.push_back(entry);
  for (KR::UIWidget* tree : {widgetTree, controlsTree})
    if (tree) {
      if (tree->shown) tree->hideForcibly();
      tree->show();
    }
  for (KR::UIWidget* entry : modals) ui->bringToTop(entry);
  // Under an open modal window the controls wait for it to close (message 26).
  if (controlsTree) {
    if (modalBlocked && *modalBlocked)
      controlsTree->disable();
    else
      controlsTree->enable();
  }
  if (section && section->lastPlacedRecord && section->lastPlacedRecord->page)
    showSpread(section->lastPlacedRecord->page);
}

void NotebookUI::showSpread(NotebookPage* page) {
  section->showPage(page);
  refreshSpread();
}

void NotebookUI::refreshSpread() {
  setLabel(leftPageLabel, section->leftLabel);
  setLabel(rightPageLabel, section->rightLabel);
  updateArrows();
}

void NotebookUI::updateArrows() {
  if (!section || !section->shownLeft) {
    setShown(leftArrow, false);
    setShown(rightArrow, false);
    return;
  }
  const uint32_t left = section->shownLeft->index;
  setShown(leftArrow, left > 1);
  setShown(rightArrow, left + 2 <= section->pages.size());
}

void NotebookUI::listRight() {
  if (!section || !section->shownLeft) return;
  NotebookPage* next = section->neighbour(section->shownLeft, 2);
  if (!next) return;
  showSpread(next);
  playSound(SoundEventType::NotebookPageTurned);
}

void NotebookUI::listLeft() {
  if (!section || !section->shownLeft || section->shownLeft->index == 1) return;
  NotebookPage* before = section->neighbour(section->shownLeft, -2);
  if (!before) return;
  showSpread(before);
  playSound(SoundEventType::NotebookPageTurned);
}

bool NotebookUI::recordsShown() const { return open && section && element && element->alpha > kShownAlpha; }

void NotebookUI::update(float dt) {
  loading = false;
  transformation.updateTweens(dt);
  if (recordsShown())
    for (NotebookPage* page : {section->shownLeft, section->shownRight})
      if (page)
        for (NotebookRecord* record : page->records) {
          // The streamer's thread may hold a record it is loading: skip it this frame.
          if (pthread_mutex_trylock(&record->lock) != 0) continue;
          if (record->scene) record->scene->update(dt);
          pthread_mutex_unlock(&record->lock);
        }
  for (KR::ParticleFX* effect : {topParticle, bottomParticle})
    if (effect) effect->update(dt);
  updateArrows();
  if (loadingScene) loadingScene->update(dt);
}

KR::Vector2<float> NotebookUI::cameraOffset() const {
  KR::Vector2<float> at = pan + dragOffset;
  transformation.clampPosition(&at);
  return at;
}

KR::Vector2<float> NotebookUI::toBook(const KR::Vector2<float>& screen) const {
  const KR::Vector2<float> centre(float(KR::RenderSystem::getDesignWidth()) / 2,
                                  float(KR::RenderSystem::getDesignHeight()) / 2);
  const KR::Vector2<float> at = cameraOffset();
  const float zoom = scale > 0.0f ? scale : 1.0f;
  return KR::Vector2<float>((screen.x - centre.x) / zoom + centre.x - at.x,
                            (screen.y - centre.y) / zoom + centre.y - at.y);
}

void NotebookUI::draw() {
  KR::RenderSystem* render = KR::RenderSystem::getInstancePtr();
  float saved[KR::CAM_COUNT] = {0.0f, 0.0f, 1.0f, 1.0f, 0.0f};
  if (render) {
    std::copy(render->mCamera, render->mCamera + KR::CAM_COUNT, saved);
    const KR::Vector2<float> at = cameraOffset();
    const float camera[KR::CAM_COUNT] = {at.x, at.y, scale, scale, 0.0f};
    render->setCamera(camera);
  }
  if (controlsTree && controlsTree->shown) controlsTree->render(true);
  if (widgetTree && widgetTree->shown) widgetTree->render(true);
  if (recordsShown())
    for (NotebookPage* page : {section->shownLeft, section->shownRight})
      if (page)
        for (NotebookRecord* record : page->records) {
          if (record->scene && record->loadState == 2)
            AE::renderScene(record->scene);
          else
            loading = true;
        }
  if (render) render->setCamera(saved);
}

void NotebookUI::drawEffects() {
  if (loading && loadingScene) AE::renderScene(loadingScene);
  for (KR::ParticleFX* effect : {bottomParticle, topParticle})
    if (effect) effect->render();
}

bool NotebookUI::handleInput(const InputState& input) {
  if (!open || !input.valid) return false;
  if (transformation.handleInput(&input)) return true;
  // The arrows and Close are the book's too: a click on them is no click on the view beneath.
  const KR::Vector2<float> at = toBook(KR::Vector2<float>(float(input.x), float(input.y)));
  for (KR::UIWidget* tree : {widgetTree, controlsTree})
    if (tree && tree->shown && tree->hitTest(at)) return true;
  // Once the book hides the views, nothing of them can be clicked.
  return coversScreen();
}

void NotebookUI::resetParticles() {
  for (KR::ParticleFX* effect : {topParticle, bottomParticle})
    if (effect) {
      effect->start();
      effect->mStarted = false;
    }
}

void NotebookUI::reset() {
  if (section) section->clear();
}

void NotebookUI::onMessage(const GameMessage* message) {
  if (message->kind == kMsgViewDeactivated && pushPending) {
    pushPending = false;
    runPushEffects();
  }
  if (message->kind == kMsgPauseMenuClosed && open && controlsTree) controlsTree->enable();
}

std::vector<SaveGame::NotebookPage> NotebookUI::capture() const {
  std::vector<SaveGame::NotebookPage> stored;
  if (!section) return stored;
  for (const auto& page : section->pages) {
    SaveGame::NotebookPage entry;
    entry.flag = page->full ? 1 : 0;
    std::memcpy(&entry.word, &page->usedHeight, sizeof entry.word);
    for (const NotebookRecord* record : page->records) entry.recordKeys.push_back(record->id);
    stored.push_back(std::move(entry));
  }
  return stored;
}

void NotebookUI::restore(const std::vector<SaveGame::NotebookPage>& stored) {
  if (!section) return;
  // Without pages nothing is placed; scenes loaded already are kept.
  if (!section->pages.empty()) section->clear();
  for (size_t i = 0; i < stored.size(); ++i) {
    if (i % 2 == 0) section->addPagePair();
    NotebookPage* page = section->pages[i].get();
    for (const std::string& key : stored[i].recordKeys) {
      NotebookRecord* record = section->findRecord(key);
      if (!record) {
        KR::log("ERROR: Can't find notebook record '%s' for loading!", key.c_str());
        continue;
      }
      if (record->placed || !record->loadScene()) continue;
      page->putRecord(record);
    }
    std::memcpy(&page->usedHeight, &stored[i].word, sizeof page->usedHeight);
    page->full = stored[i].flag != 0;
  }
  // A restored book opens on its last spread, not on the last record pushed before.
  section->lastPlacedRecord = nullptr;
}

}  // namespace HOG
