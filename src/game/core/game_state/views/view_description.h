#pragma once
// The records read from the view descriptions ("views_xml"): one per view and
// one per trigger entry of its "areaTriggers" list, and the fixed-size text
// copy every reader of them uses (at most 63 characters and a terminator).
// Plain data, any thread.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "vector2.h"

namespace KR {
class XmlDataReader;
}

namespace HOG {

constexpr size_t kNameSize = 64;

// Copies at most size - 1 bytes and always terminates.
inline void copyName(char* destination, size_t size, const char* source) {
  if (!size) return;
  const size_t length = source ? strnlen(source, size - 1) : 0;
  if (length) memcpy(destination, source, length);
  destination[length] = 0;
}
template <size_t N>
void copyName(char (&destination)[N], const std::string& source) {
  copyName(destination, N, source.c_str());
}
template <size_t N>
void copyName(char (&destination)[N], const char* source) {
  copyName(destination, N, source);
}

struct TriggerDescription {
  int32_t location = 0;
  int32_t triggerID = 0;
  KR::Vector2<float> center;
  KR::Vector2<float> size;
  float angle = 0.0f;
  int32_t enabled = 1;
  int32_t dead = 0;
  int32_t flags[3] = {};
  int32_t cursorType = 0;
  std::string backlightParticleFX;
  int32_t debug = 0;
  bool useByHints = false;
  std::string sceneObjectTriggerSceneNode;
  std::string targetLocation;
  bool singleUse = false;
  std::string transitionTriggerItemSceneNode;
  int32_t transitionTriggerRelativeTrigger = -1;
  std::string itemTriggerItemName;
  std::string itemTriggerApplicableItemName;
  int32_t itemTriggerApplicableObjectID = -1;
  std::string itemTriggerAnimation;
  std::string itemTriggerItemSceneNode;
  std::string itemTriggerMessage;
  float itemTriggerDelay = 0.0f;
  int32_t itemTriggerRelativeTrigger = -1;
  bool itemTriggerEnableAnimationNodes = true;
  std::string itemTriggerWrongItemApplied[2];
  std::string itemTriggerWrongItemAppliedMessage[2];
  std::string animTriggerAnimation;
  bool animTriggerEnableAnimationNodes = true;
  bool animTriggerPlayReverse = false;
  int32_t animTriggerRelativeTrigger = -1;
  float animTriggerDelay = 0.0f;
  bool animTriggerMultipleUse = false;
  bool animTriggerUsedByHints = false;
  std::string animTriggerItemSceneNode;
  std::string HOSItemTriggerItemSceneNode;
  int32_t HOSItemTriggerPartOfGroup = -1;
  std::string HOSItemTriggerRelativeTriggersStr;

  // Back to the reset values (enabled 1, the relative triggers, the applicable
  // object and the group -1, the enable-animation flags true).
  void reset() { *this = TriggerDescription(); }
  // Reads the entry under the reader's cursor; returns its type. Sizes are
  // multiplied by triggersScale; useByHints defaults to true unless type 4.
  int32_t read(const KR::XmlDataReader& reader, float triggersScale);
};

struct ViewDescription {
  std::string name, backgroundFile, backgroundTable, sceneFile;
  int32_t id = 0;
  KR::Vector2<float> position, size;
  std::string uiFile, uiTable;
  int32_t type = 0;
  bool closeViewOnOutsideAreaClick = false;
  bool doNotUnloadResources = false;
  std::string extensionName, extensionConfigFile;

  void read(const KR::XmlDataReader& reader);
};

}  // namespace HOG
