#pragma once
// The in-game notebook: a full-screen book opened from the HUD's book button,
// whose spreads show the records the story pushed (notebook_records.h), with
// arrows to turn spreads, page numbers, pan and zoom, two particle effects and
// short animations of the HUD's book button (its scene node's markers "open",
// "close", "appear", "pushRecord"). Owned by the HUD; main thread only; a
// listener on the play state's bus. Saved games keep its pages (record ids,
// the full flag and the used height of each page).
//
// Resources (package "default"): "notebook_config_xml" section
// "NotebookConfig" naming the book's and the controls' UI tables, the page
// size, the loading animation, the push particles and the one section
// ("Sections"/"section1") with its widgets, page tables and records.
//
//   notebook.pushRecord("diary", "hall_letter");   // placed at once, shown on opening
//   notebook.setOpen(true);                        // the button's "open" animation, then the book
//   notebook.listRight();
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "core/game_state/game_message.h"
#include "core/game_state/hud/notebook_records.h"
#include "core/game_state/saves/save_game_file.h"
#include "core/game_state/views/transformation_controller.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class ParticleFX;
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

struct InputState;

class NotebookUI : public GameMessageListener, public AE::MarkerListener {
 public:
  // Registers the page-turn commands and loads the configuration when the
  // file system is up. hudNode is the HUD's book-button node (may be null).
  explicit NotebookUI(AE::ISceneNode* hudNode = nullptr);
  ~NotebookUI() override;

  void readConfig(KR::XmlDataReader& reader);
  // Opening or closing twice changes nothing and sends nothing. Opening plays
  // the button's "open" marker and shows the book when it ends.
  void setOpen(bool open);
  bool isOpen() const { return open; }
  // Zooms and pans back, then closes.
  void close();
  // Open and fully faded in: nothing under the book shows.
  bool coversScreen() const;
  // Placed at once; false (with an error line) for a bad section or record name.
  bool pushRecord(const std::string& section, const std::string& record);
  bool pushRecordImmediately(const std::string& section, const std::string& record);
  // Opens the notebook on the record's spread; false (with an error line) when
  // either name matches nothing or the record was not pushed.
  bool showRecord(const std::string& section, const std::string& record);
  void enableNotebookButton();
  void listLeft();
  void listRight();
  void update(float dt);
  // The controls, the book and the shown records, under the book's pan and zoom.
  void draw();
  // The loading animation while a shown record waits for its scene, and the push particles.
  void drawEffects();
  // Pan and zoom take the input first, then the book's widgets and controls
  // (where they are drawn); once the book covers the screen it takes all.
  bool handleInput(const InputState& input);
  // Restarts the push particles and leaves them stopped (the HUD hides or shows itself).
  void resetParticles();
  // Forgets pages and placements (new game).
  void reset();

  void onMessage(const GameMessage* message) override;
  void onMarker(AE::Marker* marker) override;

  // The saved game's notebook section: every page in order with its records' ids.
  std::vector<SaveGame::NotebookPage> capture() const;
  // Clears the notebook and places the saved records on their pages again.
  void restore(const std::vector<SaveGame::NotebookPage>& pages);

  NotebookSection* getSection() { return section.get(); }
  NotebookSection* getCurrentSection() { return currentSection; }
  // The point of the book under a screen point, through the pan and zoom.
  KR::Vector2<float> toBook(const KR::Vector2<float>& screen) const;

  KR::UIWidget* widgetTree = nullptr;
  KR::UIWidget* controlsTree = nullptr;
  KR::UIWidget* leftPageLabel = nullptr;
  KR::UIWidget* rightPageLabel = nullptr;
  KR::UIWidget* leftArrow = nullptr;
  KR::UIWidget* rightArrow = nullptr;
  KR::UIWidget* element = nullptr;
  AE::ISceneNode* hudNode = nullptr;
  AE::Marker* openMarker = nullptr;
  AE::Marker* closeMarker = nullptr;
  AE::Marker* appearMarker = nullptr;
  AE::Marker* pushRecordMarker = nullptr;
  std::string widgetFile;
  KR::Vector2<float> pageSize;
  bool pushPending = false;
  // Push effects run so far.
  int pushEffects = 0;
  KR::ParticleFX* topParticle = nullptr;
  KR::ParticleFX* bottomParticle = nullptr;
  AE::ISceneNode* loadingScene = nullptr;
  // A shown record's scene was not loaded yet when the book was drawn.
  bool loading = false;
  // The HUD's flag of an open modal window: the controls start disabled while it is up.
  const bool* modalBlocked = nullptr;
  TransformationController transformation;
  float scale = 1.0f;
  KR::Vector2<float> pan, dragOffset;

 private:
  NotebookSection* findSection(const std::string& name);
  // The named record, or null after the bad section's or record's error line.
  NotebookRecord* findRecord(const std::string& section, const std::string& record);
  bool place(const std::string& sectionName, const std::string& recordName);
  void show();
  void showSpread(NotebookPage* page);
  // Labels and arrows of the shown spread.
  void refreshSpread();
  void updateArrows();
  // Open and the section faded in: the shown records advance and draw.
  bool recordsShown() const;
  // The book's pan for the camera: the drag included, kept inside the zoomed book.
  KR::Vector2<float> cameraOffset() const;
  // Every HUD marker still playing jumps to its end.
  void finishHudMarkers();
  void runPushEffects();
  void findHudMarkers();

  std::unique_ptr<NotebookSection> section;
  NotebookSection* currentSection = nullptr;
  bool open = false;
};

}  // namespace HOG
