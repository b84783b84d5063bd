#include "animationeditor/scene_loader.h"

#include <pthread.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "animationeditor/frame_data.h"
#include "animationeditor/marker_play_list_reader.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_xml_values.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "file_system.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "platform/safe_file.h"
#include "scoped_lock.h"

namespace AE {

using namespace SceneXml;

namespace {

// Deeper nesting than any authored scene; it keeps a damaged file from
// exhausting the stack of the recursive walks over the tree.
constexpr int kMaxObjectDepth = 128;

pthread_mutex_t gLoadedScenesLock = PTHREAD_MUTEX_INITIALIZER;
std::vector<ISceneNode*>& loadedScenes() {
  static std::vector<ISceneNode*>* scenes = new std::vector<ISceneNode*>();
  return *scenes;
}

// False, with the reason, when the file cannot be read or is no well-formed XML.
bool parseFile(const std::string& fileName, pugi::xml_document& document, std::string* reason) {
  KR::FileSystem* files = KR::FileSystem::getInstancePtr();
  std::unique_ptr<KR::File> file(files ? files->openFile("default", fileName) : nullptr);
  pugi::xml_parse_result result;
  if (!file) {
    document.reset();
    // Only a regular file is read by its path: a directory would be taken for
    // a file of absurd size.
    if (!KR::Platform::fileExists(fileName)) {
      *reason = "the file does not exist";
      return false;
    }
    result = document.load_file(fileName.c_str());
  } else {
    const int size = std::max(file->getSize(), 0);
    std::unique_ptr<char[]> bytes(new char[size_t(size) + 1]);
    const int read = size > 0 ? file->read(bytes.get(), size) : 0;
    if (read < 0) {
      *reason = "the file cannot be read";
      return false;
    }
    bytes[size_t(read)] = 0;
    result = document.load_buffer(bytes.get(), size_t(read));
  }
  if (result.status == pugi::status_ok) return true;
  *reason = std::string("its XML is damaged: ") + result.description() + " at offset " + std::to_string(result.offset);
  return false;
}

}  // namespace

SceneLoadContext::SceneLoadContext() = default;
SceneLoadContext::~SceneLoadContext() = default;

KR::LuaScript* SceneLoadContext::getSpriteScript(const std::string& name) {
  auto it = spriteScripts.find(name);
  if (it == spriteScripts.end()) {
    std::unique_ptr<KR::LuaScript> script(new KR::LuaScript());
    if (!script->getState() || !script->loadScript(name, "default")) script.reset();
    it = spriteScripts.emplace(name, std::move(script)).first;
  }
  return it->second.get();
}

// ---- the list of loaded scenes ----

void registerLoadedScene(ISceneNode* root) {
  if (!root) return;
  KR::ScopedLock guard(KR::ScopedLock::lock(&gLoadedScenesLock));
  std::vector<ISceneNode*>& scenes = loadedScenes();
  if (std::find(scenes.begin(), scenes.end(), root) == scenes.end()) scenes.push_back(root);
}

void unregisterLoadedScene(const ISceneNode* node) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&gLoadedScenesLock));
  std::vector<ISceneNode*>& scenes = loadedScenes();
  const auto it = std::find(scenes.begin(), scenes.end(), node);
  if (it != scenes.end()) scenes.erase(it);
}

size_t getLoadedSceneCount() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&gLoadedScenesLock));
  return loadedScenes().size();
}

bool isLoadedScene(const ISceneNode* node) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&gLoadedScenesLock));
  const std::vector<ISceneNode*>& scenes = loadedScenes();
  return std::find(scenes.begin(), scenes.end(), node) != scenes.end();
}

// ---- files ----

ISceneNode* loadScene(const std::string& fileName) {
  SceneLoadContext context;
  ISceneNode* root = nullptr;
  if (!loadSceneFile(root, fileName, context)) return nullptr;
  return root;
}

bool loadSceneFile(ISceneNode*& root, const std::string& fileName, SceneLoadContext& context) {
  std::string reason;
  if (!parseFile(fileName, context.document, &reason)) {
    KR::log("ERROR: Scene file '%s' cannot be loaded: %s", fileName.c_str(), reason.c_str());
    return false;
  }
  if (!root) {
    root = new ISceneNode();
    root->mName = fileName;
  }
  root->mSourceFile = fileName;
  context.fileName = fileName;
  context.depth = 0;
  const pugi::xml_node scene = context.document.child("Scene");
  for (pugi::xml_node object : scene.children("Object")) loadSceneObject(context, root, object);
  readSceneMarkers(scene, root);
  root->update(0.0f);
  context.document.reset();
  registerLoadedScene(root);
  return true;
}

ISceneNode* loadSceneObject(SceneLoadContext& context, ISceneNode*& parent, const pugi::xml_node& object) {
  if (context.depth >= kMaxObjectDepth) {
    KR::log("ERROR: Scene file '%s' nests objects deeper than %d levels", context.fileName.c_str(), kMaxObjectDepth);
    return nullptr;
  }
  const std::string type = object.attribute("type").value();
  ISceneNode* node = nullptr;
  if (type == "Sprite")
    node = createSpriteNodeFromXml(object, &context);
  else if (type == "ParticleFX")
    node = createParticleNodeFromXml(context, object);
  else if (type == "Sound")
    node = createSoundNodeFromXml(object);
  else if (type == "MovieCamera")
    node = createMovieCameraFromXml(object);
  else if (type == "Text")
    node = createTextNodeFromXml(object);
  else
    node = createSceneNodeFromXml(object);
  if (!node) return nullptr;
  if (parent) parent->addChild(node, true);
  // The first "Object" of "Childs" starts the children; whatever follows it is read as an object too.
  ++context.depth;
  for (pugi::xml_node child = object.child("Childs").child("Object"); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) loadSceneObject(context, node, child);
  }
  --context.depth;
  readSceneMarkers(object, node);
  return node;
}

void readSceneMarkers(const pugi::xml_node& element, ISceneNode* node) {
  if (!node) return;
  for (pugi::xml_node marker : element.child("markers").children()) {
    if (marker.type() == pugi::node_element) readMarkerPlayLists(marker, node);
  }
}

// ---- the plain object section ----

void readFrameRecord(const pugi::xml_node& attributes, ISceneNode* node, int frame) {
  readFrameRecord(Attributes(attributes), node, frame);
}

void applyPlainParameters(const Attributes& p, ISceneNode* node) {
  node->setWorldX(p.readFloat("X"));
  node->setWorldY(p.readFloat("Y"));
  node->mPosZ = p.readFloat("Z");
  node->setRotation(p.readFloat("angle"));
  node->setScaleX(p.readFloat("scaleX"));
  node->setScaleY(p.readFloat("scaleY"));
  node->mColor = p.readColor();
  node->mPivot = KR::Vector2<float>(p.readFloat("PivotPointX"), p.readFloat("PivotPointY"));
  node->setEnabled(p.readBool("Enable"));
  node->mShear = p.readShear();
  node->mParallaxEnabled = p.readBoolDefaultTrue("ParallaxEnabled");
}

void readFrameFields(const Attributes& a, IFrameData& record) {
  record.x = a.readFloat("X");
  record.y = a.readFloat("Y");
  record.handleX = a.readFloat("bezierX");
  record.handleY = a.readFloat("bezierY");
  record.handlePositionX = a.readFloat("bezierCoeffX");
  record.handlePositionY = a.readFloat("bezierCoeffY");
  record.positionBezier = a.readBool("bezierPosEnabled");
  record.pivot = KR::Vector2<float>(a.readFloat("PivotPointX"), a.readFloat("PivotPointY"));
  record.angle = a.readFloat("angle");
  record.angleHandle = a.readFloat("bezierAngle");
  record.angleHandlePosition = a.readFloat("bezierCoeffAngle");
  record.angleBezier = a.readBool("bezierAngleEnabled");
  record.scaleX = a.readFloat("scaleX");
  record.scaleY = a.readFloat("scaleY");
  record.scaleHandleX = a.readFloat("bezierScaleX");
  record.scaleHandleY = a.readFloat("bezierScaleY");
  record.scaleHandlePositionX = a.readFloat("bezierCoeffScaleX");
  record.scaleHandlePositionY = a.readFloat("bezierCoeffScaleY");
  record.scaleBezier = a.readBool("bezierScaleEnabled");
  record.z = a.readFloat("Z");
  record.color = a.readColor();
}

void readFrameRecord(const Attributes& a, ISceneNode* node, int frame) {
  IFrameData record;
  readFrameFields(a, record);
  // Every element of the table is read: an absent "shear00" gives 0, not 1.
  record.shear = a.readShearValues();
  node->storeFrameData(frame, record);
}

std::vector<std::pair<int, pugi::xml_node>> framesInOrder(const pugi::xml_node& frames) {
  std::vector<std::pair<int, pugi::xml_node>> ordered;
  for (pugi::xml_node f : frames.children("frame"))
    ordered.emplace_back(parseInt(f.attribute("StartFrame").value()), f);
  std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return ordered;
}

void readKeyframes(const pugi::xml_node& frames, ISceneNode* node,
                   const std::function<void(int frame, const Attributes& attributes)>& readKeys) {
  for (const auto& [frame, f] : framesInOrder(frames)) {
    const Attributes a(f.child("Attributes"));
    readFrameRecord(a, node, frame);
    readKeys(frame, a);
  }
}

ISceneNode* createSceneNodeFromXml(const pugi::xml_node& object) {
  ISceneNode* node = new ISceneNode();
  node->mName = object.attribute("name").value();
  applyPlainParameters(Attributes(object.child("Parameters")), node);
  const pugi::xml_node frames = object.child("frames");
  node->mLoop = parseBool(frames.attribute("loop").value());
  node->mAnimation->mLoop = node->mLoop;
  readKeyframes(frames, node, [node](int frame, const Attributes& a) {
    NodeKeyValues v;
    v.posX = a.readFloat("X");
    v.posY = a.readFloat("Y");
    v.posZ = a.readFloat("Z");
    v.rotation = a.readFloat("angle");
    v.scaleX = a.readFloat("scaleX");
    v.scaleY = a.readFloat("scaleY");
    v.color = a.readColor();
    v.shear = a.readShear();
    v.pivot = KR::Vector2<float>(a.readFloat("PivotPointX"), a.readFloat("PivotPointY"));
    node->setKeyframeValues(frame, v);
  });
  return node;
}

}  // namespace AE
