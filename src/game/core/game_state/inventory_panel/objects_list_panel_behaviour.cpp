#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"

#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/game_cursor_manager.h"
#include "core/game_state/game.h"
#include "core/game_state/input_state.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/views/view_stack.h"
#include "fast_sprite.h"
#include "format_string.h"
#include "function.h"
#include "log_system.h"
#include "scoped_lock.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_label.h"
#include "ui/ui_sprite.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
constexpr float kOffPage = -100000.0f;

// The close-up's easing: "v" keys 0, 0.67, 0.89, 0.96, 1 every 0.175 s.
float closeUpValue(float t) {
  static const float keys[] = {0.0f, 0.67f, 0.89f, 0.96f, 1.0f};
  const float step = ObjectsListPanelBehaviour::kCloseUpTime / 4;
  if (t >= ObjectsListPanelBehaviour::kCloseUpTime) return 1.0f;
  const int i = std::max(0, int(t / step));
  const float f = (t - float(i) * step) / step;
  return keys[i] + (keys[i + 1] - keys[i]) * f;
}

bool gameRunning() { return Game::exists(); }

// The view streamer's thread loads and drops item icons under the factory's icon lock.
pthread_mutex_t* iconLock() { return gameRunning() ? Game::getInstance()->getItemFactory().getIconLock() : nullptr; }

}  // namespace

InventoryItem* ObjectsListPanelBehaviour::shownRecord(const Slot& slot) {
  return slot.group && slot.group->isGroup ? slot.group : slot.item;
}

KR::Vector2<float> ObjectsListPanelBehaviour::getSlotIconCentre(int index) {
  KR::UIWidget* widget = index >= 0 && index < kSlots ? slots[index].widget : nullptr;
  if (!widget) return KR::Vector2<float>();
  KR::UIWidget* back = widget->findDescendant("itemBk");
  if (!back) back = widget;
  return back->getAbsolutePosition() + back->getSize() * 0.5f;
}

void ObjectsListPanelBehaviour::loadConfig(const std::string& fileName) {
  KR::XmlDataReader reader;
  if (!reader.open("default", fileName) || !reader.enterChild("Behaviour")) return;
  parseConfig(reader);
  reader.leaveChild();
}

void ObjectsListPanelBehaviour::parseConfig(KR::XmlDataReader& reader) {
  std::string elementName, rowName;
  reader.readString("UIElement", &elementName);
  reader.readBool("canDisappear", &canDisappear);
  reader.readString("UIItemWidget", &itemWidget);
  reader.readString("UIItemWidgetSprite", &spriteName);
  reader.readString("UIItemWidgetCountLabel", &countLabelName);
  reader.readString("UIItemWidgetCaptionPanel", &captionPanelName);
  reader.readString("UIItemWidgetCaption", &captionName);
  reader.readString("UIItemWidgetSelection", &selectionName);
  reader.readString("UIScrollAreaId", &rowName);
  reader.readFloat("itemsDistance", &itemsDistance);
  reader.readInt("itemsPageCount", &itemsPageCount);
  if (itemsPageCount < 1) itemsPageCount = 1;
  element = panel->root ? panel->root->findDescendant(elementName) : nullptr;
  row = element ? element->findDescendant(rowName) : nullptr;
  if (row) {
    for (int n = 1; n <= kSlots; ++n) {
      KR::UIWidget* widget = row->findDescendant(KR::formatString("%s%i", itemWidget.c_str(), n));
      if (!widget) continue;
      if (KR::UIWidget* selection = widget->findDescendant(selectionName)) selection->setVisible(false);
      widget->setVisible(false);
      slots[n - 1].widget = widget;
      dress(n - 1);  // no caption while empty
    }
  }
  if (element) {
    if (KR::UIWidget* part = element->findDescendant("scene_part")) {
      KR::UIWidget* left = part->findDescendant("left_btn");
      KR::UIWidget* right = part->findDescendant("right_btn");
      if (KR::UIWidget* btn = left ? left->findDescendant("btn") : nullptr)
        btn->processEvent("clicked",
                          new KR::Function<ObjectsListPanelBehaviour>(this, &ObjectsListPanelBehaviour::pageLeft));
      if (KR::UIWidget* btn = right ? right->findDescendant("btn") : nullptr)
        btn->processEvent("clicked",
                          new KR::Function<ObjectsListPanelBehaviour>(this, &ObjectsListPanelBehaviour::pageRight));
    }
    hideElement(element);
  }
}

void ObjectsListPanelBehaviour::activate() {
  panel->currentElement = element;
  // Items that arrived while another behaviour had the panel join the row now.
  refreshItems();
  panel->autoHide = canDisappear;
  if (!element) return;
  element->setVisible(true);
  element->showForcibly();
  element->setState(element->enabled ? "onIdle" : "onDisable");
}

void ObjectsListPanelBehaviour::deactivate() {
  if (activeSlot >= 0 && flyState != 0) {
    flyState = 0;
    putBack(activeSlot);
  }
  if (activeSlot >= 0) {
    putBack(activeSlot);
    if (gameRunning()) Game::getInstance()->getViewStack().setTakenInventoryItem(nullptr);
  }
  activeSlot = -1;
  hideElement(element);
}

void ObjectsListPanelBehaviour::setContentVisible(bool flag) {
  if (element) element->setVisible(flag);
  if (row) row->setVisible(flag);
}

int ObjectsListPanelBehaviour::occupiedCount() const {
  int count = 0;
  while (count < kSlots && slots[count].occupied) ++count;
  return count;
}

void ObjectsListPanelBehaviour::showCount(int index) {
  Slot& slot = slots[index];
  if (!slot.widget) return;
  KR::UIWidget* label = slot.widget->findDescendant(countLabelName);
  if (!label) return;
  const bool group = slot.group && slot.group->isGroup;
  label->setVisible(group);
  if (group)
    if (auto* text = dynamic_cast<KR::UILabel*>(label))
      text->setText(KR::formatString("%i/%i", slot.group->groupItemCount, slot.group->maxItemsInGroupNum));
}

void ObjectsListPanelBehaviour::fill(int index, InventoryItem* item, InventoryItem* group) {
  Slot& slot = slots[index];
  slot.occupied = true;
  slot.taken = false;
  slot.item = item;
  slot.group = group;
  if (slot.widget) {
    slot.widget->setVisible(true);
    slot.widget->setState("onIdle");
    slot.homeX = slot.widget->position.x;
  }
  if (!iconLoaded(shownRecord(slot))) queueIcon(shownRecord(slot));
  dress(index);
  showCount(index);
  panel->setShown(true);
}

int ObjectsListPanelBehaviour::placeNewItem(InventoryItem* item) {
  if (!item) return -1;
  InventoryItem* group = nullptr;
  if (item->partOfGroup[0]) {
    group = gameRunning() ? Game::getInstance()->getItemFactory().find(item->partOfGroup) : nullptr;
    if (!group || !group->inInventory) {
      KR::log("BAD GROUP SPECIFIED! %s", item->partOfGroup);
      return -1;
    }
    for (int i = 0; i < kSlots; ++i)
      if (slots[i].occupied && slots[i].group == group) {
        showCount(i);
        firstShown = (i / itemsPageCount) * itemsPageCount;
        return i;
      }
  }
  for (int i = 0; i < kSlots; ++i)
    if (!slots[i].occupied) {
      fill(i, item, group);
      // The new item's page comes on screen.
      firstShown = (i / itemsPageCount) * itemsPageCount;
      return i;
    }
  return -1;
}

bool ObjectsListPanelBehaviour::iconLoaded(const InventoryItem* record) const {
  if (!record) return false;
  KR::ScopedLock icons(KR::ScopedLock::lock(iconLock()));
  return record->spriteLoaded;
}

void ObjectsListPanelBehaviour::dress(int index) {
  Slot& slot = slots[index];
  if (!slot.widget) return;
  const InventoryItem* shown = slot.occupied ? shownRecord(slot) : nullptr;
  const bool ready = iconLoaded(shown);
  KR::UIWidget* caption = captionName.empty() ? nullptr : slot.widget->findDescendant(captionName);
  KR::UIWidget* back = captionPanelName.empty() ? nullptr : slot.widget->findDescendant(captionPanelName);
  auto* label = dynamic_cast<KR::UILabel*>(caption);
  if (label && ready) {
    label->setText(KR::TextManager::exists() ? KR::toNarrowString(KR::TextManager::getInstance()->getText(shown->name))
                                             : std::string(shown->name));
    fitCaptionPanel(back, label);
  }
  if (caption) caption->setVisible(ready);
  if (back) back->setVisible(ready);
}

// The backing panel is as wide as the name plus 20 pixels each side, centred
// under the slot (7 pixels to the left, where the art's shadow falls); the
// caption takes the panel's span so that its centred text sits on it.
void ObjectsListPanelBehaviour::fitCaptionPanel(KR::UIWidget* back, KR::UILabel* label) const {
  if (!back) return;
  const std::wstring& text = label->text;
  const float textWidth =
      label->font ? label->font->getWStringWidth(text.data(), text.data() + text.size(), label->xcoeff) : 0.0f;
  const float width = textWidth + kCaptionMargin;
  back->position.x = itemsDistance / 2 - width / 2 - kCaptionShift;
  auto* sprite = dynamic_cast<KR::UISprite*>(back);
  if (sprite && sprite->sprite && sprite->sprite->mSize.x > 0.0f) {
    // A sprite draws its image scaled; its size stays the image's, so getSize reads the new width too.
    sprite->size.x = sprite->sprite->mSize.x;
    sprite->scale.x = width / sprite->sprite->mSize.x;
  } else {
    back->size.x = width;
  }
  label->position.x = label->parent == back ? 0.0f : back->position.x;
  label->size.x = width;
}

void ObjectsListPanelBehaviour::queueIcon(InventoryItem* record) {
  int free = 0;
  for (; free < kSlots && waiting[free]; ++free)
    if (waiting[free] == record) return;  // a group's next member: its slot waits already
  if (free == kSlots) {
    KR::log("ERROR: Can't push item to waiting list!");
    return;
  }
  waiting[free] = record;
}

void ObjectsListPanelBehaviour::releaseLoadedIcons() {
  if (!waiting[0]) return;
  KR::ScopedLock icons(KR::ScopedLock::lock(iconLock()));
  int kept = 0;
  for (int i = 0; i < kSlots && waiting[i]; ++i) {
    InventoryItem* record = waiting[i];
    waiting[i] = nullptr;
    bool shown = false;
    for (int s = 0; s < kSlots; ++s)
      if (slots[s].occupied && shownRecord(slots[s]) == record) {
        shown = true;
        if (record->spriteLoaded) dress(s);
      }
    // An item that has left the row waits no more.
    if (shown && !record->spriteLoaded) waiting[kept++] = record;
  }
}

void ObjectsListPanelBehaviour::startFlight(int index, const KR::Vector2<float>& from, bool back) {
  if (index < 0) return;
  if (!fly.findTrack("pos")) {
    fly.bindVector2Parameter("pos", &flyPosition);
    fly.bindFloatTarget("scale", &flyScale);
  }
  fly.clearFrames();
  static const float durations[] = {0.6f, 0.4f, 0.2f, 0.15f, 0.0f};
  static const float scales[] = {1.0f, 0.9f, 0.8f, 0.7f, 0.5f};
  for (int k = 0; k < 5; ++k) {
    fly.addFrame(durations[k]);
    // A returning icon keeps the half size of the row's icons all the way.
    *fly.getFloatValue("scale", uint32_t(k)) = back ? 0.5f : scales[k];
  }
  flyFrom = from;
  activeSlot = index;
  flyState = back ? 2 : 1;
  // A return goes to a slot on screen (a fly-in's page came on screen when it was placed).
  if (index < firstShown || index >= firstShown + itemsPageCount)
    firstShown = (index / itemsPageCount) * itemsPageCount;
  layoutSlot(index);
  flightKeys();
  const KR::Vector2<float> d = getSlotIconCentre(index) - from;
  const float far = 0.001f * std::sqrt(d.x * d.x + d.y * d.y);
  fly.speed = std::clamp(2.0f - far * far, 1.2f, 2.2f);
  fly.time = 0.0f;
  fly.playing = true;
  fly.update(0.0f);
}

// The keys toward the slot follow it while the panel slides out.
void ObjectsListPanelBehaviour::flightKeys() {
  const KR::Vector2<float> s = flyFrom, t = getSlotIconCentre(activeSlot);
  const float d = itemsDistance, side = s.x >= t.x ? 1.0f : -1.0f;
  const KR::Vector2<float> keys[] = {
      s, {s.x + side * d, s.y + 1.5f * d}, {t.x + side * d, t.y}, {t.x + side * d / 2, t.y + d / 2}, t};
  for (int k = 0; k < 5; ++k) *fly.getVector2Value("pos", uint32_t(k)) = keys[k];
}

void ObjectsListPanelBehaviour::updateFlight(float dt) {
  if (flyState == 0) return;
  if (activeSlot < 0) {  // the row was rebuilt under the flight
    flyState = 0;
    return;
  }
  panel->autoHide = false;
  if (flyState == 1 && panel->shown && !panel->isSliding()) flyState = 2;
  if (fly.isFinished()) {
    const int landed = activeSlot;
    flyState = 0;
    putBack(landed);
    showCount(landed);
    return;
  }
  flightKeys();
  fly.update(dt);
}

void ObjectsListPanelBehaviour::refreshItems() {
  panel->setShown(true);
  panel->autoHide = canDisappear;
  if (!gameRunning()) return;
  for (InventoryItem* item : Game::getInstance()->getInventory().getItems()) {
    if (item->isGroup) continue;
    int shownAt = -1;
    findSlotByName(item->name, &shownAt);
    if (shownAt >= 0) continue;  // a rebuild of a filled row keeps what it shows
    if (item->partOfGroup[0]) {
      InventoryItem* group = Game::getInstance()->getItemFactory().find(item->partOfGroup);
      if (!group || !group->inInventory) {
        KR::log("WARNING: BAD GROUP SPECIFIED! %s", item->partOfGroup);
        continue;
      }
      bool shared = false;
      for (int i = 0; i < kSlots && !shared; ++i)
        if (slots[i].occupied && slots[i].group == group) {
          showCount(i);
          shared = true;
        }
      if (shared) continue;
      placeNewItem(item);
    } else {
      placeNewItem(item);
    }
    activeSlot = -1;
  }
}

void ObjectsListPanelBehaviour::clearItems() {
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[i];
    slot.item = slot.group = nullptr;
    slot.occupied = slot.taken = false;
    if (slot.widget) slot.widget->setVisible(false);
    dress(i);
  }
  std::fill(std::begin(waiting), std::end(waiting), nullptr);
  flyState = 0;
  activeSlot = -1;
  firstShown = 0;
  closeUpClock = kCloseUpTime;
}

ObjectsListPanelBehaviour::Slot* ObjectsListPanelBehaviour::findSlotByName(const char* name, int* index) {
  for (int i = 0; i < kSlots; ++i) {
    if (!slots[i].occupied) continue;
    const bool member = slots[i].item && std::string(slots[i].item->name) == name;
    const InventoryItem* shown = shownRecord(slots[i]);
    if (member || (shown && std::string(shown->name) == name)) {
      *index = i;
      return &slots[i];
    }
  }
  *index = -1;
  return nullptr;
}

void ObjectsListPanelBehaviour::take(int index) {
  Slot& slot = slots[index];
  slot.taken = true;
  // The item leaves its place: the empty place still takes the click that puts it back.
  if (slot.widget) slot.widget->setVisible(false);
  panel->autoHide = false;
  heldCentre = lastCursor;
  if (gameRunning()) Game::getInstance()->getViewStack().setTakenInventoryItem(slot.item);
  GameMessage message;
  message.kind = kMsgItemTakenFromRow;
  message.setPointer(slot.item);
  message.sender = this;
  sendMessage(&message);
  if (activeSlot < 0) {
    activeSlot = index;
    return;
  }
  // Holding another one: the two change places, the clicked one stays on the cursor.
  Slot& held = slots[activeSlot];
  std::swap(held.item, slot.item);
  std::swap(held.group, slot.group);
  held.taken = true;
  slot.taken = false;
  if (slot.widget) slot.widget->setVisible(true);
  for (int i : {index, activeSlot}) {
    dress(i);
    showCount(i);
  }
}

void ObjectsListPanelBehaviour::putBack(int index) {
  slots[index].taken = false;
  if (slots[index].widget) {
    slots[index].widget->setVisible(slots[index].widget->position.x != kOffPage);
    slots[index].widget->setState("onIdle");
  }
  activeSlot = -1;
  panel->autoHide = canDisappear;
}

void ObjectsListPanelBehaviour::removeSlot(int index) {
  // Another slot's flight lands at once: its record moves, and a returning item is no longer held.
  if (flyState != 0 && activeSlot >= 0 && activeSlot != index) putBack(activeSlot);
  if (slots[index].taken || flyState != 0) activeSlot = -1;
  flyState = 0;
  if (activeSlot > index) --activeSlot;
  // Later records move one place forward; the emptied record goes last.
  for (int i = index; i + 1 < kSlots; ++i) {
    KR::UIWidget* widget = slots[i].widget;
    slots[i] = slots[i + 1];
    slots[i].widget = widget;
  }
  slots[kSlots - 1].item = slots[kSlots - 1].group = nullptr;
  slots[kSlots - 1].occupied = slots[kSlots - 1].taken = false;
  for (int i = index; i < kSlots; ++i)
    if (slots[i].widget) {
      slots[i].widget->setVisible(slots[i].occupied && !slots[i].taken);
      dress(i);
      showCount(i);
    }
  closeUpStart = index;
  closeUpClock = 0.0f;
  const int count = occupiedCount();
  const int lastPage = count > 0 ? ((count - 1) / itemsPageCount) * itemsPageCount : 0;
  if (firstShown > lastPage) firstShown = lastPage;
}

void ObjectsListPanelBehaviour::pageLeft() {
  if (activeSlot >= 0) return;
  firstShown = std::max(0, firstShown - itemsPageCount);
}

void ObjectsListPanelBehaviour::pageRight() {
  if (activeSlot >= 0) return;
  if (occupiedCount() > firstShown + itemsPageCount) firstShown += itemsPageCount;
}

void ObjectsListPanelBehaviour::layoutSlot(int index) {
  Slot& slot = slots[index];
  if (!slot.widget) return;
  float x = float(index - firstShown) * itemsDistance;
  if (closeUpClock < kCloseUpTime && index >= closeUpStart) x += (1.0f - closeUpValue(closeUpClock)) * itemsDistance;
  const bool onPage = index >= firstShown && index < firstShown + itemsPageCount;
  // Slots off the page leave the screen: an invisible widget still meets the pointer.
  slot.widget->position.x = onPage ? x : kOffPage;
  // A slot shows up when the icon flying into it lands.
  const bool flownTo = flyState != 0 && index == activeSlot;
  slot.widget->setVisible(slot.occupied && onPage && !slot.taken && !flownTo);
}

void ObjectsListPanelBehaviour::update(float dt) {
  if (closeUpClock < kCloseUpTime) {
    closeUpClock += dt;
    panel->setShown(true);
  }
  for (int i = 0; i < kSlots; ++i) layoutSlot(i);
  updateFlight(dt);
  releaseLoadedIcons();
}

int32_t ObjectsListPanelBehaviour::processInput(const InputState& input) {
  int32_t result = 0;
  const KR::Vector2<float> cursor(float(input.x), float(input.y));
  lastCursor = cursor;
  if (row && element && element->shown && row->hitTest(cursor)) {
    result = 1;
    if (GameCursorManager::exists()) GameCursorManager::getInstance()->setCursor(0);
  }
  if (flyState != 0 || !panel->shown || !input.leftReleased) return result;
  const float dx = float(input.x - input.pressX), dy = float(input.y - input.pressY);
  if (std::sqrt(dx * dx + dy * dy) > kClickDistance) return result;
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[i];
    // A held item's place is hidden but answers; slots off the page lie off screen.
    if (!slot.occupied || !slot.widget || !slot.item || (!slot.widget->visible && !slot.taken)) continue;
    if (!slot.widget->hitTest(cursor)) continue;
    if (slot.taken) {
      putBack(i);
      if (gameRunning()) Game::getInstance()->getViewStack().setTakenInventoryItem(nullptr);
    } else {
      take(i);
    }
    return 1;
  }
  return result;
}

void ObjectsListPanelBehaviour::onMessage(const GameMessage* message) {
  switch (message->kind) {
    case kMsgItemRemoved: {
      panel->autoHide = canDisappear;
      auto* item = static_cast<InventoryItem*>(message->getPointer());
      for (int i = 0; i < kSlots; ++i)
        if (slots[i].occupied && (slots[i].item == item || (item && item->isGroup && slots[i].group == item))) {
          removeSlot(i);
          break;
        }
      break;
    }
    case kMsgHeldItemCleared:
      // The play state let the held item go: it flies back into its slot.
      if (activeSlot >= 0 && flyState == 0) {
        panel->autoHide = canDisappear;
        panel->setShown(true);
        startFlight(activeSlot, heldCentre, true);
      }
      break;
    case kMsgItemFlyToRow: {
      panel->setShown(true);
      panel->autoHide = canDisappear;
      if (flyState != 0) {  // the previous flight lands at once
        flyState = 0;
        putBack(activeSlot);
      } else if (activeSlot >= 0) {  // a held item goes back to its place first
        putBack(activeSlot);
        if (gameRunning()) Game::getInstance()->getViewStack().setTakenInventoryItem(nullptr);
      }
      const int index = placeNewItem(static_cast<InventoryItem*>(message->item));
      startFlight(index, KR::Vector2<float>(message->payload.xy[0], message->payload.xy[1]), false);
      break;
    }
    default: break;
  }
}

void ObjectsListPanelBehaviour::draw() {
  if (!element || !element->shown) return;
  KR::ScopedLock icons(KR::ScopedLock::lock(iconLock()));
  // While the HUD hides the row's content (a dialogue), its slots stay filled and may even be set visible by the
  // panel sliding out: their icons must not show without the row.
  for (int i = 0; i < kSlots && element->visible; ++i) {
    const Slot& slot = slots[i];
    if (!slot.occupied || slot.taken || !slot.widget || !slot.widget->visible) continue;
    if (flyState != 0 && i == activeSlot) continue;
    InventoryItem* record = shownRecord(slot);
    if (!record || !record->sprite) continue;
    KR::FastSprite* icon = record->sprite;
    icon->mScale = KR::Vector2<float>(0.5f, 0.5f);
    icon->mPosition = getSlotIconCentre(i) - icon->mSize * 0.25f;
    icon->setColor(KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f));
    icon->draw();
    icon->mScale = KR::Vector2<float>(1.0f, 1.0f);
  }
  if (activeSlot < 0 || !gameRunning()) return;
  Game* game = Game::getInstance();
  if (game->briefWindowShown || game->getFadeValue() >= kEpsilon) return;
  InventoryItem* record = shownRecord(slots[activeSlot]);
  if (!record || !record->sprite) return;
  if (flyState != 0) {
    KR::FastSprite* icon = record->sprite;
    icon->mScale = KR::Vector2<float>(flyScale, flyScale);
    icon->mPosition = flyPosition - icon->mSize * (flyScale / 2);
    icon->setColor(KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f));
    icon->draw();
    icon->mScale = KR::Vector2<float>(1.0f, 1.0f);
    return;
  }
  const InputState& input = game->getFrameInput();
  if (input.valid) lastCursor = KR::Vector2<float>(float(input.x), float(input.y));
  record->sprite->mPosition = lastCursor - KR::Vector2<float>(32.0f, 32.0f);
  heldCentre = record->sprite->mPosition + record->sprite->mSize * 0.5f;
  record->sprite->setColor(KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f));
  record->sprite->draw();
}

}  // namespace HOG
