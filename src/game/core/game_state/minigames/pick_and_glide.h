#pragma once
// What the swap puzzles share: the two-pick selection (a first pick, a second
// pick that starts the exchange, a drop that clears both) and the glides that
// carry a piece to its new place, either at a speed (glideStep, called every
// frame with the step the puzzle allows) or over a fixed time on a
// KR::Animation (TimedGlide). Plain values; main thread only.
//
//   TwoPicks picks;                       // in the puzzle
//   switch (picks.take(i)) {              // on a click on piece i
//     case TwoPicks::First: show it picked; break;
//     case TwoPicks::Second: start both glides; break;
//     case TwoPicks::Ignored: break;      // both taken, or i is the first again
//   }
//   picks.drop();                         // a click on nothing
//
//   // At a speed, every frame (true on arrival, the point lands exactly):
//   if (glideStep(&position, target, speed * dt)) arrived();
//
//   // Over a time: the glide writes `position` (the puzzle owns it, and it must
//   // not move in memory while the glide lives, so keep pieces in a list that
//   // is not resized after loading).
//   glide.make(&position, 0.5f);          // at activation; glide.drop() frees it
//   glide.start(position, target);        // on the second pick
//   if (glide.advance(dt)) arrived();     // every frame
#include <cstdint>
#include <memory>

#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class Animation;
}

namespace HOG {

struct TwoPicks {
  enum Result { Ignored = 0, First = 1, Second = 2 };

  int32_t first = -1;
  int32_t second = -1;

  bool none() const { return first < 0; }
  // Both picks are set: an exchange is under way.
  bool full() const { return first >= 0 && second >= 0; }
  bool holds(int32_t i) const { return i >= 0 && (first == i || second == i); }
  // Takes i as the first pick, else as the second; with `sameAgain` a second
  // pick of the first piece is taken too (an exchange with itself).
  Result take(int32_t i, bool sameAgain = false);
  void drop() { first = second = -1; }
  // Clears the slot that names i (a piece that arrived).
  void release(int32_t i);
};

// Moves *position toward target by `step` (no further than the target); lands
// exactly on the target and returns true when the step reaches it.
bool glideStep(KR::Vector2<float>* position, const KR::Vector2<float>& target, float step);
float distance(const KR::Vector2<float>& a, const KR::Vector2<float>& b);

// World position of a node (its origin); (0, 0) for null.
KR::Vector2<float> worldPosition(const AE::ISceneNode* node);
// Shows frame `frame` on the node and its children without playing, and puts
// the node back where it stood: a node whose keys carry its position would
// otherwise jump to its authored place.
void showFrameInPlace(AE::ISceneNode* node, int32_t frame);

// A move over a fixed time: a KR::Animation with one Vector2 track "pos" bound
// to the puzzle's position, key 0 (the start, lasting `seconds`) and key 1
// (the target, lasting 0). Stopped until started.
class TimedGlide {
 public:
  TimedGlide();
  ~TimedGlide();
  TimedGlide(TimedGlide&&) noexcept;
  TimedGlide& operator=(TimedGlide&&) noexcept;

  // Makes the animation (again), bound to *position; a time of 0 or less
  // makes every start land at once.
  void make(KR::Vector2<float>* position, float seconds);
  // Deletes the animation; a glide under way is dropped where it stands.
  void drop();
  bool exists() const { return animation != nullptr; }

  // Restarts the glide from `from` to `to`.
  void start(const KR::Vector2<float>& from, const KR::Vector2<float>& to);
  bool running() const;
  // Advances a running glide by dt; true on the frame it reaches its end
  // (the animation is then stopped with its time back at 0).
  bool advance(float dt);
  // Stops a glide under way where it stands.
  void stop();
  KR::Animation* get() const { return animation.get(); }

 private:
  std::unique_ptr<KR::Animation> animation;
  KR::Vector2<float>* target = nullptr;
};

}  // namespace HOG
