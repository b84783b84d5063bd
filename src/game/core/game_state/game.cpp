#include "core/game_state/game.h"

#include <algorithm>
#include <cmath>

#include "core/authors_movie_state/authors_movie.h"
#include "core/game_cursor_manager.h"
#include "core/game_post_processing_renderer.h"
#include "core/game_state/extensions/hos_item_disapperence_effect_manager.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/hud/amulets_button.h"
#include "core/game_state/hud/guide_box.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/script/cut_scene.h"
#include "core/game_state/script/lua_integration.h"
#include "core/game_state/sound/music_player.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/trigger_visualizer.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/game_state/views/view_streamer.h"
#include "core/main_menu_state/profile_system.h"
#include "log_system.h"
#include "matrix3.h"
#include "particle_system.h"
#include "platform/message_box.h"
#include "platform/termination.h"
#include "render_system_dx8.h"
#include "scoped_lock.h"
#include "sound_system/sound_manager.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "video_player.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr float kEpsilon = 1.1920929e-7f;

KR::SpriteManager<KR::Sprite>* sprites() { return KR::SpriteManager<KR::Sprite>::getInstancePtr(); }

}  // namespace

GeneralConfig Game::readGeneralConfig() {
  GeneralConfig config;
  KR::XmlDataReader reader;
  if (!reader.open("default", "general_config_xml") || !reader.enterChild("config")) return config;
  if (!reader.readFloat("closeupSystemScale", &config.closeupSystemScale)) config.closeupSystemScale = 1.0f;
  if (!reader.readFloat("inventoryPanelHeight", &config.inventoryPanelHeight)) config.inventoryPanelHeight = 150.0f;
  if (!reader.readFloat("globalTriggersScale", &config.globalTriggersScale)) config.globalTriggersScale = 1.0f;
  if (!reader.readInt("hosItemDissapearenceEffectQuality", &config.hosItemDissapearenceEffectQuality))
    config.hosItemDissapearenceEffectQuality = 0;
  return config;
}

Game::Game() : tasks(this) {
  KR::Singleton<Game>::setInstance(this);
  KR::initRecursiveMutex(&viewStackLock);
  luaState.init();
  LuaIntegration::registerTables(luaState.getMainState());
  generalConfig = readGeneralConfig();
  fadeIn.init();
  fadeOut.init();
  fadeOut.setZoomAmount(kViewChangeZoom);
  ViewFadeOutEffect::triggerLocator = &locateTriggerForZoom;
  itemFactory = std::make_unique<InventoryItemFactory>();
  registry = std::make_unique<ViewRegistry>();
  inventory = std::make_unique<Inventory>(*itemFactory);
  if (ProfileSystem::exists()) PlayerProfile::applyVolumes(ProfileSystem::getInstance()->getCurrentProfile());
  auto stack = std::make_unique<ViewStack>(*this, *registry);
  viewStack = stack.get();
  realViews = stack.get();
  views = std::move(stack);
  auto streaming = std::make_unique<ViewStreamer>(*registry, viewStack, itemFactory.get(), &viewStackLock);
  viewStreamer = streaming.get();
  streamer = std::move(streaming);
  viewStreamer->startThread();
  auto player = std::make_unique<MusicPlayer>();
  musicPlayer = player.get();
  realMusic = player.get();
  musicPlayer->setStreamer(viewStreamer);
  musicPlayer->loadConfig();
  music = std::move(player);
  auto highlights = std::make_unique<TriggerVisualizer>();
  visualizer = highlights.get();
  realVisualiser = visualizer;
  triggerVisualiser = std::move(highlights);
  auto cut = std::make_unique<CutScene>();
  realCutScene = cut.get();
  realCutScene->finishedCallback = [this]() { onCutSceneFinished(); };
  cutScene = std::move(cut);
  // The inventory, the HUD's panels, the pause menu, the notebook and the
  // trigger visualiser join the bus in this place when they exist.
  dispatcher.addListener(this);
  dispatcher.addListener(inventory.get());
  dispatcher.addListener(&fadeOut);
  dispatcher.addListener(visualizer);
}

bool Game::buildDeferredPart() {
  if (!messages) {
    // Loads the messages' font.
    messages = std::make_unique<UIMessageManager>();
    return true;
  }
  if (!foundItemEffect) {
    foundItemEffect = std::make_unique<HOSItemDisapperenceEffectManager>();
    foundItemEffect->quality = generalConfig.hosItemDissapearenceEffectQuality;
    return true;
  }
  if (!guidesBuilt) {
    guidesBuilt = true;
    // A stand-in set before the guides were built keeps its place.
    if (guides) return true;
    auto guideSequences = std::make_unique<GuideSequences>();
    guideSequences->geometry.screenWidth = float(KR::RenderSystem::getDesignWidth());
    guideSequences->geometry.screenHeight = float(KR::RenderSystem::getDesignHeight());
    guideSequences->load();
    realGuides = guideSequences.get();
    guides = std::move(guideSequences);
    return true;
  }
  return false;
}

UIMessageManager* Game::getMessages() {
  if (!messages) buildDeferredPart();
  return messages.get();
}

GuideSequences* Game::getGuides() {
  buildAllDeferredParts();
  return realGuides;
}

void Game::buildAllDeferredParts() {
  while (buildDeferredPart()) {
  }
}

IHud* Game::getHud() {
  // The HUD joins the bus itself, after the play state's own listeners.
  if (!hud) hud = std::make_unique<InGameUI>();
  return hud.get();
}

Game::~Game() {
  hud.reset();
  // The listeners leave the bus before their owner's members go.
  // The streamer's thread ends before the views, icons and music it touches.
  viewStreamer->stopThread();
  dispatcher.removeListener(visualizer);
  dispatcher.removeListener(&fadeOut);
  dispatcher.removeListener(inventory.get());
  dispatcher.removeListener(this);
  tasks.clear();
  viewStack->closeAllViews();
  music.reset();
  retiredMusic.reset();
  streamer.reset();
  registry->clear();
  inventory.reset();
  itemFactory->releaseAll();
  messages.reset();
  foundItemEffect.reset();
  pthread_mutex_destroy(&viewStackLock);
}

bool Game::isLocked() const { return lockTimer.held || lockTimer.remaining >= kEpsilon; }

bool Game::isTopViewActivated() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&viewStackLock));
  return !views->hasTopView() || views->isTopViewActivated();
}

void Game::load() {
  buildAllDeferredParts();
  getHud();
  visualizer->load();
  if (KR::SpriteManager<KR::Sprite>* manager = sprites()) {
    const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
    dimSprite = manager->createSpriteFromTextureObject(nullptr);
    dimSprite->setSize(KR::Vector2<float>(w, h));
    dimSprite->setMeshColor(KR::Color::fromFloats(0.0f, 0.0f, 0.0f, 0.5f));
    maskSprite = manager->createSpriteFromTextureObject(nullptr);
    loadingIndicator = manager->createSpriteFromTexture("loading_image", "default");
    const KR::Vector2<float> size = loadingIndicator->getSize();
    loadingIndicator->setPosition(w / 2 - size.x / 2, h / 2 - size.y / 2 + h / 3);
    loadingIndicator->mRotationCenter = KR::Vector2<float>(size.x / 2, size.y / 2);
  }
}

void Game::unload() {
  visualizer->release();
  if (KR::SpriteManager<KR::Sprite>* manager = sprites()) {
    if (dimSprite) manager->destroySprite(dimSprite);
    if (loadingIndicator) manager->destroySprite(loadingIndicator);
    if (maskSprite) manager->destroySprite(maskSprite);
  }
  maskSprite = nullptr;
  dimSprite = nullptr;
  loadingIndicator = nullptr;
  if (KR::ParticleSystem::exists()) {
    KR::ParticleSystem::getInstance()->clearPrototypes();
    KR::ParticleSystem::getInstance()->clearEffectPool();
  }
}

void Game::resetForNewGame() {
  dropCutScene();
  buildAllDeferredParts();
  guides->start();
  if (auto* ui = dynamic_cast<InGameUI*>(hud.get())) {
    // The script that locked the panel and the HUD is gone with its state, and a locked panel would hear
    // nothing of the views closing: its hidden-object list would go on reading the released scene.
    InventoryPanelUI* panel = ui->getInventoryPanel();
    panel->setLocked(false);
    panel->switchTo(panel->findBehaviour("ObjectsListPanelBehaviour"));
    ui->scriptBlocked = false;
    // A casket opening due after the old game's totem has no place in the new one.
    ui->getAmuletsButton()->delayedOpen = false;
  }
  views->closeAllViews();
  luaState.reset();
  LuaIntegration::registerTables(luaState.getMainState());
  nodeStates.clear();
  inventory->clear();
  itemFactory->loadItems();
  {
    // The descriptions are read again while the streamer holds no view.
    KR::ScopedLock pass(KR::ScopedLock::lock(viewStreamer->getQueueLock()));
    for (View* view : registry->getViews()) view->release();
    registry->loadViews();
  }
  if (auto* ui = dynamic_cast<InGameUI*>(hud.get())) ui->getNotebook()->reset();
}

void Game::ensureViewsLoaded() {
  if (!registry->getViews().empty()) return;
  KR::ScopedLock pass(KR::ScopedLock::lock(viewStreamer->getQueueLock()));
  registry->loadViews();
}

namespace {

// The player-facing text of a string-table key, or the key without a table.
std::string localText(const char* key) {
  return KR::TextManager::exists() ? KR::toNarrowString(KR::TextManager::getInstance()->getText(key)) : key;
}

// Seconds a notice stays on the message band: long enough to read a reason.
constexpr float kNoticeSeconds = 8.0f;

}  // namespace

bool Game::restoreSavedGame(std::string* refusal) { return SaveLoadGameProgressSystem::load(*this, refusal); }

bool Game::saveGame() {
  std::string reason;
  const bool saved = SaveLoadGameProgressSystem::save(*this, true, &reason);
  ++saveCount;
  if (!saved && !reason.empty()) notifyPlayer(localText("saving_failed") + " " + reason);
  return saved;
}

void Game::notifyPlayer(const std::string& text) { pendingNotice = text; }

void Game::onActivate() {
  PlayerProfile* profile = ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
  if (autosaveEnabled) {
    // A profile whose game has not begun starts anew whatever saved game lies about.
    const bool newGame = profile && profile->gameBegin == 1;
    if (profile) profile->gameBegin = 0;
    std::string refusal;
    if (newGame || !restoreSavedGame(&refusal)) {
      resetForNewGame();
      views->openView("location01");
      if (!refusal.empty()) notifyPlayer(localText("loading_failed"));
    }
  } else {
    ensureViewsLoaded();
  }
  streamer->start();
  if (profile && profile->reserved == PlayerProfile::kFreshGame) {
    if (KR::VideoPlayer::exists()) KR::VideoPlayer::getInstance()->playMovie("movie_intro_xml");
    profile->reserved = 0;
  } else {
    music->start();
  }
  // The list on disk says at once that this game has begun and its intro
  // played: after a kill before any other list write, Play must continue the
  // game, not start a new one over its saved game.
  if (autosaveEnabled && profile) {
    ProfileSystem* profiles = ProfileSystem::getInstance();
    if (!profiles->saveProfileList() && profiles->writeFailed) {
      notifyPlayer(localText("profiles_saving_failed") + " (" + profiles->writeFailure + ")");
      profiles->writeFailed = false;
    }
  }
  if (getHud()->isPauseMenuUp()) {
    lockTimer.held = true;
    ++viewStack->viewChangeLocks;
  }
  visualizer->visible = true;
  getHud()->setHudVisible(true);
  getHud()->start();
  sendSimple(kMsgPlayStarted);
}

void Game::onDeactivate() {
  // What lies behind a close-up may be streamed out and made again out of play.
  if (GamePostProcessingRenderer* post = GamePostProcessingRenderer::getInstancePtr()) post->dropKeptPicture();
  visualizer->visible = false;
  // The UI manager routes clicks to every shown tree: out of play the HUD's buttons must not take them.
  getHud()->setHudVisible(false);
  music->stop();
  streamer->stop();
  // The book closes at rest: no pan or zoom left for the next play.
  if (auto* ui = dynamic_cast<InGameUI*>(hud.get())) ui->getNotebook()->close();
  viewStack->dropTakedObject(false);
  // The hint button charges anew when play comes back.
  if (auto* ui = dynamic_cast<InGameUI*>(hud.get())) ui->getHintPanel()->chargeTime = 0.0f;
  // Play is left, so the message band will not show a failure: a box does,
  // unless a termination signal ends the game and nobody waits to answer it.
  if (autosaveEnabled && !saveGame() && !pendingNotice.empty() && !KR::Platform::terminationRequested()) {
    KR::Platform::showMessageBox(pendingNotice, localText("QUELLMOOR_TITLE"), KR::Platform::MessageBoxButtons::Ok,
                                 KR::Platform::MessageBoxIcon::Error);
    pendingNotice.clear();
  }
  if (ProfileSystem::exists()) {
    ProfileSystem* profiles = ProfileSystem::getInstance();
    if (profiles->getCurrentProfile()) profiles->saveProfileOptions(profiles->getCurrentIndex());
  }
  if (KR::SoundManager::exists()) KR::SoundManager::getInstance()->stopAllSounds();
  views->stop();
  if (GameCursorManager::exists()) GameCursorManager::getInstance()->setCursor(0);
  if (mode == 1) onCutSceneFinished();
}

void Game::saveProgress() {
  if (autosaveEnabled) saveGame();
}

void Game::sendSimple(uint32_t kind) {
  GameMessage message;
  message.kind = kind;
  message.sender = nullptr;
  dispatcher.dispatchMessage(&message);
}

void Game::onMessage(const GameMessage* message) {
  // The hint panel and the amulets button hear every message here once they exist.
  InventoryPanelUI* panel = nullptr;
  if (auto* ui = dynamic_cast<InGameUI*>(hud.get())) panel = ui->getInventoryPanel();
  if (message->kind == kMsgNotebookOpened) {
    viewStack->setTakenInventoryItem(nullptr);
    // The book covers the strip: it slides away and stays away until the book closes.
    if (panel) {
      if (panel->shown) panel->setShown(false);
      panel->autoHide = false;
    }
  } else if (message->kind == kMsgNotebookClosed) {
    if (panel) panel->autoHide = true;
  }
}

void Game::update(float dt) {
  buildAllDeferredParts();
  step(GameStep::EndOfGame);
  // The finale cut scene plays to its end before the credits.
  if (gameFinished && mode == 0) {
    gameFinished = false;
    if (AuthorsMovie::exists()) AuthorsMovie::getInstance()->returnToMainMenu = true;
    if (ProfileSystem::exists())
      if (PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile())
        profile->options.gameCompleted = 1;
    if (AppStateManager::exists()) AppStateManager::getInstance()->setState("AuthorsMovie");
    return;
  }
  if (mode == 0) {
    updatePlay(dt);
  } else {
    step(GameStep::CutScene);
    if (cutScene->isActive()) {
      InputState input;
      InputState::capture(input);
      cutScene->processInput(input);
    }
    cutScene->update(dt);
  }
  step(GameStep::SavedCutScene);
  if (savedCutScenePending && isTopViewActivated()) {
    savedCutScenePending = false;
    playCutScene();
  }
  step(GameStep::Autosave);
  updateAutosave(dt);
  step(GameStep::MusicStart);
  if (mode == 0 && music.get() == realMusic && !musicPlayer->isStarted()) music->start();
}

void Game::updatePlay(float dt) {
  step(GameStep::LockTimer);
  lockTimer.update(dt);
  step(GameStep::Tasks);
  tasks.update();
  step(GameStep::Input);
  if (isLocked())
    frameInput.clear();
  else
    InputState::capture(frameInput);
  bool hudTook = getHud()->processInput(frameInput);
  // The guide box lies over the view: a click on it stays with it.
  if (!hudTook && realGuides) hudTook = realGuides->processInput(frameInput);
  if (!hudTook) {
    views->processInput(frameInput);
    if (frameInput.valid && GameCursorManager::exists())
      GameCursorManager::getInstance()->setCursor(hud->requestedCursor() ? hud->requestedCursor()
                                                                         : viewStack->wantedCursor);
  } else if (pressInViews && frameInput.leftReleased) {
    // A drag begun in a view and let go over the HUD ends in the view.
    views->processInput(frameInput);
  }
  if (frameInput.leftPressed) pressInViews = !hudTook;
  if (frameInput.leftReleased) pressInViews = false;
  step(GameStep::Blur);
  blurTarget = views->hasVisibleCloseup() ? 1.0f : 0.0f;
  const float stepSize = kBlurRate * dt;
  if (blurAmount < blurTarget)
    blurAmount = std::min(blurAmount + stepSize, blurTarget);
  else
    blurAmount = std::max(blurAmount - stepSize, blurTarget);
  step(GameStep::Views);
  views->update(dt);
  step(GameStep::TasksAgain);
  tasks.update();
  step(GameStep::Messages);
  messages->update(dt);
  if (!pendingNotice.empty() && !messages->hasMessage()) {
    messages->showNonLocalizedMessage(pendingNotice, kNoticeSeconds);
    pendingNotice.clear();
  }
  step(GameStep::LoadingIndicator);
  updateLoadingIndicator(dt);
  step(GameStep::Hud);
  getHud()->update(dt);
  step(GameStep::ViewEffects);
  for (ViewEffect* effect : effects) effect->update(dt);
  step(GameStep::Guides);
  guides->update(dt);
  step(GameStep::Music);
  music->update(dt);
  // Icons of items no longer held go here, on the main thread, between draws.
  streamer->update(dt);
  step(GameStep::TriggerVisualiser);
  triggerVisualiser->update(dt);
}

void Game::updateLoadingIndicator(float dt) {
  loadingAngle = std::fmod(loadingAngle + 360.0f * dt, 360.0f);
  const float change = (views->hasTopView() && !views->isTopViewLoaded() ? 5.0f : -5.0f) * dt;
  loadingAlpha = std::min(std::max(loadingAlpha + change, 0.0f), 1.0f);
  if (!loadingIndicator) return;
  loadingIndicator->mAngle = loadingAngle;
  loadingIndicator->mDirty = true;
  loadingIndicator->setMeshColor(KR::Color::fromFloats(loadingAlpha, loadingAlpha, loadingAlpha, loadingAlpha));
}

void Game::updateAutosave(float dt) {
  autosaveTimer += dt;
  if (autosaveTimer <= autosavePeriod) return;
  if (autosaveEnabled) saveGame();
  if (ProfileSystem::exists()) {
    ProfileSystem* profiles = ProfileSystem::getInstance();
    if (profiles->getCurrentProfile()) profiles->saveProfileOptions(profiles->getCurrentIndex());
  }
  autosaveTimer = 0.0f;
}

void Game::draw() {
  buildAllDeferredParts();
  GamePostProcessingRenderer* post = GamePostProcessingRenderer::getInstancePtr();
  if (mode == 1) {
    // Frames that do not show the views keep no picture of them.
    if (post) post->dropKeptPicture();
    cutScene->draw();
    return;
  }
  const bool blur = post && (blurTarget >= 1.0f || blurAmount > kEpsilon);
  const float strength = 0.5f * blurAmount;
  bool blurOpen = false;
  // The open book hides every view once it has faded in.
  auto* ui = dynamic_cast<InGameUI*>(hud.get());
  const bool bookCovers = ui && ui->getNotebook()->coversScreen();
  if (bookCovers) {
    // The book hides the views: no picture of them is kept behind it.
    if (post) post->dropKeptPicture();
    blurOpen = blur && post->beginBlur(strength) == 0;
  } else if (views.get() == realViews) {
    // The view stack blurs what lies beneath the lowest close-up (or draws
    // the picture it kept of it) and zooms each plain view through the effects.
    blurOpen = viewStack->drawViews(blur, strength);
  } else {
    blurOpen = blur && post->beginBlur(strength) == 0;
    for (ViewEffect* effect : effects) effect->beginZoom();
    views->drawViews();
    for (ViewEffect* effect : effects) effect->endZoom();
  }
  if (blurOpen && post) post->endBlur();
  // The highlights mark the views' triggers: none over the book that hides the views.
  if (!bookCovers) triggerVisualiser->draw();
  for (ViewEffect* effect : effects) effect->draw();
  messages->render();
  if (loadingIndicator && loadingAlpha > 0.0f) {
    loadingIndicator->updateVertices();
    loadingIndicator->render();
  }
  // The guide's arrow over the views, beneath the HUD (the box itself is drawn in the HUD's UI pass).
  guides->draw();
  getHud()->draw();
}

float Game::getFadeValue() const {
  float value = 0.0f;
  for (const ViewEffect* effect : effects)
    if (effect->isRunning()) value = std::max(value, effect->overlayAlpha());
  return value;
}

CutScene* Game::getCutScene() { return cutScene.get() == realCutScene ? realCutScene : nullptr; }

void Game::startCutScene(const std::string& name, uint32_t value) {
  savedCutSceneName = name;
  savedCutSceneValue = value;
  playCutScene();
}

void Game::playCutScene() {
  if (cutScene.get() == realCutScene) {
    View* top = viewStack->getActiveView();
    if (!top || !top->scene) return;
    // A cut scene still running lets go of the scene it loaded.
    realCutScene->reset();
    realCutScene->scene = top->scene;
    realCutScene->init(savedCutSceneName, top->id);
  }
  cutScene->start();
  mode = 1;
}

void Game::dropCutScene() {
  if (realCutScene && cutScene.get() == realCutScene) realCutScene->reset();
  if (mode == 1) onCutSceneFinished();
}

void Game::onCutSceneFinished() {
  mode = 0;
  cutScene->stop();
}

namespace {
Game* playState() { return Game::exists() ? Game::getInstance() : nullptr; }
}  // namespace

GameLuaState* gameLuaState() { return playState() ? &playState()->getLuaState() : nullptr; }
GameMessageDispatcher* gameDispatcher() { return playState() ? &playState()->getDispatcher() : nullptr; }
GameTaskManager* gameTasks() { return playState() ? &playState()->getTasks() : nullptr; }
IHud* gameHud() { return playState() ? playState()->getHud() : nullptr; }
Inventory* gameInventory() { return playState() ? &playState()->getInventory() : nullptr; }
InventoryItemFactory* gameItemFactory() { return playState() ? &playState()->getItemFactory() : nullptr; }
SceneNodeStateList* gameNodeStates() { return playState() ? &playState()->getNodeStates() : nullptr; }
UIMessageManager* gameMessages() { return playState() ? playState()->getMessages() : nullptr; }
ViewRegistry* gameRegistry() { return playState() ? &playState()->getRegistry() : nullptr; }
ViewStack* gameViewStack() { return playState() ? &playState()->getViewStack() : nullptr; }
pthread_mutex_t* gameViewStackLock() { return playState() ? playState()->getViewStackLock() : nullptr; }

}  // namespace HOG
