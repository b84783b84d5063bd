#include "core/game_state/views/view_description.h"

#include "xml_data_reader.h"

namespace HOG {

namespace {

// The reader writes 0 / false / empty for a missing key; these keep that.
int32_t readInt(const KR::XmlDataReader& reader, const char* key) {
  int32_t value = 0;
  reader.readInt(key, &value);
  return value;
}
float readFloat(const KR::XmlDataReader& reader, const char* key) {
  float value = 0.0f;
  reader.readFloat(key, &value);
  return value;
}
std::string readText(const KR::XmlDataReader& reader, const char* key) {
  std::string value;
  reader.readString(key, &value);
  return value;
}
KR::Vector2<float> readVector(const KR::XmlDataReader& reader, const char* key) {
  KR::Vector2<float> value(0.0f, 0.0f);
  if (!reader.readVector2(key, &value)) value = KR::Vector2<float>(0.0f, 0.0f);
  return value;
}
// A missing bool keeps the fallback.
bool readBool(const KR::XmlDataReader& reader, const char* key, bool fallback) {
  bool value = fallback;
  if (!reader.readBool(key, &value)) value = fallback;
  return value;
}
// A missing int keeps the fallback (the relative triggers and the group).
int32_t readIntOr(const KR::XmlDataReader& reader, const char* key, int32_t fallback) {
  int32_t value = fallback;
  if (!reader.readInt(key, &value)) value = fallback;
  return value;
}

}  // namespace

int32_t TriggerDescription::read(const KR::XmlDataReader& reader, float triggersScale) {
  const int32_t type = readInt(reader, "type");
  triggerID = readInt(reader, "triggerID");
  center = readVector(reader, "center");
  size = readVector(reader, "size");
  size.x *= triggersScale;
  size.y *= triggersScale;
  angle = readFloat(reader, "angle");
  // The data files carry "enabled" and "itemTriggerApplicableObjectID"; a
  // missing one reads as 0, as the reader gives it.
  enabled = readInt(reader, "enabled");
  cursorType = readInt(reader, "cursorType");
  dead = readInt(reader, "dead");
  backlightParticleFX = readText(reader, "backlightParticleFX");
  debug = readInt(reader, "debug");
  useByHints = readBool(reader, "useByHints", type != 4);
  sceneObjectTriggerSceneNode = readText(reader, "sceneObjectTriggerSceneNode");
  targetLocation = readText(reader, "targetLocation");
  singleUse = readBool(reader, "singleUse", false);
  transitionTriggerItemSceneNode = readText(reader, "transitionTriggerItemSceneNode");
  transitionTriggerRelativeTrigger = readIntOr(reader, "transitionTriggerRelativeTrigger", -1);
  itemTriggerItemName = readText(reader, "itemTriggerItemName");
  itemTriggerApplicableItemName = readText(reader, "itemTriggerApplicableItemName");
  itemTriggerApplicableObjectID = readInt(reader, "itemTriggerApplicableObjectID");
  itemTriggerAnimation = readText(reader, "itemTriggerAnimation");
  itemTriggerItemSceneNode = readText(reader, "itemTriggerItemSceneNode");
  itemTriggerMessage = readText(reader, "itemTriggerMessage");
  itemTriggerDelay = readFloat(reader, "itemTriggerDelay");
  itemTriggerWrongItemApplied[0] = readText(reader, "itemTriggerWrongItemApplied0");
  itemTriggerWrongItemApplied[1] = readText(reader, "itemTriggerWrongItemApplied1");
  itemTriggerWrongItemAppliedMessage[0] = readText(reader, "itemTriggerWrongItemAppliedMessage0");
  itemTriggerWrongItemAppliedMessage[1] = readText(reader, "itemTriggerWrongItemAppliedMessage1");
  itemTriggerRelativeTrigger = readIntOr(reader, "itemTriggerRelativeTrigger", -1);
  itemTriggerEnableAnimationNodes = readBool(reader, "itemTriggerEnableAnimationNodes", true);
  animTriggerAnimation = readText(reader, "animTriggerAnimation");
  animTriggerEnableAnimationNodes = readBool(reader, "animTriggerEnableAnimationNodes", true);
  animTriggerPlayReverse = readBool(reader, "animTriggerPlayReverse", false);
  animTriggerRelativeTrigger = readInt(reader, "animTriggerRelativeTrigger");
  animTriggerDelay = readFloat(reader, "animTriggerDelay");
  animTriggerMultipleUse = readBool(reader, "animTriggerMultipleUse", false);
  animTriggerUsedByHints = readBool(reader, "animTriggerUsedByHints", false);
  animTriggerItemSceneNode = readText(reader, "animTriggerItemSceneNode");
  HOSItemTriggerItemSceneNode = readText(reader, "HOSItemTriggerItemSceneNode");
  HOSItemTriggerPartOfGroup = readIntOr(reader, "HOSItemTriggerPartOfGroup", -1);
  HOSItemTriggerRelativeTriggersStr = readText(reader, "HOSItemTriggerRelativeTriggersStr");
  for (int i = 0; i < 3; ++i) flags[i] = readInt(reader, i == 0 ? "flag0" : i == 1 ? "flag1" : "flag2");
  return type;
}

void ViewDescription::read(const KR::XmlDataReader& reader) {
  name = readText(reader, "name");
  backgroundFile = readText(reader, "backgroundFile");
  backgroundTable = readText(reader, "backgroundTable");
  id = readInt(reader, "id");
  position = readVector(reader, "position");
  size = readVector(reader, "size");
  uiFile = readText(reader, "uiFile");
  uiTable = readText(reader, "uiTable");
  sceneFile = readText(reader, "sceneFile");
  extensionName = readText(reader, "extensionName");
  extensionConfigFile = readText(reader, "extensionConfigFile");
  closeViewOnOutsideAreaClick = readBool(reader, "CloseViewOnOutsideAreaClick", false);
  doNotUnloadResources = readBool(reader, "doNotUnloadResources", false);
  type = readInt(reader, "type");
}

}  // namespace HOG
