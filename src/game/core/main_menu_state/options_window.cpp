#include "core/main_menu_state/options_window.h"

#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "core/app_state.h"
#include "core/authors_movie_state/authors_movie.h"
#include "core/main_menu_state/difficult_selection_window.h"
#include "core/main_menu_state/front_end_support.h"
#include "core/main_menu_state/profile_system.h"
#include "sound_system/sound_descriptor.h"
#include "sound_system/sound_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

const char* const kSuffixes[] = {"Hide", "Authors", "Diff"};

uint32_t testSound(const char* soundName, uint32_t group) {
  if (!KR::SoundManager::exists()) return 0;
  KR::SoundManager* sounds = KR::SoundManager::getInstance();
  if (uint32_t id = sounds->acquireSoundId(soundName)) return id;
  KR::SoundDescriptor descriptor;
  descriptor.name = soundName;
  descriptor.group = group;
  descriptor.volume = 1.0f;
  return sounds->loadSound(descriptor);
}

// Unchanged within 0.01; a value that is not a number counts as changed.
bool changed(float stored, float bar) { return !(std::fabs(stored - bar) <= 0.01f); }

void follow(AE::Marker* marker, const KR::UIProgressBar* bar) {
  if (marker && bar) marker->setTime(bar->value * marker->getDuration());
}

void play(uint32_t id) {
  if (KR::SoundManager::exists()) KR::SoundManager::getInstance()->playSound(id);
}

}  // namespace

OptionsWindow::OptionsWindow() : difficultyWindow(std::make_unique<DifficultSelectionWindow>()) {}

OptionsWindow::~OptionsWindow() {
  unload();
  if (KR::SoundManager::exists()) {
    KR::SoundManager::getInstance()->releaseSound(soundTestId);
    KR::SoundManager::getInstance()->releaseSound(ambientTestId);
  }
}

void OptionsWindow::setUIFiles(const std::string& file, const std::string& table) {
  uiFile = file;
  uiTable = table;
}

void OptionsWindow::load() {
  if (loaded || !KR::UIManager::exists() || uiFile.empty()) return;
  if (!bound) {
    bindHandler(name + kSuffixes[0], this, &OptionsWindow::onHide);
    bindHandler(name + kSuffixes[1], this, &OptionsWindow::onAuthors);
    bindHandler(name + kSuffixes[2], this, &OptionsWindow::onDiff);
    bound = true;
  }
  if (!root) {
    root = KR::UIManager::getInstance()->loadUI(uiFile, uiTable, nullptr, "default");
    if (root) root->hideForcibly();
  }
  if (!difficultyWindow->loaded) {
    if (name == "MMOptions" || name == "IGOptions") {
      const bool menu = name == "MMOptions";
      difficultyWindow->setUIFiles(menu ? "options_diff_ui" : "ingame_diff_ui", "selectdif_window");
      difficultyWindow->name = menu ? "OPDiff" : "IGDiff";
      difficultyWindow->startGame = false;
      difficultyWindow->load();
    }
  }
  if (!sceneOf(root)) return;
  struct Bar {
    const char* widget;
    const char* node;
    KR::UIProgressBar** bar;
    AE::Marker** marker;
  };
  const Bar bars[] = {{"musicProgressBar", "/root_group/music_progress", &musicBar, &musicMarker},
                      {"soundsProgressBar", "/root_group/sound_progress", &soundsBar, &soundMarker},
                      {"ambientProgressBar", "/root_group/ambient_progress", &ambientBar, &ambientMarker}};
  for (const Bar& bar : bars) {
    *bar.bar = dynamic_cast<KR::UIProgressBar*>(root->findDescendant(bar.widget));
    AE::ISceneNode* node = sceneNodeAt(root, bar.node);
    *bar.marker = node ? node->getMarker("moving") : nullptr;
    placeAtPivot(*bar.bar, node);
  }
  blackQuad = root->findDescendant("blackQuad");
  syncWithProfile();
  soundTestId = testSound("2_pliers_sound", KR::kSoundGroupSounds);
  ambientTestId = testSound("6_stone_sound", KR::kSoundGroupAmbient);
  loaded = true;
  testSoundTimer = 0.0f;
}

void OptionsWindow::unload() {
  if (difficultyWindow) difficultyWindow->unload();
  if (root && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(root);
  root = nullptr;
  musicBar = soundsBar = ambientBar = nullptr;
  musicMarker = soundMarker = ambientMarker = nullptr;
  blackQuad = nullptr;
  if (bound)
    for (const char* suffix : kSuffixes) unbindHandler(name + suffix, this);
  bound = false;
  loaded = false;
}

void OptionsWindow::syncWithProfile() {
  profile = ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
  if (!profile) return;
  if (musicBar) musicBar->setProgressImmediately(profile->options.musicVolume);
  if (soundsBar) soundsBar->setProgressImmediately(profile->options.soundVolume);
  // The options file written at close records the display mode in force.
  if (ProfileSystem::fullScreenFlag) profile->options.fullScreen = *ProfileSystem::fullScreenFlag ? 1 : 0;
  if (ambientBar) ambientBar->setProgressImmediately(profile->options.ambientVolume);
}

void OptionsWindow::show() {
  if (!loaded) return;
  syncWithProfile();
  root->hideForcibly();
  root->show();
}

void OptionsWindow::hide() {
  if (root && root->shown) root->hide();
  if (difficultyWindow->shown) difficultyWindow->hide();
}

bool OptionsWindow::isShown() const { return root && root->shown; }

void OptionsWindow::update(float dt) {
  if (!root || !root->visible || !root->shown) return;
  follow(musicMarker, musicBar);
  follow(soundMarker, soundsBar);
  follow(ambientMarker, ambientBar);
  testSoundTimer += dt;
  if (profile) {
    PlayerOptions& options = profile->options;
    const float music = musicBar ? musicBar->value : options.musicVolume;
    const float sound = soundsBar ? soundsBar->value : options.soundVolume;
    const float ambient = ambientBar ? ambientBar->value : options.ambientVolume;
    const bool soundChanged = changed(options.soundVolume, sound);
    const bool ambientChanged = changed(options.ambientVolume, ambient);
    if (soundChanged || ambientChanged || changed(options.musicVolume, music)) {
      if (testSoundTimer > 1.0f) {
        if (soundChanged) play(soundTestId);
        if (ambientChanged) play(ambientTestId);
        testSoundTimer = 0.0f;
      }
      options.soundVolume = sound;
      options.musicVolume = music;
      options.ambientVolume = ambient;
      PlayerProfile::applyVolumes(profile);
    }
  }
  if (difficultyWindow->shown) difficultyWindow->update();
  if (blackQuad) blackQuad->setVisible(openedFromMainMenu);
}

void OptionsWindow::onHide() {
  if (profile && ProfileSystem::exists())
    ProfileSystem::getInstance()->saveProfileOptions(ProfileSystem::getInstance()->getCurrentIndex());
  if (loaded) root->hide();
}

void OptionsWindow::onAuthors() {
  if (AuthorsMovie* credits = AuthorsMovie::getInstancePtr()) credits->returnToMainMenu = openedFromMainMenu;
  if (AppStateManager::exists()) AppStateManager::getInstance()->setState("AuthorsMovie");
}

void OptionsWindow::onDiff() {
  difficultyWindow->startGame = false;
  difficultyWindow->show();
}

}  // namespace HOG
