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

void readLoop(const pugi::xml_node& object, ISceneNode* node) {
  node->mLoop = readBool(object.child("frames"), "loop");
  node->mAnimation->mLoop = node->mLoop;
}

// The plain section's values shared by sprites and texts.
void applyPlainParameters(const pugi::xml_node& p, ISceneNode* node) {
  node->setWorldX(readFloat(p, "X"));
  node->setWorldY(readFloat(p, "Y"));
  node->mPosZ = readFloat(p, "Z");
  node->setRotation(readFloat(p, "angle"));
  node->setScaleX(readFloat(p, "scaleX"));
  node->setScaleY(readFloat(p, "scaleY"));
  node->mColor = readColor(p);
  node->mPivot = KR::Vector2<float>(readFloat(p, "PivotPointX"), readFloat(p, "PivotPointY"));
  node->setEnabled(readBool(p, "Enable"));
  node->mShear = readShear(p);
  node->mParallaxEnabled = readBoolDefaultTrue(p.attribute("ParallaxEnabled"));
}

// The colour a node shows after loading (no parent yet: the derived colour is its own).
void takeColor(ISceneNode* node, KR::Color color) {
  node->mColor = color;
  node->mDerivedColor = node->mParent ? node->mParent->mDerivedColor * color : color;
}

}  // namespace

SpriteSceneNode* createSpriteNodeFromXml(const pugi::xml_node& object) {
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
  const pugi::xml_node p = object.child("Parameters");
  applyPlainParameters(p, node);
  node->mBlendMode = readInt(p, "BlendMode");
  node->mStencilMode = readInt(p, "UseStencil");
  node->mDistortion = readBool(p, "Distortion");
  readLoop(object, node);
  if (table != "default") {
    if (!node->mFrameOrder.empty() && node->mFrameOrder.front() != -1)
      node->loadAnimation(table, 0, 0, 1);
    else
      node->loadAnimationFromScript(node->mExtra2, 0, 0, 1);
  }
  const bool shear = bool(p.attribute("shear00"));
  const int32_t frameCount = int32_t(node->mFrameOrder.size());
  for (pugi::xml_node f : object.child("frames").children("frame")) {
    const int frame = readInt(f, "StartFrame");
    const pugi::xml_node a = f.child("Attributes");
    readFrameRecord(a, node, frame);
    SpriteKeyValues v;
    v.posX = readFloat(a, "X");
    v.posY = readFloat(a, "Y");
    v.rotation = readFloat(a, "angle");
    v.scaleX = readFloat(a, "scaleX");
    v.scaleY = readFloat(a, "scaleY");
    v.color = readColor(a);
    v.blendMode = readInt(a, "BlendMode");
    v.pivot = KR::Vector2<float>(readFloat(a, "PivotPointX"), readFloat(a, "PivotPointY"));
    v.posZ = readFloat(a, "Z");
    // An index outside the node's frames, below as above, keys frame 0.
    v.frameIndex = readInt(a, "frameIndex");
    if (v.frameIndex < 0 || v.frameIndex >= frameCount) v.frameIndex = 0;
    v.animFrameIndex = readBool(a, "animFrameIndex");
    v.texPos = KR::Vector2<float>(readFloat(a, "texX"), readFloat(a, "texY"));
    if (shear) v.shear = readShear(a);
    node->setKeyframeValues(frame, v);
  }
  return node;
}

TextSceneNode* createTextNodeFromXml(const pugi::xml_node& object) {
  TextSceneNode* node = new TextSceneNode(object.attribute("filename").value(), std::wstring());
  node->mName = object.attribute("name").value();
  const pugi::xml_node p = object.child("Parameters");
  applyPlainParameters(p, node);
  node->setText(std::string(p.attribute("Text").value()));
  node->mWordWrap = readBool(p, "WordWrap");
  node->mClipping = readBool(p, "Clipping");
  node->mXCoeff = readFloat(p, "XCoeff");
  node->mYCoeff = readFloat(p, "YCoeff");
  node->mLocaleEnable = readBool(p, "LocaleEnable");
  node->mVAlign = int32_t(readUnsigned(p.attribute("VAlign")));
  node->mPixelPrecision = readBool(p, "PixelPrec");
  node->mHAlign = int32_t(readUnsigned(p.attribute("HAlign")));
  node->setSize(KR::Vector2<float>(readFloat(p, "TextAreaX"), readFloat(p, "TextAreaY")));
  node->mClipLT = KR::Vector2<float>(readFloat(p, "ClipRect0"), readFloat(p, "ClipRect1"));
  node->mClipRB = KR::Vector2<float>(readFloat(p, "ClipRect2"), readFloat(p, "ClipRect3"));
  node->mMaxChar = readInt(p, "MaxChar");
  node->mPresetName = p.attribute("Preset").value();
  node->setupStyle(node->mUsePreset);
  node->setupStyle(readBool(p, "UsePreset"));
  node->mStencil = readBool(p, "Stencil");
  node->mDistortion = readBool(p, "Distortion");
  readLoop(object, node);
  const bool shear = bool(p.attribute("shear00"));
  TextFrameData record;
  for (pugi::xml_node f : object.child("frames").children("frame")) {
    const int frame = readInt(f, "StartFrame");
    const pugi::xml_node a = f.child("Attributes");
    record.x = readFloat(a, "X");
    record.y = readFloat(a, "Y");
    record.handleX = readFloat(a, "bezierX");
    record.handleY = readFloat(a, "bezierY");
    record.handlePositionX = readFloat(a, "bezierCoeffX");
    record.handlePositionY = readFloat(a, "bezierCoeffY");
    record.positionBezier = readBool(a, "bezierPosEnabled");
    record.pivot = KR::Vector2<float>(readFloat(a, "PivotPointX"), readFloat(a, "PivotPointY"));
    record.angle = readFloat(a, "angle");
    record.angleHandle = readFloat(a, "bezierAngle");
    record.angleHandlePosition = readFloat(a, "bezierCoeffAngle");
    record.angleBezier = readBool(a, "bezierAngleEnabled");
    record.scaleX = readFloat(a, "scaleX");
    record.scaleY = readFloat(a, "scaleY");
    record.scaleHandleX = readFloat(a, "bezierScaleX");
    record.scaleHandleY = readFloat(a, "bezierScaleY");
    record.scaleHandlePositionX = readFloat(a, "bezierCoeffScaleX");
    record.scaleHandlePositionY = readFloat(a, "bezierCoeffScaleY");
    record.scaleBezier = readBool(a, "bezierScaleEnabled");
    record.z = readFloat(a, "Z");
    record.color = readColor(a);
    if (shear) record.shear = readShear(a);
    record.xcoeff = readFloat(a, "XCoeff");
    record.ycoeff = readFloat(a, "YCoeff");
    record.valign = int32_t(readUnsigned(a.attribute("VAlign")));
    record.halign = int32_t(readUnsigned(a.attribute("HAlign")));
    record.maxChar = readInt(a, "MaxChar");
    record.textArea = KR::Vector2<float>(readFloat(a, "TextAreaX"), readFloat(a, "TextAreaY"));
    record.clipLT = KR::Vector2<float>(readFloat(a, "ClipRect0"), readFloat(a, "ClipRect1"));
    record.clipRB = KR::Vector2<float>(readFloat(a, "ClipRect2"), readFloat(a, "ClipRect3"));
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
  const pugi::xml_node p = object.child("Parameters");
  KR::Color color = KR::Color::fromARGB(0xFFFFFFFFu);
  if (p.attribute("color")) {
    const uint32_t grey = uint32_t(readInt(p, "color")) & 0xFFu;
    color = KR::Color::fromARGB(grey * 0x01010101u);
  }
  node->setWorldX(readFloat(p, "X"));
  node->setWorldY(readFloat(p, "Y"));
  node->mPosZ = readFloat(p, "Z");
  node->setEnabled(readBool(p, "Enable"));
  node->mEmitCoef = readFloat(p, "emitCoef");
  node->mPivot = KR::Vector2<float>();
  node->mStencil = readBool(p, "Stencil");
  node->mParallaxEnabled = readBoolDefaultTrue(p.attribute("ParallaxEnabled"));
  node->mDistortion = readBool(p, "Distortion");
  readLoop(object, node);
  for (pugi::xml_node f : object.child("frames").children("frame")) {
    const int frame = readInt(f, "StartFrame");
    const pugi::xml_node a = f.child("Attributes");
    readFrameRecord(a, node, frame);
    ParticleKeyValues v;
    v.posX = readFloat(a, "X");
    v.posY = readFloat(a, "Y");
    v.emitCoef = readFloat(a, "emitCoef");
    v.pivot = KR::Vector2<float>(readFloat(a, "PivotPointX"), readFloat(a, "PivotPointY"));
    v.posZ = readFloat(a, "Z");
    v.play = readInt(a, "play");
    node->setKeyframeValues(frame, v);
  }
  takeColor(node, color);
  return node;
}

SoundSceneNode* createSoundNodeFromXml(const pugi::xml_node& object) {
  SoundSceneNode* node = new SoundSceneNode();
  node->mName = object.attribute("name").value();
  const pugi::xml_node p = object.child("Parameters");
  node->setSound(readUnsigned(p.attribute("SoundGroup")), object.attribute("filename").value());
  node->mVolume = readFloat(p, "Volume");
  node->mPlay = readBool(p, "Playing") ? 1 : 0;
  node->mEnabled = readBool(p, "Enable");
  readLoop(object, node);
  node->setWorldX(readFloat(p, "X"));
  node->setWorldY(readFloat(p, "Y"));
  node->mPosZ = readFloat(p, "Z");
  node->setRotation(readFloat(p, "Angle"));
  node->mPivot = KR::Vector2<float>(readFloat(p, "PivotPointX"), readFloat(p, "PivotPoint.y"));
  node->setEnabled(readBool(p, "Enable"));
  node->mFading = readBool(p, "fading");
  node->setPriority(uint32_t(readInt(p, "priority")));
  node->mParallaxEnabled = readBoolDefaultTrue(p.attribute("ParallaxEnabled"));
  for (pugi::xml_node f : object.child("frames").children("frame")) {
    const int frame = readInt(f, "StartFrame");
    const pugi::xml_node a = f.child("Attributes");
    readFrameRecord(a, node, frame);
    takeColor(node, readColor(a));
    node->setKeyframeValues(frame, readInt(a, "playSound"), readFloat(a, "Volume"));
  }
  takeColor(node, readColor(p));
  return node;
}

MovieCamera* createMovieCameraFromXml(const pugi::xml_node& object) {
  MovieCamera* node = new MovieCamera();
  node->mName = object.attribute("name").value();
  const pugi::xml_node p = object.child("Parameters");
  const pugi::xml_attribute parallax = p.attribute("ParallaxEnabled");
  const bool parallaxOn = parallax ? readBool(parallax) : readBool(p, "parallaxEnable");
  node->setWorldX(readFloat(p, "X"));
  node->setWorldY(readFloat(p, "Y"));
  node->mPosZ = readFloat(p, "Z");
  node->setRotation(readFloat(p, "angle"));
  node->mPivot = KR::Vector2<float>(readFloat(p, "PivotPointX"), readFloat(p, "PivotPoint.y"));
  node->setEnabled(readBool(p, "Enable"));
  node->mParallaxCoef = readFloat(p, "parallaxCoef");
  node->setScaleX(readFloat(p, "scaleX"));
  node->setScaleY(readFloat(p, "scaleY"));
  node->mParallaxEnabled = parallaxOn;
  readLoop(object, node);
  for (pugi::xml_node f : object.child("frames").children("frame")) {
    const int frame = readInt(f, "StartFrame");
    const pugi::xml_node a = f.child("Attributes");
    readFrameRecord(a, node, frame);
    node->setKeyframeValues(readFloat(a, "angle"), frame, KR::Vector2<float>(readFloat(a, "X"), readFloat(a, "Y")),
                            KR::Vector2<float>(readFloat(a, "scaleX"), readFloat(a, "scaleY")));
  }
  // After the frames, so that the key frames exist.
  for (pugi::xml_node attribute : object.child("Activationframes").children("Attribute"))
    node->addActivationFrame(readInt(attribute, "startFrame"));
  return node;
}

}  // namespace AE
