#pragma once
// Per-frame records: the values of one keyframe of one node, carried from a
// scene file (or from a node) into a node's keys at that frame. The base
// record holds what every node keys; text nodes add their box, clip corners,
// scale factors, alignments and character limit.
#include <cstdint>

#include "color.h"
#include "matrix3.h"
#include "vector2.h"

namespace AE {

class ISceneNode;

class IFrameData {
 public:
  IFrameData() = default;
  virtual ~IFrameData() = default;
  // Fills the record from the node's keys at that key frame (its current
  // values when the frame is no key). With toWorld, rotation and scale are
  // taken relative to the world through the parent's transform.
  virtual void readFromNode(const ISceneNode& node, int frame, bool toWorld);
  // Bytes of the record's data.
  virtual uint32_t getSerializedSize() const { return 115; }
  // The node type whose record this is (plain records serve every kind but text).
  virtual int getRecordType() const { return 0; }

  float x = 0.0f, y = 0.0f;
  float handleX = 0.0f, handleY = 0.0f;
  float handlePositionX = 0.0f, handlePositionY = 0.0f;
  bool positionBezier = false;
  KR::Vector2<float> pivot;
  float angle = 0.0f, angleHandle = 0.0f, angleHandlePosition = 0.0f;
  bool angleBezier = false;
  float scaleX = 0.0f, scaleY = 0.0f;
  float scaleHandleX = 0.0f, scaleHandleY = 0.0f;
  float scaleHandlePositionX = 0.0f, scaleHandlePositionY = 0.0f;
  bool scaleBezier = false;
  float z = 0.0f;
  KR::Color color;
  KR::Matrix3 shear;
};

class TextFrameData : public IFrameData {
 public:
  void readFromNode(const ISceneNode& node, int frame, bool toWorld) override;
  uint32_t getSerializedSize() const override { return 115 + 44; }
  int getRecordType() const override { return 4; }

  KR::Vector2<float> textArea;
  KR::Vector2<float> clipLT;
  KR::Vector2<float> clipRB;
  float xcoeff = 0.0f, ycoeff = 0.0f;
  int32_t halign = 0, valign = 0, maxChar = 0;
};

// A particle node's keyframe: the base values, its emission factor and play value.
class ParticleFrameData : public IFrameData {
 public:
  uint32_t getSerializedSize() const override { return 115 + 8; }
  int getRecordType() const override { return 2; }

  float emitCoef = 0.0f;
  int32_t play = 0;
};

}  // namespace AE
