#include "core/game_state/minigames/rotation_mini_game_view_extension.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/game_state/input_state.h"
#include "core/game_state/minigames/pick_and_glide.h"
#include "format_string.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
constexpr float kKeyTolerance = 5.0f;
const KR::Vector2<float> kNowhere(-100.0f, -100.0f);

// The value of the node's first key of a float track; false without one.
bool firstKey(const AE::ISceneNode* node, const char* name, float* out) {
  if (!node->mAnimation) return false;
  const AE::SceneNodeAnimation::IContainer* track = node->mAnimation->findTrack(name);
  if (!track || track->getKeyCount() == 0 || track->getType() != AE::SceneNodeAnimation::Container<float>::staticType())
    return false;
  *out = node->mAnimation->getKeyframe<float>(name, 0).value;
  return true;
}

KR::Vector2<float> ownPosition(const AE::ISceneNode* node) { return KR::Vector2<float>(node->mPosX, node->mPosY); }
}  // namespace

void RotationMiniGameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readText(reader, "finish", &finishName);
  readSeconds(reader, "finishTime", &finishTime, 0.0f);
  readSuspendable(reader, &suspendable);
  readText(reader, "controls", &controlsName);
  readBoundedInt(reader, "pressedFrame", &pressedFrame, 0, 0, kMaxFrame);
  readText(reader, "elements", &elementsName);
  readFloat(reader, "moveCoef", &moveCoef, 50.0f);
  // A move lasts moveCoef seconds: none, a negative or an endless time would never end.
  if (!(moveCoef > 0.0f && moveCoef <= kMaxSeconds)) {
    warn("moveCoef", KR::formatString("%g is no time; 50 is used", double(moveCoef)));
    moveCoef = 50.0f;
  }
  readBoundedInt(reader, "breakFrame", &breakFrame, 5, 0, kMaxFrame);
  readBoundedInt(reader, "lastFinalAnimFrame", &lastFinalAnimFrame, 0, 0, kMaxFrame);
  readEnableHint(reader);
  readBriefing(reader);
  pathNames.clear();
  pathRequired.clear();
  if (reader.enterChild("pathes")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      int32_t required = 0;
      readCurrentInt(reader, &required);
      // A path names each element once: the test of a path grows with the
      // square of its length, and a second mention would only repeat it.
      std::vector<std::string> names;
      std::set<std::string> named;
      size_t repeats = 0;
      for (auto v = reader.arrayBegin(); v != reader.arrayEnd(); v.next()) {
        std::string name;
        reader.readCurrentString(&name);
        if (named.insert(name).second)
          names.push_back(name);
        else
          ++repeats;
      }
      if (repeats > 0)
        warn("pathes", KR::formatString("path %u names an element again %u times; only the first counts",
                                        unsigned(pathNames.size()), unsigned(repeats)));
      pathNames.push_back(names);
      pathRequired.push_back(required);
    }
    reader.leaveChild();
  }
  keyNames.clear();
  hasKeys = reader.enterChild("keys");
  if (hasKeys) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      std::string name;
      reader.readCurrentString(&name);
      keyNames.push_back(name);
    }
    reader.leaveChild();
  }
  buttonAnimationNames.clear();
  if (reader.enterChild("buttonAnimation")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      std::string name;
      reader.readCurrentString(&name);
      buttonAnimationNames.push_back(name);
    }
    reader.leaveChild();
  }
  readText(reader, "clickSound", &clickSoundName);
  controls.clear();
  elements.clear();
  cells.clear();
  initialized = solved = false;
  lastPressedControl = 0;
  finishTimer = 0.0f;
}

void RotationMiniGameViewExtension::forgetNodes() {
  clickSound = nullptr;
  for (Control& control : controls) control.node = control.animationNode = nullptr;
  for (Element& element : elements) element.node = nullptr;
}

void RotationMiniGameViewExtension::bindControls(AE::ISceneNode* root, bool first) {
  AE::ISceneNode* parent = findNode(controlsName, "controls", kCantOpenNode);
  if (!parent) {
    refuse("controls", "names no node");
    for (Control& control : controls) control.node = control.animationNode = nullptr;
    return;
  }
  if (first) {
    for (AE::ISceneNode* child : parent->mChildren) {
      if (!child) continue;
      Control control;
      control.node = child;
      control.rectMin = worldPosition(child);
      const KR::Vector2<float> size = child->getSize();
      control.rectMax = KR::Vector2<float>(control.rectMin.x + size.x, control.rectMin.y + size.y);
      controls.push_back(control);
    }
  } else {
    for (size_t i = 0; i < controls.size(); ++i)
      controls[i].node = i < parent->mChildren.size() ? parent->mChildren[i] : nullptr;
  }
  for (size_t i = 0; i < buttonAnimationNames.size(); ++i) {
    if (i >= controls.size()) {
      if (first)
        KR::log("MINIGAME %s. Button animation %s has no control (key 'buttonAnimation' of '%s')", root->mName.c_str(),
                buttonAnimationNames[i].c_str(), configName.c_str());
      continue;
    }
    Control& control = controls[i];
    control.animationNode = findNode(buttonAnimationNames[i], "buttonAnimation", kCantOpenNode);
    if (control.animationNode) control.animationNode->stop(true);
    if (control.node) control.node->stop(true);
  }
}

void RotationMiniGameViewExtension::bindElementsFirst(AE::ISceneNode* root) {
  AE::ISceneNode* parent = findNode(elementsName, "elements", kCantOpenNode);
  if (!parent) {
    refuse("elements", "names no node");
    return;
  }
  parent->stop(true);
  for (AE::ISceneNode* child : parent->mChildren) {
    if (!child) continue;
    Element element;
    if (!firstKey(child, "posX", &element.home.x) || !firstKey(child, "posY", &element.home.y)) {
      KR::log("MINIGAME %s. Element %s has no position keys (key 'elements' of '%s')", root->mName.c_str(),
              child->mName.c_str(), configName.c_str());
      continue;
    }
    child->setFrame(breakFrame);
    element.node = child;
    element.name = child->mName;
    Cell cell;
    cell.place = ownPosition(child);
    cell.element = int32_t(elements.size());
    cell.elementName = child->mName;
    elements.push_back(element);
    cells.push_back(cell);
  }
}

void RotationMiniGameViewExtension::bindPaths() {
  for (size_t p = 0; p < pathNames.size(); ++p) {
    if (p >= controls.size()) {
      warn("pathes", KR::formatString("path %u has no control and does not count", unsigned(p)));
      continue;
    }
    for (const std::string& name : pathNames[p]) {
      for (size_t c = 0; c < cells.size(); ++c) {
        if (cells[c].elementName != name) continue;
        controls[p].pathCells.push_back(int32_t(c));
        for (const std::string& key : keyNames)
          if (key == name) elements[size_t(cells[c].element)].isKey = true;
        break;
      }
    }
    controls[p].required = pathRequired[p] == 1;
    if (controls[p].required && controls[p].pathCells.empty())
      refuse("pathes", KR::formatString("path %u names no element", unsigned(p)));
  }
  // Without a path that counts the puzzle would be solved at once.
  if (std::none_of(controls.begin(), controls.end(), [](const Control& control) { return control.required; }))
    refuse("pathes", "no path counts");
}

void RotationMiniGameViewExtension::onActivate() {
  AE::ISceneNode* root = sceneRoot();
  if (!root) return;
  finishNode = findNode(finishName, "finish", "MINIGAME %s. Can't open file %s");
  if (finishNode) {
    if (!finishNode->mEnabled) finishNode->setEnabled(true);
    finishNode->stop(true);
  }
  clickSound = findNode(clickSoundName, "clickSound", "MINIGAME %s. Can't open file %s");
  if (clickSound) clickSound->stop(true);
  if (!initialized) {
    bindControls(root, true);
    bindElementsFirst(root);
    bindPaths();
    initialized = true;
    return;
  }
  bindControls(root, false);
  AE::ISceneNode* parent = findNode(elementsName, "elements", kCantOpenNode);
  if (parent) parent->stop(true);
  for (Cell& cell : cells) {
    Element& element = elements[size_t(cell.element)];
    element.node = findNode(cell.elementName, "elements");
    element.moveTarget = kNowhere;
    cell.moving = false;
    if (!element.node) continue;
    // A move under way when the view was left ends on its place.
    element.node->setPosition(cell.place);
  }
}

void RotationMiniGameViewExtension::rotate(Control& control) {
  if (control.pathCells.empty()) return;
  int32_t carried = cells[size_t(control.pathCells.back())].element;
  for (int32_t index : control.pathCells) {
    Cell& cell = cells[size_t(index)];
    const int32_t previous = cell.element;
    cell.element = carried;
    Element& element = elements[size_t(carried)];
    element.moveTarget = cell.place;
    element.moveStart = element.node ? ownPosition(element.node) : cell.place;
    cell.moving = true;
    cell.elementName = element.name;
    carried = previous;
  }
}

int32_t RotationMiniGameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased || solved) return 0;
  const float x = float(input->x), y = float(input->y);
  for (size_t i = 0; i < controls.size(); ++i) {
    Control& control = controls[i];
    if (x < control.rectMin.x || x > control.rectMax.x || y < control.rectMin.y || y > control.rectMax.y) continue;
    if (control.node) control.node->setFrame(pressedFrame);
    if (control.animationNode) control.animationNode->play(true);
    lastPressedControl = i;
    playSound(clickSound);
    rotate(control);
    return 1;
  }
  return 0;
}

void RotationMiniGameViewExtension::moveElements(float dt) {
  for (Cell& cell : cells) {
    if (!cell.moving) continue;
    Element& element = elements[size_t(cell.element)];
    if (!element.node) continue;
    const KR::Vector2<float> at = ownPosition(element.node);
    const float dx = element.moveTarget.x - element.moveStart.x, dy = element.moveTarget.y - element.moveStart.y;
    const float speed = std::sqrt(dx * dx + dy * dy) / moveCoef;
    const float step = speed * dt;
    const KR::Vector2<float>& target = element.moveTarget;
    if (target.x - step < at.x && at.x < target.x + step && target.y - step < at.y && at.y < target.y + step) {
      cell.moving = false;
      element.node->setPosition(target);
      element.moveTarget = kNowhere;
      if (lastPressedControl < controls.size()) {
        Control& control = controls[lastPressedControl];
        if (control.node) control.node->setFrame(0);
        if (control.animationNode) control.animationNode->stop(true);
      }
      continue;
    }
    float ux = target.x - at.x, uy = target.y - at.y;
    const float length = std::sqrt(ux * ux + uy * uy);
    if (length > 0.0f) {
      ux /= length;
      uy /= length;
    }
    element.node->setPosition(KR::Vector2<float>(at.x + ux * speed * dt, at.y + uy * speed * dt));
  }
}

bool RotationMiniGameViewExtension::pathPasses(Control& control) {
  for (int32_t index : control.pathCells) {
    const Element& element = elements[size_t(cells[size_t(index)].element)];
    if (!element.node) continue;
    const KR::Vector2<float> at = ownPosition(element.node);
    if (hasKeys) {
      if (element.isKey && std::fabs(at.x - element.home.x) <= kKeyTolerance &&
          std::fabs(at.y - element.home.y) <= kKeyTolerance)
        cells[size_t(index)].matched = true;
      continue;
    }
    for (int32_t other : control.pathCells) {
      const Element& owner = elements[size_t(cells[size_t(other)].element)];
      if (owner.home.x == at.x && owner.home.y == at.y) {
        cells[size_t(other)].matched = true;
        break;
      }
    }
  }
  bool passes = true;
  for (int32_t index : control.pathCells) {
    const Cell& cell = cells[size_t(index)];
    if (hasKeys && !elements[size_t(cell.element)].isKey) continue;
    passes = passes && cell.matched;
  }
  if (!passes)
    for (int32_t index : control.pathCells) cells[size_t(index)].matched = false;
  return passes;
}

bool RotationMiniGameViewExtension::isSolved() {
  for (Control& control : controls)
    if (control.required && !pathPasses(control)) return false;
  return true;
}

void RotationMiniGameViewExtension::updatePuzzle(float dt) {
  // Elements at rest stand on their places (a scene loaded again shows its
  // authored frame); the final animation moves them on its own.
  if (!solved || lastFinalAnimFrame == 0) {
    for (const Cell& cell : cells) {
      AE::ISceneNode* node = elements[size_t(cell.element)].node;
      if (node && !cell.moving) node->setPosition(cell.place);
    }
  }
  moveElements(dt);
  // Marks of one test feed the next: the third result counts.
  bool passes = false;
  for (int round = 0; round < 3; ++round) passes = isSolved();
  if (!passes && !skipWanted() && !finishReported) return;
  doneNow = true;
  if (finishNode && !finishNode->mPlaying) {
    if (!solved) {
      finishNode->play(true);
      lengthenLock(finishTime);
    } else {
      finishNode->rewindToEnd();
    }
  }
  if (lastFinalAnimFrame != 0) {
    for (const Cell& cell : cells) {
      AE::ISceneNode* node = elements[size_t(cell.element)].node;
      if (!node || node->mPlaying) continue;
      node->setTime(0.0f, true);
      node->playRange(0, lastFinalAnimFrame, false, true);
    }
  }
  solved = true;
  if (finishReported) return;
  finishTimer += dt;
  if (finishTimer < finishTime) return;
  finishTimer = 0.0f;
  reportFinish();
}

}  // namespace HOG
