#include "core/game_state/inventory_panel/hos_panel_behaviour.h"

#include <pthread.h>

#include <algorithm>
#include <cfloat>

#include "animationeditor/scene_node.h"
#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "format_string.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

bool isAlive(const HOSItemTrigger* trigger) { return trigger->enabled && !trigger->dead; }

KR::UIWidget* textOf(KR::UIWidget* slot, const std::string& name) {
  KR::UIWidget* text = slot ? slot->findDescendant(name) : nullptr;
  return text ? text : slot;
}

// A label draws in its text colour; other widgets carry the colour themselves.
void setTextColour(KR::UIWidget* text, KR::Color colour) {
  if (auto* label = dynamic_cast<KR::UILabel*>(text))
    label->textColor = colour;
  else if (text)
    text->color = colour;
}

// A line whose things are all out of sight is drawn at this share of its alpha.
constexpr float kOffScreenAlpha = 0.4f;

}  // namespace

void HOSPanelBehaviour::loadConfig(const std::string& fileName) {
  KR::XmlDataReader reader;
  if (!reader.open("default", fileName)) {
    KR::log("ERROR: Can't load HOGPanelBehaviour config: %s!", fileName.c_str());
    return;
  }
  if (!reader.enterChild("Behaviour")) {
    KR::log("ERROR: Can't parse HOGPanelBehaviour config: %s!", fileName.c_str());
    return;
  }
  parseConfig(reader);
  reader.leaveChild();
}

void HOSPanelBehaviour::parseConfig(KR::XmlDataReader& reader) {
  std::string elementName;
  reader.readString("UIElement", &elementName);
  reader.readString("UIItemSlotText", &slotTextName);
  reader.readBool("canDisappear", &canDisappear);
  reader.readColor("luminousColor", &luminousColor);
  reader.readColor("regularColor", &regularColor);
  element = panel->root ? panel->root->findDescendant(elementName) : nullptr;
  if (!element) return;
  countLabel = element->findDescendant("Count");
  for (KR::UIWidget* child : element->children)
    if (child->name.rfind("item", 0) == 0) slotWidgets.push_back(child);
  hideElement(element);
}

void HOSPanelBehaviour::activate() {
  panel->currentElement = element;
  panel->setShown(true);
  panel->autoHide = canDisappear;
  if (element) {
    element->setVisible(true);
    element->hideForcibly();
    element->show();
  }
  entries.clear();
  for (KR::UIWidget* slot : slotWidgets) slot->setVisible(false);
  rebuildFromActiveView();
}

void HOSPanelBehaviour::deactivate() {
  hideElement(element);
  sceneView = nullptr;
}

void HOSPanelBehaviour::rebuildFromActiveView() {
  std::vector<HOSItemTrigger*> triggers;
  ViewStack* stack = gameViewStack();
  View* view = stack ? stack->getActiveView() : nullptr;
  sceneView = view && view->extension && view->extension->getType() == 2 ? view : nullptr;
  if (sceneView)
    for (IBaseAreaTrigger* trigger : view->triggers)
      if (trigger->getType() == 5) triggers.push_back(static_cast<HOSItemTrigger*>(trigger));
  buildEntries(triggers);
  assignSlots();
  showCaption();
}

void HOSPanelBehaviour::buildEntries(const std::vector<HOSItemTrigger*>& triggers) {
  for (HOSItemTrigger* trigger : triggers) {
    const bool listed = std::any_of(entries.begin(), entries.end(), [&](const Entry& e) {
      return std::find(e.objects.begin(), e.objects.end(), trigger) != e.objects.end();
    });
    if (listed) continue;
    if (trigger->partOfGroup >= 0) {
      auto group = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
        return !e.objects.empty() && e.objects.front()->partOfGroup == trigger->partOfGroup;
      });
      if (group != entries.end()) {
        group->objects.push_back(trigger);
        continue;
      }
    }
    Entry entry;
    entry.name = trigger->localizedName ? *trigger->localizedName : KR::toWideString(trigger->itemSceneNode);
    entry.state = trigger->dead ? 1 : trigger->enabled ? 3 : 2;
    entry.objects.push_back(trigger);
    entries.push_back(entry);
  }
  // A found thing leaves its line at once.
  for (Entry& entry : entries)
    entry.objects.erase(std::remove_if(entry.objects.begin(), entry.objects.end(),
                                       [](const HOSItemTrigger* t) { return t->dead != 0; }),
                        entry.objects.end());
  for (Entry& entry : entries)
    if (entry.objects.empty()) entry.state = 1;
}

void HOSPanelBehaviour::assignSlots() {
  auto held = [&](int slot) {
    return std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.slot == slot; });
  };
  int used = int(std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return e.slot >= 0; }));
  for (Entry& entry : entries) {
    if (used >= int(slotWidgets.size())) break;
    if (entry.slot >= 0 || entry.state == 1) continue;
    for (int slot = 0; slot < int(slotWidgets.size()); ++slot)
      if (!held(slot)) {
        entry.slot = slot;
        entry.fadeIn = 0.0f;
        refreshText(entry);
        slotWidgets[size_t(slot)]->setVisible(true);
        ++used;
        break;
      }
  }
}

std::wstring HOSPanelBehaviour::lineText(const Entry& entry) const {
  std::wstring text = entry.name;
  if (entry.objects.size() > 1) text += KR::toWideString(KR::formatString(" x%i", int(entry.objects.size())));
  return text;
}

void HOSPanelBehaviour::refreshText(Entry& entry) {
  if (entry.objects.empty()) {
    if (entry.fadeOut < 0.0f) entry.fadeOut = 0.0f;
    return;
  }
  if (entry.slot < 0) return;
  KR::UIWidget* text = textOf(slotWidgets[size_t(entry.slot)], slotTextName);
  if (auto* label = dynamic_cast<KR::UILabel*>(text)) label->setText(KR::toNarrowString(lineText(entry)));
  const bool live = std::any_of(entry.objects.begin(), entry.objects.end(), isAlive);
  setTextColour(text, live ? regularColor : luminousColor);
}

bool HOSPanelBehaviour::objectOnScreen(const HOSItemTrigger* trigger) const {
  if (!isAlive(trigger)) return false;
  // A thing without a node of its own (painted into the backdrop) cannot leave the screen.
  const AE::ISceneNode* node = sceneView && sceneView->scene && trigger->itemSceneNode[0]
                                   ? AE::ISceneNode::findChild(trigger->itemSceneNode, sceneView->scene)
                                   : nullptr;
  if (!node) return true;
  const KR::Vector2<float> size = node->getSize();
  const KR::Vector2<float> corners[] = {{0.0f, 0.0f}, {size.x, 0.0f}, {0.0f, size.y}, size};
  KR::Vector2<float> low(FLT_MAX, FLT_MAX), high(-FLT_MAX, -FLT_MAX);
  for (const KR::Vector2<float>& corner : corners) {
    const KR::Vector2<float> p = sceneView->transform.transformPoint(node->mWorldMatrix.transformPoint(corner));
    low = KR::Vector2<float>(std::min(low.x, p.x), std::min(low.y, p.y));
    high = KR::Vector2<float>(std::max(high.x, p.x), std::max(high.y, p.y));
  }
  // The design size, not the window's: a resized or full-screen window shows the same picture.
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  return high.x >= 0.0f && low.x <= w && high.y >= 0.0f && low.y <= h;
}

void HOSPanelBehaviour::refreshColours() {
  // The streamer thread releases a view's scene under its lock; a busy view waits for the next frame.
  if (sceneView && pthread_mutex_trylock(&sceneView->lock) != 0) return;
  for (Entry& entry : entries) {
    if (entry.slot < 0 || entry.fadeOut >= 0.0f || entry.fadeIn >= 0.0f) continue;
    const bool live = std::any_of(entry.objects.begin(), entry.objects.end(), isAlive);
    KR::Color colour = live ? regularColor : luminousColor;
    const bool seen = std::any_of(entry.objects.begin(), entry.objects.end(),
                                  [this](const HOSItemTrigger* trigger) { return objectOnScreen(trigger); });
    if (live && !seen)
      colour = KR::Color::fromChannels(colour.red(), colour.green(), colour.blue(),
                                       uint8_t(float(colour.alpha()) * kOffScreenAlpha));
    setTextColour(textOf(slotWidgets[size_t(entry.slot)], slotTextName), colour);
  }
  if (sceneView) pthread_mutex_unlock(&sceneView->lock);
}

void HOSPanelBehaviour::showCaption() {
  ViewStack* stack = gameViewStack();
  const View* view = stack ? stack->getActiveView() : nullptr;
  if (!countLabel || !view || !view->extension || view->extension->getType() != 2) return;
  if (!KR::TextManager::exists()) return;
  const auto* scene = static_cast<const HOSViewExtension*>(view->extension);
  const std::string caption = KR::toNarrowString(KR::TextManager::getInstance()->getText("hos_caption"));
  if (auto* label = dynamic_cast<KR::UILabel*>(countLabel))
    label->setText(caption + KR::formatString("%d", int(scene->remainingCount)));
}

void HOSPanelBehaviour::update(float dt) {
  for (Entry& entry : entries) {
    if (entry.slot < 0) continue;
    KR::UIWidget* text = textOf(slotWidgets[size_t(entry.slot)], slotTextName);
    if (entry.fadeOut >= 0.0f) {
      entry.fadeOut += dt;
      if (text) text->alpha = std::max(0.0f, 1.0f - entry.fadeOut / kFadeTime);
      // The fade-out lasts two frames of 0.5 s: the slot is free once both have run.
      if (entry.fadeOut >= 2 * kFadeTime) {
        slotWidgets[size_t(entry.slot)]->setVisible(false);
        if (text) text->alpha = 1.0f;
        entry.state = 1;
        entry.slot = -1;
        entry.fadeOut = -1.0f;
        assignSlots();
      }
      continue;
    }
    if (entry.fadeIn >= 0.0f) {
      entry.fadeIn += dt;
      if (text) text->alpha = std::min(1.0f, entry.fadeIn / kFadeTime);
      if (entry.fadeIn >= kFadeTime) entry.fadeIn = -1.0f;
    }
  }
  refreshColours();
}

void HOSPanelBehaviour::onMessage(const GameMessage* message) {
  switch (message->kind) {
    case kMsgHosItemFound: {
      auto* found = static_cast<HOSItemTrigger*>(message->getPointer());
      for (Entry& entry : entries) {
        auto it = std::find(entry.objects.begin(), entry.objects.end(), found);
        if (it == entry.objects.end()) continue;
        entry.objects.erase(it);
        if (entry.slot < 0 && entry.objects.empty()) {
          KR::log("WARNING: Bad widget or anim in hos panel behaviour!");
          entry.state = 1;
        } else {
          refreshText(entry);
        }
        break;
      }
      showCaption();
      break;
    }
    case kMsgHosItemsRefilled: rebuildFromActiveView(); break;
    case kMsgTriggerChanged:
      for (Entry& entry : entries)
        if (std::find(entry.objects.begin(), entry.objects.end(), message->getPointer()) != entry.objects.end())
          refreshText(entry);
      break;
    case kMsgNotebookClosed:
      panel->autoHide = canDisappear;
      panel->setShown(true);
      break;
    default: break;
  }
}

}  // namespace HOG
