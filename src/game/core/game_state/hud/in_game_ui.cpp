#include "core/game_state/hud/in_game_ui.h"

#include "animationeditor/scene_node.h"
#include "core/game_cursor_manager.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/amulets_button.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_menu.h"
#include "core/game_state/hud/locations_map.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "fast_sprite.h"
#include "input_manager_win_mac.h"
#include "lex_binded_function_manager.h"
#include "render_system_dx8.h"
#include "scoped_lock.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_sprite.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
constexpr const char* kCommands[] = {"closeItemAddedWindow", "notebookPushed",          "hintClicked",
                                     "menuClicked",          "goBackwardButtonClicked", "casketClicked"};

void nothing() {}

}  // namespace

InGameUI::InGameUI() {
  KR::LexBindedFunctionManager* commands =
      KR::LexBindedFunctionManager::exists() ? KR::LexBindedFunctionManager::getInstance() : nullptr;
  if (commands) {
    using Binder = KR::LexBinder<InGameUI>;
    commands->registerFunction("closeItemAddedWindow", new Binder(this, &InGameUI::closeItemAddedWindow));
    commands->registerFunction("menuClicked", new Binder(this, &InGameUI::menuClicked));
    commands->registerFunction("goBackwardButtonClicked", new Binder(this, &InGameUI::goBackwardButtonClicked));
    commands->registerFunction("casketClicked", new Binder(this, &InGameUI::casketClicked));
    commands->registerFunction("notebookPushed", new Binder(this, &InGameUI::notebookPushed));
    commands->registerFunction("hintClicked", new KR::LexBinder<InGameUI>(new KR::Function<InGameUI>(&nothing)));
  }
  if (KR::UIManager::exists()) {
    KR::UIManager* ui = KR::UIManager::getInstance();
    hudWidget = ui->loadUI("ingame_ui", "InGame", nullptr, "default");
    itemAddedWindow = ui->loadUI("item_added_window_ui", "ItemAddedWindow", nullptr, "default");
    if (itemAddedWindow) itemImage = itemAddedWindow->findDescendant("image");
    // The icon shown there belongs to the item factory: the window only borrows it.
    if (auto* image = dynamic_cast<KR::UISprite*>(itemImage)) {
      image->scale = KR::Vector2<float>(1.0f, 1.0f);
      image->ownsSprite = false;
    }
  }
  // The notebook and the casket animate their nodes of the HUD's scene.
  AE::ISceneNode* hudScene = KR::findOwnedScene(hudWidget);
  notebook = std::make_unique<NotebookUI>(hudScene ? hudScene->findByPath("/root_group/book_btn_controller") : nullptr);
  notebook->modalBlocked = &modalBlocked;
  if (Game::exists()) locationsMap = std::make_unique<LocationsScreen>(Game::getInstance()->getRegistry());
  inventoryPanel = std::make_unique<InventoryPanelUI>();
  inventoryPanel->loadConfig();
  hintPanel = std::make_unique<HintPanel>();
  hintPanel->inventoryPanel = inventoryPanel.get();
  hintPanel->locations = locationsMap.get();
  hintPanel->load();
  pauseMenu = std::make_unique<InGameMenu>();
  pauseMenu->loadConfig();
  pauseMenu->createUI();
  if (hudWidget) hudWidget->hideForcibly();
  if (itemAddedWindow) itemAddedWindow->hideForcibly();
  amuletsButton =
      std::make_unique<AmuletsButton>(hudScene ? hudScene->findByPath("/root_group/casket_btn_controller") : nullptr,
                                      hudWidget ? hudWidget->findDescendant("casket_btn") : nullptr);
  if (commands)
    for (const char* name : kCommands) commands->unregisterFunction(name);
  if (Game::exists()) {
    Game::getInstance()->getDispatcher().addListener(this);
    Game::getInstance()->getDispatcher().addListener(notebook.get());
  }
}

InGameUI::~InGameUI() {
  if (dispatcher) dispatcher->removeListener(this);
  pauseMenu.reset();
  hintPanel.reset();
  inventoryPanel.reset();
  locationsMap.reset();
  notebook.reset();
  // The casket listens to markers of the HUD scene, which goes with the HUD tree.
  if (!KR::UIManager::exists()) amuletsButton->forgetButtonNode();
  amuletsButton.reset();
  if (!KR::UIManager::exists()) return;
  KR::UIManager* ui = KR::UIManager::getInstance();
  if (hudWidget) ui->destroyUI(hudWidget);
  if (itemAddedWindow) ui->destroyUI(itemAddedWindow);
}

bool InGameUI::isPauseMenuUp() const { return pauseMenu->shown; }

void InGameUI::start() {
  if (locationsMap) locationsMap->map->updatePlaces();
  inventoryPanel->show();
  if (auto* row =
          dynamic_cast<ObjectsListPanelBehaviour*>(inventoryPanel->findBehaviour("ObjectsListPanelBehaviour"))) {
    row->clearItems();
    row->refreshItems();
  }
}

void InGameUI::draw() {
  if (locationsMap) locationsMap->draw();
  if (inventoryPanel->activeBehaviour) inventoryPanel->activeBehaviour->drawUnderPanel();
  // The HUD and the strip first, the row's icons over the strip.
  if (hudWidget && hudWidget->shown) hudWidget->render(false);
  if (inventoryPanel->root && inventoryPanel->root->shown) inventoryPanel->root->render(false);
  inventoryPanel->draw();
  // The book lies over the HUD; trails, totems and every other shown tree
  // (hint button, item window, pause menu, guide box) lie over the book, so a
  // menu opened over the book is seen. The UI pass skips what was drawn here.
  notebook->draw();
  notebook->drawEffects();
  hintPanel->draw();
  amuletsButton->draw();
  // The row may have drawn the same icon elsewhere in this frame. The
  // streamer's thread drops icons under the factory's icon lock: the window
  // draws the borrowed one under it.
  KR::ScopedLock icons(
      KR::ScopedLock::lock(Game::exists() ? Game::getInstance()->getItemFactory().getIconLock() : nullptr));
  dressItemImage();
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->render();
}

void InGameUI::notebookPushed() { notebook->setOpen(!notebook->isOpen()); }

void InGameUI::setHudVisible(bool visible) {
  notebook->resetParticles();
  if (inventoryPanel->root) inventoryPanel->root->setVisible(visible);
  if (inventoryPanel->activeBehaviour) inventoryPanel->activeBehaviour->setContentVisible(visible);
  if (hintPanel->widget) {
    if (visible)
      hintPanel->widget->show();
    else
      hintPanel->widget->hideForcibly();
  }
  if (!hudWidget) return;
  if (visible)
    hudWidget->show();
  else
    hudWidget->hideForcibly();
}

bool InGameUI::processInput(const InputState& input) {
  bool taken = false;
  if (!modalBlocked && !scriptBlocked && input.valid &&
      (notebook->handleInput(input) || (locationsMap && locationsMap->handleInput(input)) ||
       (hudWidget && hudWidget->shown && hudWidget->hitTest(KR::Vector2<float>(float(input.x), float(input.y)))) ||
       (hintPanel->widget && hintPanel->widget->shown &&
        hintPanel->widget->hitTest(KR::Vector2<float>(float(input.x), float(input.y)))) ||
       (!notebook->isOpen() && inventoryPanel->handleInput(input)))) {
    taken = true;
    if (GameCursorManager::exists()) GameCursorManager::getInstance()->setCursor(0);
  }
  // Escape reads the keyboard itself: the play state clears the record while it is locked.
  // Each release counts: two quick taps in frames in a row are two.
  if (KR::InputManager::exists())
    for (int n = KR::InputManager::getInstance()->getKeyboardDevice()->releases(kEscape); n > 0; --n) onEscape();
  if (itemWindowShown && itemAddedWindow) {
    // The window locks play, so the frame's record is empty: read the mouse itself.
    InputState now = input;
    if (!now.valid) InputState::capture(now);
    if (now.leftPressed && !itemAddedWindow->hitTest(KR::Vector2<float>(float(now.x), float(now.y))))
      closeItemAddedWindow();
  }
  return taken;
}

void InGameUI::casketClicked() { amuletsButton->setOpen(!amuletsButton->open); }

void InGameUI::onEscape() {
  if (pauseMenu->shown)
    pauseMenu->hideWindow();
  else
    menuClicked();
}

void InGameUI::update(float dt) {
  notebook->update(dt);
  if (locationsMap) locationsMap->update(dt);
  hintPanel->update(dt);
  inventoryPanel->update(dt);
  amuletsButton->update(dt);
  pauseMenu->update(dt);
  dressItemImage();
}

void InGameUI::dressItemImage() {
  auto* image = dynamic_cast<KR::UISprite*>(itemImage);
  if (!image || !itemAddedItem || !Game::exists()) return;
  // The icon is loaded on the streamer's thread once the item is held.
  KR::ScopedLock icons(KR::ScopedLock::lock(Game::getInstance()->getItemFactory().getIconLock()));
  KR::FastSprite* icon = itemAddedItem->spriteLoaded ? itemAddedItem->sprite : nullptr;
  // A dropped icon is gone: the window must not keep drawing it.
  image->sprite = icon;
  if (!icon) return;
  icon->mPosition = KR::Vector2<float>();
  image->size = icon->mSize;
  image->offset = KR::Vector2<float>(-0.5f * icon->mSize.x * image->scale.x, -0.5f * icon->mSize.y * image->scale.y);
}

void InGameUI::onMessage(const GameMessage* message) {
  hintPanel->onGameMessage(*message);
  amuletsButton->onGameMessage(*message);
  switch (message->kind) {
    case kMsgItemAdded:
      // A second item announced while the window is up: the first one goes to
      // its slot now, or the row would never show it.
      if (itemWindowShown) closeItemAddedWindow();
      showItemAddedWindow(message->payload.text);
      itemWindowShown = true;
      break;
    case kMsgPauseMenuOpened: modalBlocked = true; break;
    case kMsgPauseMenuClosed: modalBlocked = false; break;
    case kMsgViewDeactivated: {
      const View* active = Game::exists() ? Game::getInstance()->getViewStack().getActiveView() : nullptr;
      if (active && amuletsButton->location == active->name) scriptBlocked = false;
      break;
    }
    default: break;
  }
}

void InGameUI::showItemAddedWindow(const char* name) {
  if (itemAddedWindow) {
    itemAddedWindow->show();
    if (itemImage) itemImage->setVisible(true);
    if (auto* label = dynamic_cast<KR::UILabel*>(itemAddedWindow->findDescendant("itemName")))
      if (KR::TextManager::exists()) label->setText(KR::toNarrowString(KR::TextManager::getInstance()->getText(name)));
  }
  itemAddedItem = Game::exists() ? Game::getInstance()->getItemFactory().find(name) : nullptr;
  GameMessage opened;
  opened.kind = kMsgItemWindowOpened;
  opened.payload.bytes[0] = 1;
  opened.sender = this;
  sendMessage(&opened);
  GameMessage after;
  after.kind = kMsgItemWindowOpenedAfter;
  after.sender = this;
  sendMessage(&after);
  if (Game::exists()) Game::getInstance()->setLocked(true);
}

void InGameUI::closeItemAddedWindow() {
  itemWindowShown = false;
  if (itemAddedWindow) {
    itemAddedWindow->hide();
    if (itemImage) itemImage->setVisible(false);
    if (Game::exists()) Game::getInstance()->setLocked(false);
    GameMessage fly;
    fly.kind = kMsgItemFlyToRow;
    // The row flies the icon by its centre: where the centred icon stood.
    const KR::Vector2<float> at =
        itemImage ? itemImage->getAbsolutePosition() - itemImage->offset : KR::Vector2<float>();
    fly.payload.xy[0] = at.x;
    fly.payload.xy[1] = at.y;
    fly.item = itemAddedItem;
    fly.sender = this;
    sendMessage(&fly);
  }
  itemAddedItem = nullptr;
  if (auto* image = dynamic_cast<KR::UISprite*>(itemImage)) image->sprite = nullptr;
}

void InGameUI::menuClicked() {
  if (!Game::exists()) return;
  Game* game = Game::getInstance();
  View* active = game->getViewStack().getActiveView();
  if (!active || !active->activated || game->isLocked() || game->getLockTimer() >= kEpsilon) return;
  // Without its widgets no menu could be closed again: play would stay locked.
  if (!pauseMenu->loaded) return;
  // No post-processing under the menu; closing it switches it back on.
  if (KR::RenderSystem::exists()) KR::RenderSystem::getInstance()->mDistortionEnabled = false;
  pauseMenu->showWidget();
  game->setLocked(true);
  sendGameMessage(kMsgPauseMenuOpened, nullptr);
  ++game->getViewStack().viewChangeLocks;
}

void InGameUI::goBackwardButtonClicked() {
  if (!Game::exists()) return;
  Game* game = Game::getInstance();
  ViewStack& stack = game->getViewStack();
  View* active = stack.getActiveView();
  if (!active) return;
  if (notebook->isOpen()) {
    notebook->close();  // at rest again: no pan or zoom left
    return;
  }
  if (locationsMap && locationsMap->isOpen()) {
    locationsMap->close();
    return;
  }
  if (std::string(active->name) == "progressamulets") {
    stack.closeActiveView();
    return;
  }
  if (active->type == 1) {
    if (!active->closeOnOutsideClick || stack.viewChangeLocks > 0) return;
    stack.dropTakedObject(false);
    stack.setTakenInventoryItem(nullptr);
    stack.closeActiveView();
    return;
  }
  IBaseAreaTrigger* back = active->findTrigger(0);
  if (back && back->getType() == 2 && !back->dead) static_cast<TransitionTrigger*>(back)->processTransition(true);
}

}  // namespace HOG
