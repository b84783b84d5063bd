#include "puzzle_rig.h"

#include <pugixml.hpp>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "animationeditor/scene_node_animation.h"
#include "core/game_state/input_state.h"
#include "core/game_state/minigames/minigame_factory.h"

namespace KR {
namespace Test {

namespace {

// The demo content's puzzle pictures and their sizes (tools/image_maker).
const std::map<std::string, KR::Vector2<float>> kPictureSizes = {
    {"puzzle_backdrop", {64.0f, 64.0f}},
    {"puzzle_button", {128.0f, 128.0f}},
    {"puzzle_light", {48.0f, 48.0f}},
    {"puzzle_finish", {256.0f, 256.0f}},
    {"puzzle_back", {128.0f, 128.0f}},
    {"puzzle_bar", {64.0f, 64.0f}},
    {"puzzle_tile", {128.0f, 128.0f}},
    {"puzzle_gear", {128.0f, 128.0f}},
    {"puzzle_ring", {256.0f, 256.0f}},
    {"puzzle_gear8", {128.0f, 128.0f}},
    {"puzzle_banner", {512.0f, 96.0f}},
    {"puzzle_lens", {256.0f, 256.0f}},
    {"puzzle_star", {32.0f, 32.0f}},
    {"puzzle_picture", {256.0f, 256.0f}},
    {"puzzle_picture0", {128.0f, 128.0f}},
    {"puzzle_picture1", {128.0f, 128.0f}},
    {"puzzle_picture2", {128.0f, 128.0f}},
    {"puzzle_picture3", {128.0f, 128.0f}},
    {"puzzle_picture0_turned", {128.0f, 128.0f}},
};

class SizedNode : public AE::ISceneNode {
 public:
  KR::Vector2<float> size;
  KR::Vector2<float> getSize() const override { return size; }
};

AE::ISceneNode* plainNode(const pugi::xml_node& object, AE::ISceneNode* parent) {
  auto* node = new SizedNode();
  node->mName = object.attribute("name").value();
  const pugi::xml_node p = object.child("Parameters");
  const float scaleX = p.attribute("scaleX").as_float(1.0f), scaleY = p.attribute("scaleY").as_float(1.0f);
  const auto picture = kPictureSizes.find(object.attribute("filename").value());
  const KR::Vector2<float> side = picture != kPictureSizes.end() ? picture->second : KR::Vector2<float>(64.0f, 64.0f);
  node->size =
      KR::Vector2<float>(p.attribute("w").as_float(side.x * scaleX), p.attribute("h").as_float(side.y * scaleY));
  // As the scene loader does: the place is set before the node has its
  // parent, so a child's place is its parent's plus its own.
  node->setWorldX(p.attribute("X").as_float());
  node->setWorldY(p.attribute("Y").as_float());
  node->mPosZ = p.attribute("Z").as_float();
  node->setRotation(p.attribute("angle").as_float());
  node->mPivot = KR::Vector2<float>(p.attribute("PivotPointX").as_float(), p.attribute("PivotPointY").as_float());
  node->setEnabled(p.attribute("Enable").as_int(1) != 0);
  if (parent) parent->addChild(node, true);
  for (pugi::xml_node frame : object.child("frames").children("frame")) {
    const pugi::xml_node a = frame.child("Attributes");
    AE::NodeKeyValues v;
    v.posX = a.attribute("X").as_float(node->mPosX);
    v.posY = a.attribute("Y").as_float(node->mPosY);
    v.posZ = a.attribute("Z").as_float(node->mPosZ);
    v.rotation = a.attribute("angle").as_float();
    v.pivot = KR::Vector2<float>(a.attribute("PivotPointX").as_float(), a.attribute("PivotPointY").as_float());
    node->setKeyframeValues(frame.attribute("StartFrame").as_int(), v);
  }
  for (pugi::xml_node child = object.child("Childs").child("Object"); child; child = child.next_sibling("Object"))
    plainNode(child, node);
  // A sound authored as playing plays from the start.
  if (p.attribute("Playing").as_int(0) != 0) node->play(true);
  return node;
}

}  // namespace

std::string puzzleMedia(const std::string& name) {
  std::ifstream in(std::string(KR_TEST_SOURCE_DIR) + "/media/puzzles/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string withChild(const std::string& scene, const std::string& parent, const std::string& child, bool playing) {
  const std::string object = std::string("<Object name=\"") + child + "\"><Parameters Playing=\"" +
                             (playing ? "1" : "0") +
                             "\"/><frames><frame StartFrame=\"0\"><Attributes/></frame>"
                             "<frame StartFrame=\"12\"><Attributes/></frame></frames></Object>";
  std::string text = scene;
  const size_t at = text.find("name=\"" + parent + "\"");
  if (at == std::string::npos) return text;
  // The parent's own children come before any object nested in it.
  const size_t childs = text.find("<Childs>", at), end = text.find("</Object>", at), nested = text.find("<Object", at);
  if (childs < end && childs < nested)
    text.insert(childs + 8, object);
  else
    text.insert(end, "<Childs>" + object + "</Childs>");
  return text;
}

PuzzleRig::PuzzleRig(const char* className, const std::string& config, const std::string& scene,
                     const std::string& configName)
    : allocators(std::make_unique<EngineAllocators>()), sceneText(scene) {
  start(className, config, configName);
}

PuzzleRig::PuzzleRig(const char* className, const std::string& config, const std::string& scene,
                     const KR::Vector2<float>& viewPosition)
    : allocators(std::make_unique<EngineAllocators>()), sceneText(scene) {
  view.position = viewPosition;
  start(className, config, "test_puzzle_xml");
}

void PuzzleRig::start(const char* className, const std::string& config, const std::string& configName) {
  allocators->init();
  factory = std::make_unique<HOG::ViewFactory>();
  puzzle = static_cast<HOG::MinigameViewExtension*>(HOG::createMinigameByName(*factory, className));
  view.id = 99;
  view.extension = puzzle;
  puzzle->view = &view;
  puzzle->loadConfigFromMemory(config.data(), config.size(), configName);
  view.scene = build();
  view.loaded = true;
  puzzle->setSuspended(false);
  puzzle->onActivate();
}

PuzzleRig::~PuzzleRig() {
  view.release();
  view.extension = nullptr;
  factory->freeExtension(puzzle);
}

AE::ISceneNode* PuzzleRig::build() const {
  pugi::xml_document document;
  document.load_buffer(sceneText.data(), sceneText.size());
  auto* root = new AE::ISceneNode();
  root->mName = "puzzle_scene";
  for (pugi::xml_node object : document.child("Scene").children("Object")) plainNode(object, root);
  // The view's scene stands at the view's place, as the view puts it.
  root->setPosition(view.position);
  root->update(0.0f);
  return root;
}

AE::ISceneNode* PuzzleRig::node(const char* name) const { return AE::ISceneNode::findChild(name, view.scene); }

int PuzzleRig::frame(const char* name) const {
  const AE::ISceneNode* found = node(name);
  if (!found) return -1;
  return int(std::lround(found->mAnimation->mTime / found->mAnimation->mFrameTime));
}

void PuzzleRig::step(const HOG::InputState& input, float dt) {
  if (input.valid && !puzzle->isSuspended()) result = puzzle->processMouseEvent(&input);
  view.scene->update(dt);
  puzzle->update(dt);
}

namespace {
HOG::InputState at(int x, int y) {
  HOG::InputState input;
  input.valid = 1;
  input.x = x;
  input.y = y;
  return input;
}
}  // namespace

void PuzzleRig::press(int x, int y) {
  HOG::InputState input = at(x, y);
  input.leftPressed = input.leftDown = input.hasEvent = 1;
  step(input, 1.0f / 30.0f);
}

void PuzzleRig::release(int x, int y, float dt) {
  HOG::InputState input = at(x, y);
  input.leftReleased = input.hasEvent = 1;
  step(input, dt);
}

void PuzzleRig::move(int x, int y) {
  HOG::InputState input = at(x, y);
  input.leftDown = 1;
  step(input, 1.0f / 30.0f);
}

void PuzzleRig::rightClick(int x, int y) {
  HOG::InputState input = at(x, y);
  input.rightReleased = input.hasEvent = 1;
  step(input, 1.0f / 30.0f);
}

void PuzzleRig::click(int x, int y) {
  press(x, y);
  release(x, y);
}

void PuzzleRig::quickClick(int x, int y) {
  HOG::InputState input = at(x, y);
  input.leftPressed = input.leftReleased = input.hasEvent = 1;
  step(input, 1.0f / 30.0f);
}

void PuzzleRig::frames(int count, float dt) {
  for (int i = 0; i < count; ++i) step(HOG::InputState(), dt);
}

void PuzzleRig::skip() {
  puzzle->skipRequest = true;
  frames(1);
}

void PuzzleRig::activateWithoutScene() {
  puzzle->onDeactivate();
  view.loaded = false;
  puzzle->onActivate();
  view.loaded = true;
}

const AE::ISceneNode* PuzzleRig::reloadWithoutActivation() {
  puzzle->onDeactivate();
  released.reset(view.scene);
  // Its nodes stand still, so that a puzzle still holding one would act on it.
  released->stop(true);
  view.scene = build();
  puzzle->release();
  return released.get();
}

void PuzzleRig::leaveAndReturn(bool reload) {
  puzzle->onDeactivate();
  if (reload) {
    view.release();
    view.scene = build();
    view.loaded = true;
  }
  puzzle->skipRequest = false;
  puzzle->onActivate();
}

}  // namespace Test
}  // namespace KR
