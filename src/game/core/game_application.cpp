#include "core/game_application.h"

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "config_manager.h"
#include "core/app_state.h"
#include "core/authors_movie_state/authors_movie.h"
#include "core/game_cursor_manager.h"
#include "core/game_post_processing_renderer.h"
#include "core/game_state/game.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/logo_state/logo_game_state.h"
#include "core/main_menu_state/main_menu.h"
#include "core/main_menu_state/profile_system.h"
#include "core/showcase/showcase_state.h"
#include "font.h"
#include "log_system.h"
#include "platform/safe_file.h"
#include "render_system_dx8.h"
#include "string_conversion.h"
#include "timer_manager.h"
#include "ui/text_manager.h"
#include "user_data_folder.h"

GameApplication::LaunchMode GameApplication::launchMode = GameApplication::LaunchMode::Game;

GameApplication::GameApplication() {
  setInstance(this);
  KR::log("Application started");
  name = KR::toNarrowString(KR::TextManager::getInstance()->getText("QUELLMOOR_TITLE"));
  // The game draws its own cursor.
  windowInfo->hideSystemCursor = 1;
  // Position, normal, diffuse colour and one texture-coordinate set.
  configManager->vertexFormatFlags = 23;
  // Scene range loops restart, and sprite descriptions come from sprite sheets first.
  AE::gLoopEnabled = 1;
  AE::useSpriteSheets = 1;
}

GameApplication::~GameApplication() = default;

void GameApplication::readSettings() {
  // The current profile's options decide the display mode.
  // A write killed halfway leaves its temporary file behind; the single-instance
  // lock is held, so no other copy is writing one now.
  KR::Platform::removeStaleTemporaries(KR::getUserDataFolder("Quellmoor", "Marlowick"));
  profileSystem = new HOG::ProfileSystem();
  profileSystem->loadProfileList();
  profileSystem->readOptionsOf(profileSystem->getCurrentIndex());
  HOG::PlayerProfile::apply(profileSystem->getCurrentProfile());
}

void GameApplication::init() {
  loadingScreen = AE::loadScene("loading_screen_xml");
  if (loadingScreen) loadingScreen->play(true);
  // The profile comes before the cursors: its option decides the system arrow.
  if (!profileSystem) readSettings();
  HOG::GameCursorManager* cursors = new HOG::GameCursorManager();
  cursors->load();
  if (!HOG::GamePostProcessingRenderer::exists()) new HOG::GamePostProcessingRenderer();
  HOG::GamePostProcessingRenderer::getInstance()->loadShaders();
  initGame();
}

void GameApplication::initGame() {
  HOG::AppStateManager* states =
      HOG::AppStateManager::exists() ? HOG::AppStateManager::getInstance() : new HOG::AppStateManager();
  HOG::MainMenu* menu = HOG::MainMenu::exists() ? HOG::MainMenu::getInstance() : new HOG::MainMenu();
  HOG::Game* game = HOG::Game::exists() ? HOG::Game::getInstance() : new HOG::Game();
  HOG::AuthorsMovie* credits = HOG::AuthorsMovie::exists() ? HOG::AuthorsMovie::getInstance() : new HOG::AuthorsMovie();
  if (!HOG::EventSoundPlayer::exists()) new HOG::EventSoundPlayer();
  HOG::LogoGameState* logo =
      HOG::LogoGameState::exists() ? HOG::LogoGameState::getInstance() : new HOG::LogoGameState();
  // The first state registered runs first.
  if (launchMode == LaunchMode::Showcase && !states->findState("Showcase"))
    states->registerState(new HOG::ShowcaseState(*this));
  states->registerState(logo);
  states->registerState(menu);
  states->registerState(game);
  states->registerState(credits);
  if (launchMode == LaunchMode::Play) {
    // Play goes on with the current player's game. Without a player yet, the
    // one the first run offers is made and written, so that the next
    // "--play" continues this game instead of starting a new one over it.
    HOG::ProfileSystem* profiles = HOG::ProfileSystem::getInstancePtr();
    if (profiles && profiles->onlyDefaultProfile() && profiles->createProfile(L"Player")) {
      profiles->saveProfileOptions(profiles->getCurrentIndex());
      profiles->saveProfileList();
    }
    states->setState("Game");
  }
}

void GameApplication::shutdown() {
  if (gameFont) gameFont->release();
  gameFont = nullptr;
  delete loadingScreen;
  loadingScreen = nullptr;
  // The manager deletes the states it holds; their instance pointers clear as they go.
  if (HOG::AppStateManager::exists()) HOG::AppStateManager::getInstance()->shutdown();
  delete HOG::LogoGameState::getInstancePtr();
  delete HOG::EventSoundPlayer::getInstancePtr();
  delete HOG::AuthorsMovie::getInstancePtr();
  delete HOG::Game::getInstancePtr();
  delete HOG::MainMenu::getInstancePtr();
  delete HOG::GameCursorManager::getInstancePtr();
  delete HOG::AppStateManager::getInstancePtr();
  delete profileSystem;
  profileSystem = nullptr;
  if (HOG::GamePostProcessingRenderer::exists()) {
    HOG::GamePostProcessingRenderer::getInstance()->releaseShaders();
    delete HOG::GamePostProcessingRenderer::getInstance();
  }
}

HOG::Showcase* GameApplication::getShowcase() {
  HOG::AppStateManager* states = HOG::AppStateManager::getInstancePtr();
  auto* showcase = states ? dynamic_cast<HOG::ShowcaseState*>(states->getCurrentState()) : nullptr;
  return showcase ? showcase->getShowcase() : nullptr;
}

float GameApplication::frameStep() const {
  return clampTimeStep(KR::TimerManager::exists() ? KR::TimerManager::getInstance()->getRawFrameTime() : 0.0f);
}

void GameApplication::update() {
  const float dt = frameStep();
  HOG::AppStateManager* states = HOG::AppStateManager::getInstancePtr();
  if (states && states->getCurrentState() && states->getCurrentState()->loaded) states->getCurrentState()->update(dt);
  if (HOG::GameCursorManager::exists()) HOG::GameCursorManager::getInstance()->update(dt);
  // After the launch's first frame, one part that the launch left out per
  // frame: the game's font, then the parts of play, so that none is left for
  // the frame that enters play.
  if (framesPresented == 0) return;
  if (!gameFont) {
    gameFont = new KR::Font();
    gameFont->load("font2_fnt");
  } else if (HOG::Game::exists()) {
    HOG::Game::getInstance()->buildDeferredPart();
  }
}

void GameApplication::render() {
  HOG::AppStateManager* states = HOG::AppStateManager::getInstancePtr();
  HOG::IAppState* state = states ? states->getCurrentState() : nullptr;
  if (state && state->loaded && state->presentsOwnFrame()) {
    state->draw();
    ++framesPresented;
    return;
  }
  if (!renderSystem || !renderSystem->getDevice()) return;
  renderSystem->checkDeviceLost();
  if (state && state->loaded) state->draw();
  renderSystem->renderFrame();
  renderSystem->present();
  ++framesPresented;
}

void GameApplication::updateWhileLoading() {
  if (loadingScreen) loadingScreen->update(frameStep());
}

void GameApplication::renderWhileLoading() {
  if (!loadingScreen || !renderSystem || !renderSystem->getDevice()) return;
  renderSystem->checkDeviceLost();
  AE::renderScene(loadingScreen);
  renderSystem->renderFrame();
  renderSystem->present();
}

void GameApplication::onPostRender(float viewportScale) {
  if (HOG::GameCursorManager::exists()) HOG::GameCursorManager::getInstance()->draw(viewportScale);
}
