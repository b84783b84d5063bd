#include "core/game_state/minigames/right_place_minigame_view_extension.h"

#include <algorithm>
#include <cmath>

#include "animation.h"
#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "core/game_state/minigames/pick_and_glide.h"
#include "format_string.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
constexpr float kRestDistance = 5.0f;
constexpr float kBend = 150.0f;

// A rectangle as attributes v0..v3, or as children "v0".."v3" with "v".
void readZoneRect(KR::XmlDataReader& reader, KR::Rect* out) {
  reader.readRect("rect", out);
  const pugi::xml_node rect = reader.getCursor().child("rect");
  if (!rect || rect.attribute("v0") || !rect.child("v0")) return;
  auto value = [&](const char* name) { return rect.child(name).attribute("v").as_float(0.0f); };
  out->top = value("v0");
  out->left = value("v1");
  out->bottom = value("v2");
  out->right = value("v3");
}
}  // namespace

RightPlaceMinigameViewExtension::Element::Element() = default;
RightPlaceMinigameViewExtension::Element::~Element() = default;
RightPlaceMinigameViewExtension::Element::Element(Element&&) noexcept = default;
RightPlaceMinigameViewExtension::Element& RightPlaceMinigameViewExtension::Element::operator=(Element&&) noexcept =
    default;

void RightPlaceMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  readFloat(reader, "controlsW", &controlsW, 5.0f);
  // A carrier turns until it reaches its quarter: it needs a speed.
  if (!(controlsW > 0.0f)) {
    warn("controlsW", KR::formatString("%g is no turning speed; 5 is used", double(controlsW)));
    controlsW = 5.0f;
  }
  readText(reader, "controls", &controlsName);
  readText(reader, "elements", &elementsName);
  readBoundedInt(reader, "blockFrame", &blockFrame, 10, 0, kMaxFrame);
  zones.clear();
  if (reader.enterChild("activeZones")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Zone zone;
      readText(reader, "firstControl", &zone.firstControlName);
      readText(reader, "secondControl", &zone.secondControlName);
      readInt(reader, "fControlAngleID", &zone.firstAngleId, 0);
      readInt(reader, "sControlAngleID", &zone.secondAngleId, 0);
      readText(reader, "elementName", &zone.elementName);
      readZoneRect(reader, &zone.rect);
      zones.push_back(zone);
    }
    reader.leaveChild();
  }
  readText(reader, "putSound", &putSoundName);
  if (zones.empty()) refuse("activeZones", "has no entry");
  // A carrier stands at quarter turns 0 to 3 only.
  for (const Zone& zone : zones)
    if (zone.firstAngleId < 0 || zone.firstAngleId > 3 || zone.secondAngleId < 0 || zone.secondAngleId > 3)
      refuse("activeZones/fControlAngleID", "a zone wants a quarter turn outside 0 to 3");
  controls.clear();
  elements.clear();
  drag.letGo();
  initialised = finishStarted = false;
  finishTimer = 0.0f;
}

void RightPlaceMinigameViewExtension::forgetNodes() {
  putSound = nullptr;
  for (Control& control : controls) control.node = nullptr;
  for (Element& element : elements) element.node = nullptr;
}

void RightPlaceMinigameViewExtension::collect() {
  controls.clear();
  if (AE::ISceneNode* parent = findNode(controlsName, "controls", "MINIGAME: Can't find node %2$s in %1$s")) {
    for (AE::ISceneNode* child : parent->mChildren) {
      if (!child) continue;
      child->stop(true);
      Control control;
      control.name = child->mName;
      control.node = child;
      control.rect = nodeRect(child);
      control.angle = child->getWorldRotation();
      control.angleId = int32_t(control.angle / 90.0f);
      controls.push_back(control);
    }
  } else {
    refuse("controls", "names no node");
  }
  elements.clear();
  if (AE::ISceneNode* parent = findNode(elementsName, "elements", "MINIGAME: Can't find node %2$s in %1$s")) {
    for (AE::ISceneNode* child : parent->mChildren) {
      if (!child) continue;
      child->stop(true);
      Element element;
      element.name = child->mName;
      element.node = child;
      element.position = element.home = worldPosition(child);
      element.restZ = DragHold::picture(child)->mPosZ;
      elements.push_back(std::move(element));
    }
  } else {
    refuse("elements", "names no node");
  }
  // The animations write through the positions: made once the list stands.
  for (Element& element : elements) {
    element.moveAnimation = std::make_unique<KR::Animation>();
    element.moveAnimation->bindVector2Parameter("Position", &element.position);
    element.moveAnimation->addFrame(0.2f);
    element.moveAnimation->addFrame(0.2f);
    element.moveAnimation->addFrame(0.0f);
    element.moveAnimation->loop = false;
    element.moveAnimation->playing = false;
  }
}

void RightPlaceMinigameViewExtension::resolveZoneControls() {
  for (Zone& zone : zones) {
    for (int pass = 0; pass < 2; ++pass) {
      const std::string& name = pass == 0 ? zone.firstControlName : zone.secondControlName;
      int32_t& link = pass == 0 ? zone.firstControl : zone.secondControl;
      bool found = false;
      for (size_t i = 0; i < controls.size() && !found; ++i) {
        if (controls[i].name != name) continue;
        link = int32_t(i);
        found = true;
      }
      if (!found) {
        KR::log("Can't find control %s (key 'activeZones/%s' of '%s')", name.c_str(),
                pass == 0 ? "firstControl" : "secondControl", configName.c_str());
        refuse(pass == 0 ? "activeZones/firstControl" : "activeZones/secondControl", "names no carrier");
      }
    }
    if (std::none_of(elements.begin(), elements.end(),
                     [&zone](const Element& element) { return element.name == zone.elementName; }))
      refuse("activeZones/elementName", "names no element");
  }
}

void RightPlaceMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  putSound = findNode(putSoundName, "putSound");
  if (putSound) {
    if (!putSound->mEnabled) putSound->setEnabled(true);
    putSound->stop(true);
  }
  if (!initialised) {
    collect();
    initialised = true;
  } else {
    for (Control& control : controls) {
      control.node = findNode(control.name, "controls", nullptr);
      if (control.node) control.node->setRotation(control.angle);
    }
    for (Element& element : elements) {
      element.node = findNode(element.name, "elements", nullptr);
      if (!element.node) continue;
      element.node->stop(true);
      if (element.placed) showFrame(element.node, blockFrame);
      // A scene loaded again shows the elements where the player left them.
      element.node->setWorldPosition(element.position);
    }
  }
  resolveZoneControls();
  // An element held when the view was left flies home.
  const int32_t held = drag.letGo();
  if (held >= 0 && size_t(held) < elements.size()) startReturnMove(elements[size_t(held)]);
}

void RightPlaceMinigameViewExtension::startReturnMove(Element& element) {
  if (!element.moveAnimation) return;
  const KR::Vector2<float> from = element.position, to = element.home;
  KR::Vector2<float> side(to.x - from.x, to.y - from.y);
  const float length = std::sqrt(side.x * side.x + side.y * side.y);
  if (length > 0.0f) side = KR::Vector2<float>(side.x / length, side.y / length);
  side.rotateAround(90.0f, 0.0f, 0.0f);
  *element.moveAnimation->getVector2Value("Position", 0) = from;
  *element.moveAnimation->getVector2Value("Position", 1) =
      KR::Vector2<float>((from.x + to.x) * 0.5f + side.x * kBend, (from.y + to.y) * 0.5f + side.y * kBend);
  *element.moveAnimation->getVector2Value("Position", 2) = to;
  element.moveAnimation->time = 0.0f;
  element.moveAnimation->playing = true;
  element.moveAnimation->update(0.0f);
}

void RightPlaceMinigameViewExtension::dropElement(Element& element, const KR::Vector2<float>& point) {
  for (Zone& zone : zones) {
    if (!contains(zone.rect, point.x, point.y)) continue;
    // Only the first zone under the point is tried.
    const bool linked = zone.firstControl >= 0 && zone.secondControl >= 0;
    if (!zone.satisfied && element.name == zone.elementName && linked &&
        controls[size_t(zone.firstControl)].angleId == zone.firstAngleId &&
        controls[size_t(zone.secondControl)].angleId == zone.secondAngleId) {
      element.position = KR::Vector2<float>(zone.rect.left, zone.rect.top);
      showFrame(element.node, blockFrame);
      element.placed = true;
      controls[size_t(zone.firstControl)].locked = controls[size_t(zone.secondControl)].locked = true;
      zone.satisfied = true;
      playSound(putSound);
      return;
    }
    break;
  }
  startReturnMove(element);
}

int32_t RightPlaceMinigameViewExtension::handleInput(const InputState* input) {
  if (!input) return 0;
  const KR::Vector2<float> point(float(input->x), float(input->y));
  int32_t result = 0;
  if (input->leftPressed) {
    for (Control& control : controls) {
      if (control.rotating || control.locked || !contains(control.rect, point.x, point.y)) continue;
      ++control.angleId;
      control.rotating = true;
      result = 1;
    }
    for (size_t i = 0; i < elements.size() && !drag.holding(); ++i) {
      Element& element = elements[i];
      if (element.placed || !contains(element.rect, point.x, point.y)) continue;
      if (element.moveAnimation) {
        element.moveAnimation->playing = false;
        element.moveAnimation->time = 0.0f;
      }
      drag.take(int32_t(i));
      return 1;
    }
  }
  if (!drag.holding() || size_t(drag.held()) >= elements.size()) return result;
  Element& element = elements[size_t(drag.held())];
  if (input->leftReleased) {
    drag.letGo();
    dropElement(element, point);
  } else if (input->leftDown) {
    AE::ISceneNode* picture = DragHold::picture(element.node);
    const KR::Vector2<float> size = picture ? picture->getSize() : KR::Vector2<float>(0.0f, 0.0f);
    element.position = drag.follow(point, KR::Vector2<float>(size.x * 0.5f, size.y * 0.5f));
  }
  return result;
}

bool RightPlaceMinigameViewExtension::isSolved() const {
  for (const Zone& zone : zones)
    if (!zone.satisfied) return false;
  return true;
}

void RightPlaceMinigameViewExtension::updatePuzzle(float dt) {
  for (Control& control : controls) {
    if (!control.rotating) continue;
    const float target = float(control.angleId) * 90.0f;
    if (control.angle < target) control.angle += controlsW * dt;
    if (control.angle >= target) {
      control.rotating = false;
      if (control.angleId >= 4) {
        control.angleId = 0;
        control.angle = 0.0f;
      } else {
        control.angle = target;
      }
    }
    if (control.node) control.node->setRotation(control.angle);
  }
  for (Element& element : elements) {
    AE::ISceneNode* picture = DragHold::picture(element.node);
    if (picture) {
      const bool resting = element.placed || distance(element.position, element.home) < kRestDistance;
      picture->mPosZ = resting ? element.restZ : DragHold::kFrontZ;
    }
    KR::Animation* move = element.moveAnimation.get();
    if (move && move->playing && move->time < move->getTotalDuration()) {
      move->update(dt);
      // The flight ends exactly at home.
      if (move->time >= move->getTotalDuration()) {
        element.position = *move->getVector2Value("Position", 2);
        move->playing = false;
      }
    }
    if (!element.node) continue;
    element.node->setWorldPosition(element.position);
    const KR::Vector2<float> size = picture->getSize();
    element.rect =
        KR::Rect(element.position.x, element.position.y, element.position.x + size.x, element.position.y + size.y);
  }
  if (!isSolved() && !skipWanted() && !finishReported) return;
  doneNow = true;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
