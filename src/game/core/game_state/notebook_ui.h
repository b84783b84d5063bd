#pragma once
// The in-game notebook: a full-screen book opened from the HUD's book button,
// whose spreads show the records the story pushed (notebook_records.h), with
// arrows to turn spreads and page numbers. Owned by the HUD; main thread only;
// a listener on the play state's bus. Saved games keep its pages (record ids,
// the full flag and the used height of each page).
//
// Resources (package "default"): "notebook_config_xml" section
// "NotebookConfig" naming the book's and the controls' UI tables, the page
// size and the one section ("Sections"/"section1") with its records.
//
//   notebook.pushRecord("diary", "hall_letter");   // placed at once, shown on opening
//   notebook.setOpen(true);
//   notebook.listRight();
#include <memory>
#include <string>
#include <vector>

#include "core/game_state/game_message.h"
#include "core/game_state/notebook_records.h"
#include "core/game_state/save_game_file.h"

namespace KR {
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

struct InputState;

class NotebookUI : public GameMessageListener {
 public:
  // Registers the page-turn commands and loads the configuration when the file system is up.
  NotebookUI();
  ~NotebookUI() override;

  void readConfig(KR::XmlDataReader& reader);
  // Opening or closing twice changes nothing and sends nothing.
  void setOpen(bool open);
  bool isOpen() const { return open; }
  // Open and fully faded in: nothing under the book shows.
  bool coversScreen() const;
  // Placed at once; false (with an error line) for a bad section or record name.
  bool pushRecord(const std::string& section, const std::string& record);
  bool pushRecordImmediately(const std::string& section, const std::string& record);
  // Opens the notebook on the record's spread; false when either name matches nothing.
  bool showRecord(const std::string& section, const std::string& record);
  void enableNotebookButton();
  void listLeft();
  void listRight();
  void update(float dt);
  void draw();
  bool handleInput(const InputState& input);
  // Forgets pages and placements (new game).
  void reset();

  void onMessage(const GameMessage* message) override;

  // The saved game's notebook section: every page in order with its records' ids.
  std::vector<SaveGame::NotebookPage> capture() const;
  // Clears the notebook and places the saved records on their pages again.
  void restore(const std::vector<SaveGame::NotebookPage>& pages);

  NotebookSection* getSection() { return section.get(); }

  KR::UIWidget* widgetTree = nullptr;
  KR::UIWidget* controlsTree = nullptr;
  KR::UIWidget* leftPageLabel = nullptr;
  KR::UIWidget* rightPageLabel = nullptr;
  KR::UIWidget* leftArrow = nullptr;
  KR::UIWidget* rightArrow = nullptr;
  KR::UIWidget* element = nullptr;
  std::string widgetFile;
  KR::Vector2<float> pageSize;
  bool pushPending = false;
  // Push effects run so far (the HUD button's animation would hang here).
  int pushEffects = 0;

 private:
  NotebookSection* findSection(const std::string& name);
  bool place(const std::string& sectionName, const std::string& recordName);
  void show();
  void showSpread(NotebookPage* page);
  void updateArrows();

  std::unique_ptr<NotebookSection> section;
  bool open = false;
};

}  // namespace HOG
