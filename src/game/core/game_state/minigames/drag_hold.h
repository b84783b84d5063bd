#pragma once
// What the drag puzzles share: one piece held at a time, taken on a press,
// following the pointer centred on it while the button is down, let go on a
// release, where the puzzle decides
// between a drop and the way home. A held piece stands in front of everything
// (kFrontZ) until it rests again. Plain values; main thread only.
//
//   DragHold drag;                                   // in the puzzle
//   drag.take(i);                                    // on a press on piece i
//   if (drag.holding()) corner = drag.follow(pointer, halfSize);   // while down
//   const int32_t dropped = drag.letGo();            // on the release
//
// The way home of a piece runs on a TimedGlide (pick_and_glide.h).
#include <cstdint>

#include "vector2.h"

namespace AE {
class ISceneNode;
}

namespace HOG {

class DragHold {
 public:
  // The draw-order value of a piece held or on its way.
  static constexpr float kFrontZ = -100000.0f;

  bool holding() const { return piece >= 0; }
  int32_t held() const { return piece; }
  // Takes piece `index`.
  void take(int32_t index) { piece = index; }
  // The held piece's corner for the pointer: centred on it (`halfSize` from the corner).
  static KR::Vector2<float> follow(const KR::Vector2<float>& pointer, const KR::Vector2<float>& halfSize);
  // Lets go; returns the piece that was held (-1 none).
  int32_t letGo();

  // The picture of a piece: its first child, or the node itself without one.
  static AE::ISceneNode* picture(AE::ISceneNode* node);

 private:
  int32_t piece = -1;
};

}  // namespace HOG
