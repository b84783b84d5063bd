#pragma once
// Scene files: XML documents whose "Scene" holds "Object"s, each becoming one
// scene node of the kind its "type" names ("Sprite", "Text", "ParticleFX",
// "Sound", "MovieCamera"; anything else a plain node) with its "Parameters",
// its keyframes ("frames"), its children ("Childs") and its "markers".
//
//   AE::ISceneNode* scene = AE::loadScene("demo_scene_xml");   // null: missing or malformed
//   if (scene) { scene->play(true); ... delete scene; }        // the caller owns the tree
//
// A name in no package is read as a loose file (a relative name from the
// working folder). A sprite whose picture cannot be made drops its object and
// subtree with a log line; every other missing value takes its default.
//
// Loads may run on any thread: each has its own document and its nodes are
// seen by no other thread until it returns. Every loaded root is entered in a
// process-wide list of loaded scenes that its destructor leaves; that list has
// its own mutex, a leaf lock (nothing else is taken while it is held).
#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace KR {
class LuaScript;
}

namespace AE {

class IFrameData;
class ISceneNode;
class MovieCamera;
class ParticleSceneNode;
class SceneLoadContext;
namespace SceneXml {
class Attributes;
}
class SoundSceneNode;
class SpriteSceneNode;
class TextSceneNode;

// Told of the particle effects that could not be had while a scene loaded.
class SceneLoadListener {
 public:
  virtual ~SceneLoadListener() = default;
  virtual void onLoadFailed(SceneLoadContext& context, const std::string& fileName) = 0;
};

// One load's document and its listeners (not owned).
class SceneLoadContext {
 public:
  SceneLoadContext();
  ~SceneLoadContext();
  // The sprite script of that name, loaded once per load (null when it cannot be).
  KR::LuaScript* getSpriteScript(const std::string& name);

  pugi::xml_document document;
  std::vector<SceneLoadListener*> listeners;
  // The file being read, for log lines, and how deep the object walk is.
  std::string fileName;
  int depth = 0;

 private:
  std::map<std::string, std::unique_ptr<KR::LuaScript>> spriteScripts;
};

// The tree of the scene file (package "default", else a loose file), or null
// when the file cannot be read or is not well-formed XML.
ISceneNode* loadScene(const std::string& fileName);
// Loads into root (made when null, named after the file); false, with root
// untouched, when the file cannot be read or parsed.
bool loadSceneFile(ISceneNode*& root, const std::string& fileName, SceneLoadContext& context);
// One object with its subtree and markers, added to parent; null when its
// creator failed (the subtree is then left out).
ISceneNode* loadSceneObject(SceneLoadContext& context, ISceneNode*& parent, const pugi::xml_node& object);
// The plain node of an object of no listed type.
ISceneNode* createSceneNodeFromXml(const pugi::xml_node& object);
// The kinds' creators.
// With a context, the sprites of one script share one reading of it.
SpriteSceneNode* createSpriteNodeFromXml(const pugi::xml_node& object, SceneLoadContext* context = nullptr);
TextSceneNode* createTextNodeFromXml(const pugi::xml_node& object);
ParticleSceneNode* createParticleNodeFromXml(SceneLoadContext& context, const pugi::xml_node& object);
SoundSceneNode* createSoundNodeFromXml(const pugi::xml_node& object);
MovieCamera* createMovieCameraFromXml(const pugi::xml_node& object);
// Fills a base frame record from a frame's "Attributes" and stores it at the frame.
void readFrameRecord(const pugi::xml_node& attributes, ISceneNode* node, int frame);
void readFrameRecord(const SceneXml::Attributes& attributes, ISceneNode* node, int frame);
// The "frame" elements of a "frames" element with their "StartFrame", in frame
// order (frames of one number in file order). Keys added in frame order are
// appended, so a file written backwards loads as fast as one written forwards;
// every frame writes all its node's keys, so the order changes no value.
std::vector<std::pair<int, pugi::xml_node>> framesInOrder(const pugi::xml_node& frames);
// Each "frame" of a "frames" element in frame order: its base record stored at
// its "StartFrame", then readKeys(frame, its "Attributes") for the kind's own keys.
void readKeyframes(const pugi::xml_node& frames, ISceneNode* node,
                   const std::function<void(int frame, const SceneXml::Attributes& attributes)>& readKeys);
// The plain section's "Parameters" (position, depth, rotation, scale, colour,
// pivot, enabled, shear, parallax), shared by plain, sprite and text objects.
void applyPlainParameters(const SceneXml::Attributes& parameters, ISceneNode* node);
// The record's fields from a frame's attributes, all but the shear.
void readFrameFields(const SceneXml::Attributes& attributes, IFrameData& record);
// The markers of a "Scene" or "Object" element, for its node.
void readSceneMarkers(const pugi::xml_node& element, ISceneNode* node);

// ---- the list of loaded scenes ----
void registerLoadedScene(ISceneNode* root);
// Called by every node's destructor; does nothing for a node not listed.
void unregisterLoadedScene(const ISceneNode* node);
size_t getLoadedSceneCount();
bool isLoadedScene(const ISceneNode* node);

}  // namespace AE
