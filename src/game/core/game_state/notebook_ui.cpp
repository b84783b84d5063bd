#include "core/game_state/notebook_ui.h"

#include <cstring>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "core/game_state/area_trigger.h"
#include "core/game_state/event_sound_player.h"
#include "core/game_state/input_state.h"
#include "core/main_menu_state/profile_system.h"
#include "file_system.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
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

}  // namespace

NotebookUI::NotebookUI() {
  if (KR::LexBindedFunctionManager::exists()) {
    KR::LexBindedFunctionManager* commands = KR::LexBindedFunctionManager::getInstance();
    commands->registerFunction("notebookListLeft", new KR::LexBinder<NotebookUI>(this, &NotebookUI::listLeft));
    commands->registerFunction("notebookListRight", new KR::LexBinder<NotebookUI>(this, &NotebookUI::listRight));
  }
  KR::XmlDataReader reader;
  if (KR::FileSystem::exists() && reader.open("default", "notebook_config_xml")) readConfig(reader);
}

NotebookUI::~NotebookUI() {
  if (dispatcher) dispatcher->removeListener(this);
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
  if (KR::UIManager::exists()) {
    KR::UIManager* ui = KR::UIManager::getInstance();
    if (!widgetFile.empty()) widgetTree = ui->loadUI(widgetFile, widgetTable, nullptr, "default");
    if (!controlsFile.empty()) controlsTree = ui->loadUI(controlsFile, controlsTable, nullptr, "default");
  }
  // The book draws its trees itself, under its own camera, not in the UI pass.
  for (KR::UIWidget* tree : {widgetTree, controlsTree})
    if (tree) {
      tree->hideForcibly();
      tree->ownerDrawn = true;
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
      std::string elementName, leftPages, rightPages;
      reader.readString("UIElement", &elementName);
      reader.readString("UILeftPagesWidget", &leftPages);
      reader.readString("UIRightPagesWidget", &rightPages);
      element = widgetTree ? widgetTree->findDescendant(elementName) : nullptr;
      if (element) {
        made->leftPagesWidget = element->findDescendant(leftPages);
        made->rightPagesWidget = element->findDescendant(rightPages);
      }
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
      setShown(made->leftPagesWidget, false);
      setShown(made->rightPagesWidget, false);
      section = std::move(made);
      reader.leaveChild();
    }
    reader.leaveChild();
  }
  reader.leaveChild();
}

bool NotebookUI::coversScreen() const { return open && widgetTree && widgetTree->shown && widgetTree->alpha > 0.99f; }

NotebookSection* NotebookUI::findSection(const std::string& name) {
  if (!section || section->name != name) {
    KR::log("ERROR: Bad section name specified! %s\n", name.c_str());
    return nullptr;
  }
  return section.get();
}

bool NotebookUI::place(const std::string& sectionName, const std::string& recordName) {
  NotebookSection* found = findSection(sectionName);
  if (!found) return false;
  NotebookRecord* record = found->findRecord(recordName);
  if (!record) {
    KR::log("ERROR: Bad record name specified! %s\n", recordName.c_str());
    return false;
  }
  found->placeRecord(record);
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
  ++pushEffects;
  return true;
}

bool NotebookUI::showRecord(const std::string& sectionName, const std::string& recordName) {
  setOpen(true);
  NotebookSection* found = findSection(sectionName);
  NotebookRecord* record = found ? found->findRecord(recordName) : nullptr;
  if (!record || !record->page) return false;
  showSpread(record->page);
  return true;
}

void NotebookUI::enableNotebookButton() {
  if (ProfileSystem::exists())
    if (PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile()) profile->notebookButton = 1;
  setOpen(true);
}

void NotebookUI::setOpen(bool wanted) {
  if (wanted == open) return;
  open = wanted;
  if (!wanted) {
    for (KR::UIWidget* tree : {widgetTree, controlsTree})
      if (tree) tree->hide();
    playSound(SoundEventType::NotebookClosed);
    if (section) section->lastPlacedRecord = nullptr;
    sendGameMessage(kMsgNotebookClosed, nullptr);
    return;
  }
  show();
  sendGameMessage(kMsgNotebookOpened, nullptr);
}

void NotebookUI::show() {
  for (KR::UIWidget* tree : {widgetTree, controlsTree})
    if (tree) tree->show();
  if (!section) return;
  if (section->pages.empty()) section->addPagePair();
  NotebookPage* page = section->shownLeft ? section->shownLeft : section->pages.back().get();
  if (section->lastPlacedRecord && section->lastPlacedRecord->page) page = section->lastPlacedRecord->page;
  showSpread(page);
}

void NotebookUI::showSpread(NotebookPage* page) {
  section->showPage(page);
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

void NotebookUI::update(float dt) {
  if (!open || !section || !element || element->alpha <= kShownAlpha) return;
  for (NotebookPage* page : {section->shownLeft, section->shownRight})
    if (page)
      for (NotebookRecord* record : page->records) {
        // The streamer's thread may hold a record it is loading: skip it this frame.
        if (pthread_mutex_trylock(&record->lock) != 0) continue;
        if (record->scene) record->scene->update(dt);
        pthread_mutex_unlock(&record->lock);
      }
}

void NotebookUI::draw() {
  if (controlsTree && controlsTree->shown) controlsTree->render(true);
  if (widgetTree && widgetTree->shown) widgetTree->render(true);
  if (!open || !section || !element || element->alpha <= kShownAlpha) return;
  for (NotebookPage* page : {section->shownLeft, section->shownRight})
    if (page)
      for (NotebookRecord* record : page->records)
        if (record->scene) AE::renderScene(record->scene);
}

bool NotebookUI::handleInput(const InputState& input) {
  if (!open || !input.valid) return false;
  const KR::Vector2<float> at(float(input.x), float(input.y));
  return widgetTree && widgetTree->hitTest(at);
}

void NotebookUI::reset() {
  if (section) section->clear();
}

void NotebookUI::onMessage(const GameMessage* message) {
  if (message->kind == kMsgViewDeactivated && pushPending) {
    pushPending = false;
    ++pushEffects;
  }
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
