// The creators of the node kinds of scene files. Each kind reads its own keys
// under its own names: the sound's angle is "Angle", the sound's and the
// camera's pivot y "PivotPoint.y", the particle's colour one grey "color".
#include "animationeditor/frame_data.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_xml_values.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"

namespace AE {

using namespace SceneXml;

namespace {

// Room for every frame's key in every track before the frames are read.
void reserveKeys(const pugi::xml_node& object, ISceneNode* node) {
  size_t frames = 0;
  for (pugi::xml_node f = object.child("frames").child("frame"); f; f = f.next_sibling("frame")) ++frames;
  for (SceneNodeAnimation::IContainer* track : node->mAnimation->mTracks) {
    switch (track->getType()) {
      case TrackType::Float: static_cast<SceneNodeAnimation::Container<float>*>(track)->keys.reserve(frames); break;
      case TrackType::Vector2:
        static_cast<SceneNodeAnimation::Container<KR::Vector2<float>>*>(track)->keys.reserve(frames);
        break;
      case TrackType::Color: static_cast<SceneNodeAnimation::Container<KR::Color>*>(track)->keys.reserve(frames); break;
      case TrackType::Int: static_cast<SceneNodeAnimation::Container<int32_t>*>(track)->keys.reserve(frames); break;
      case TrackType::Bool: static_cast<SceneNodeAnimation::Container<bool>*>(track)->keys.reserve(frames); break;
    }
  }
}

// The loop flag of "frames", and room for its keys.
void prepareFrames(const pugi::xml_node& object, ISceneNode* node) {
  node->mLoop = parseBool(object.child("frames").attribute("loop").value());
  node->mAnimation->mLoop = node->mLoop;
  reserveKeys(object, node);
}

// The colour a node shows after loading (no parent yet: the derived colour is its own).
void takeColor(ISceneNode* node, KR::Color color) {
  node->mColor = color;
  node->mDerivedColor = node->mParent ? node->mParent->mDerivedColor * color : color;
}

}  // namespace

SpriteSceneNode* createSpriteNodeFromXml(const pugi::xml_node& object, SceneLoadContext* context) {
  SpriteSceneNode* node = new SpriteSceneNode();
  const std::string fileName = object.attribute("filename").value();
  const std::string table = object.attribute("tablename").value();
  // Both loaders write "Failed to create sprite from ..." when they fail.
  const bool made = table == "default" ? node->loadFromTexture(fileName) : node->loadFromSpriteTable(fileName, table);
  if (!made || !node->getSprite()) {
    delete node;
    return nullptr;
  }
  node->mName = object.attribute("name").value();
  const Attributes p(object.child("Parameters"));
  applyPlainParameters(p, node);
  node->mBlendMode = p.readInt("BlendMode");
  node->mStencilMode = p.readInt("UseStencil");
  node->mDistortion = p.readBool("Distortion");
  prepareFrames(object, node);
  // A table's frames: from the sprite sheet while sheets are on, else from the
  // script, which a scene of many sprites reads once rather than per object.
  if (table != "default")
    node->loadAnimation(node->mExtra2, context ? context->getSpriteScript(node->mSourceFile) : nullptr, 0, 0, 1);
  const bool shear = p.has("shear00");
  const int32_t frameCount = int32_t(node->mFrameOrder.size());
  readKeyframes(object.child("frames"), node, [&](int frame, const Attributes& a) {
    SpriteKeyValues v;
    v.posX = a.readFloat("X");
    v.posY = a.readFloat("Y");
    v.rotation = a.readFloat("angle");
    v.scaleX = a.readFloat("scaleX");
    v.scaleY = a.readFloat("scaleY");
    v.color = a.readColor();
    v.blendMode = a.readInt("BlendMode");
    v.pivot = KR::Vector2<float>(a.readFloat("PivotPointX"), a.readFloat("PivotPointY"));
    v.posZ = a.readFloat("Z");
    // An index outside the node's frames, below as above, keys frame 0.
    v.frameIndex = a.readInt("frameIndex");
    if (v.frameIndex < 0 || v.frameIndex >= frameCount) v.frameIndex = 0;
    v.animFrameIndex = a.readBool("animFrameIndex");
    v.texPos = KR::Vector2<float>(a.readFloat("texX"), a.readFloat("texY"));
    if (shear) v.shear = a.readShearValues();
    node->setKeyframeValues(frame, v);
  });
  return node;
}

TextSceneNode* createTextNodeFromXml(const pugi::xml_node& object) {
  TextSceneNode* node = new TextSceneNode(object.attribute("filename").value(), std::wstring());
  node->mName = object.attribute("name").value();
  const Attributes p(object.child("Parameters"));
  applyPlainParameters(p, node);
  node->setText(std::string(p.readString("Text")));
  node->mWordWrap = p.readBool("WordWrap");
  node->mClipping = p.readBool("Clipping");
  node->mXCoeff = p.readFloat("XCoeff");
  node->mYCoeff = p.readFloat("YCoeff");
  node->mLocaleEnable = p.readBool("LocaleEnable");
  node->mVAlign = int32_t(p.readUnsigned("VAlign"));
  node->mPixelPrecision = p.readBool("PixelPrec");
  node->mHAlign = int32_t(p.readUnsigned("HAlign"));
  node->setSize(KR::Vector2<float>(p.readFloat("TextAreaX"), p.readFloat("TextAreaY")));
  node->mClipLT = KR::Vector2<float>(p.readFloat("ClipRect0"), p.readFloat("ClipRect1"));
  node->mClipRB = KR::Vector2<float>(p.readFloat("ClipRect2"), p.readFloat("ClipRect3"));
  node->mMaxChar = p.readInt("MaxChar");
  node->mPresetName = p.readString("Preset");
  node->setupStyle(node->mUsePreset);
  node->setupStyle(p.readBool("UsePreset"));
  node->mStencil = p.readBool("Stencil");
  node->mDistortion = p.readBool("Distortion");
  prepareFrames(object, node);
  const bool shear = p.has("shear00");
  TextFrameData record;
  for (const auto& [frame, f] : framesInOrder(object.child("frames"))) {
    const Attributes a(f.child("Attributes"));
    readFrameFields(a, record);
    if (shear) record.shear = a.readShearValues();
    record.xcoeff = a.readFloat("XCoeff");
    record.ycoeff = a.readFloat("YCoeff");
    record.valign = int32_t(a.readUnsigned("VAlign"));
    record.halign = int32_t(a.readUnsigned("HAlign"));
    record.maxChar = a.readInt("MaxChar");
    record.textArea = KR::Vector2<float>(a.readFloat("TextAreaX"), a.readFloat("TextAreaY"));
    record.clipLT = KR::Vector2<float>(a.readFloat("ClipRect0"), a.readFloat("ClipRect1"));
    record.clipRB = KR::Vector2<float>(a.readFloat("ClipRect2"), a.readFloat("ClipRect3"));
    node->storeFrameData(frame, record);
  }
  return node;
}

ParticleSceneNode* createParticleNodeFromXml(SceneLoadContext& context, const pugi::xml_node& object) {
  const std::string fileName = object.attribute("filename").value();
  ParticleSceneNode* node = new ParticleSceneNode();
  if (!node->setEffect(fileName)) {
    for (SceneLoadListener* listener : context.listeners) listener->onLoadFailed(context, fileName);
  }
  node->mName = object.attribute("name").value();
  const Attributes p(object.child("Parameters"));
  KR::Color color = KR::Color::fromARGB(0xFFFFFFFFu);
  if (p.has("color")) {
    const uint32_t grey = uint32_t(p.readInt("color")) & 0xFFu;
    color = KR::Color::fromARGB(grey * 0x01010101u);
  }
  node->setWorldX(p.readFloat("X"));
  node->setWorldY(p.readFloat("Y"));
  node->mPosZ = p.readFloat("Z");
  node->setEnabled(p.readBool("Enable"));
  node->mEmitCoef = p.readFloat("emitCoef");
  node->mPivot = KR::Vector2<float>();
  node->mStencil = p.readBool("Stencil");
  node->mParallaxEnabled = p.readBoolDefaultTrue("ParallaxEnabled");
  node->mDistortion = p.readBool("Distortion");
  prepareFrames(object, node);
  readKeyframes(object.child("frames"), node, [&](int frame, const Attributes& a) {
    ParticleKeyValues v;
    v.posX = a.readFloat("X");
    v.posY = a.readFloat("Y");
    v.emitCoef = a.readFloat("emitCoef");
    v.pivot = KR::Vector2<float>(a.readFloat("PivotPointX"), a.readFloat("PivotPointY"));
    v.posZ = a.readFloat("Z");
    v.play = a.readInt("play");
    node->setKeyframeValues(frame, v);
  });
  takeColor(node, color);
  return node;
}

SoundSceneNode* createSoundNodeFromXml(const pugi::xml_node& object) {
  SoundSceneNode* node = new SoundSceneNode();
  node->mName = object.attribute("name").value();
  const Attributes p(object.child("Parameters"));
  node->setSound(p.readUnsigned("SoundGroup"), object.attribute("filename").value());
  node->mVolume = p.readFloat("Volume");
  node->mPlay = p.readBool("Playing") ? 1 : 0;
  node->mEnabled = p.readBool("Enable");
  prepareFrames(object, node);
  node->setWorldX(p.readFloat("X"));
  node->setWorldY(p.readFloat("Y"));
  node->mPosZ = p.readFloat("Z");
  node->setRotation(p.readFloat("Angle"));
  node->mPivot = KR::Vector2<float>(p.readFloat("PivotPointX"), p.readFloat("PivotPoint.y"));
  node->setEnabled(p.readBool("Enable"));
  node->mFading = p.readBool("fading");
  node->setPriority(uint32_t(p.readInt("priority")));
  node->mParallaxEnabled = p.readBoolDefaultTrue("ParallaxEnabled");
  readKeyframes(object.child("frames"), node, [&](int frame, const Attributes& a) {
    takeColor(node, a.readColor());
    node->setKeyframeValues(frame, a.readInt("playSound"), a.readFloat("Volume"));
  });
  takeColor(node, p.readColor());
  return node;
}

MovieCamera* createMovieCameraFromXml(const pugi::xml_node& object) {
  MovieCamera* node = new MovieCamera();
  node->mName = object.attribute("name").value();
  const Attributes p(object.child("Parameters"));
  const char* parallax = p.find("ParallaxEnabled");
  const bool parallaxOn = parallax ? parseBool(parallax) : p.readBool("parallaxEnable");
  node->setWorldX(p.readFloat("X"));
  node->setWorldY(p.readFloat("Y"));
  node->mPosZ = p.readFloat("Z");
  node->setRotation(p.readFloat("angle"));
  node->mPivot = KR::Vector2<float>(p.readFloat("PivotPointX"), p.readFloat("PivotPoint.y"));
  node->setEnabled(p.readBool("Enable"));
  node->mParallaxCoef = p.readFloat("parallaxCoef");
  node->setScaleX(p.readFloat("scaleX"));
  node->setScaleY(p.readFloat("scaleY"));
  node->mParallaxEnabled = parallaxOn;
  prepareFrames(object, node);
  readKeyframes(object.child("frames"), node, [&](int frame, const Attributes& a) {
    node->setKeyframeValues(a.readFloat("angle"), frame, KR::Vector2<float>(a.readFloat("X"), a.readFloat("Y")),
                            KR::Vector2<float>(a.readFloat("scaleX"), a.readFloat("scaleY")));
  });
  // After the frames, so that the key frames exist.
  for (pugi::xml_node attribute : object.child("Activationframes").children("Attribute"))
    node->addActivationFrame(parseInt(attribute.attribute("startFrame").value()));
  return node;
}

}  // namespace AE
