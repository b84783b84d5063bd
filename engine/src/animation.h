#pragma once
// A frame animation: a list of timed frames and, per named parameter, a
// keyframe track that writes its evaluated value into the variables bound to it.
//
// Typical use (an owner that embeds the animation by value):
//   anim.bindVector2Parameter("pos", &mPosition);   // bind every parameter first,
//   anim.bindFloatTarget("alpha", &mAlpha);
//   anim.loadFromScript("hint_fly.lua", "default", "");   // then add frames or load them,
//   ...
//   anim.update(dt);   // every frame: moves the time and rewrites the bound variables.
//
// A track created after frames exist has no keys for them; it writes nothing for
// frames it has no key for, so its variables keep their own values.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rect.h"
#include "vector2.h"

namespace KR {

class LuaScript;

class Animation {
 public:
  // One named parameter track; defined in keyframe_container.h.
  class IContainer;
  template <typename T>
  class Container;

  Animation();
  ~Animation();
  Animation(const Animation&) = delete;
  Animation& operator=(const Animation&) = delete;

  // Deletes every track and drops all frames.
  void clear();

  // Find the track of that name (creating an empty one with the current
  // smoothNewTracks when there is none) and add the variable to its targets.
  // Vector2 and float tracks interpolate; Rect tracks step from key to key.
  void bindVector2Parameter(const std::string& name, Vector2<float>* target);
  void bindFloatTarget(const std::string& name, float* target);
  void bindRectParameter(const std::string& name, Rect* target);

  // Append a new empty track (no lookup by name).
  Container<Vector2<float>>* addVector2Parameter(const std::string& name);
  Container<float>* addFloatParameter(const std::string& name);
  Container<Rect>* addRectParameter(const std::string& name);

  // The first track of that name, or null.
  IContainer* findTrack(const std::string& name) const;

  // The key of frame `frame` in the named track, for owners that build frames in
  // code. Fatal when the track is missing, of another value type, or too short.
  Vector2<float>* getVector2Value(const std::string& name, uint32_t frame);
  float* getFloatValue(const std::string& name, uint32_t frame);
  Rect* getRectKey(const std::string& name, uint32_t frameId);

  // Appends a frame; every track gets a copy of its last key (or the zero value).
  void addFrame(float duration);
  // Drops every frame and every track's keys; the tracks and their targets stay.
  void clearFrames();

  // Runs a Lua file in a fresh state and reads its frame description, from the
  // named global table when tableName is not empty. False when the file, the
  // table or the description is missing or malformed.
  bool loadFromScript(const std::string& fileName, const std::string& package, const std::string& tableName);
  // Reads "Animation" from the script's current table (the globals at depth 0)
  // and appends its frames. False on a missing "Animation" or "Frames" or an
  // entry that is not a table; frames read before the failure stay.
  bool readDescription(LuaScript& script);

  // Moves the time by speed x dt (see the play range markers) and writes every
  // track's value for the current frame into its targets.
  void update(float dt);

  float getTotalDuration() const { return totalDuration; }
  bool isFinished() const;
  bool isRunning() const;

  // The frame that contains the time (the last frame when none does) and its
  // start time. Requires at least one frame.
  uint32_t findFrame(float at, float* frameStart) const;

  uint32_t getFrameCount() const { return static_cast<uint32_t>(frameDurations.size()); }
  const std::vector<float>& getFrameDurations() const { return frameDurations; }
  const std::vector<float>& getFrameLoopCoeffs() const { return frameLoopCoeffs; }
  size_t getTrackCount() const { return tracks.size(); }
  IContainer* getTrack(size_t index) const { return tracks[index].get(); }

 private:
  template <typename T>
  Container<T>* bindTarget(const std::string& name, T* target, bool interpolate);
  template <typename T>
  Container<T>* findTypedTrack(const std::string& name) const;
  template <typename T>
  T* getKey(const std::string& name, uint32_t frame);

  std::vector<std::unique_ptr<IContainer>> tracks;
  std::vector<float> frameDurations;
  std::vector<float> frameLoopCoeffs;

 public:
  // Owners read and write these directly.
  float time = 0.0f;

 private:
  float totalDuration = 0.0f;

 public:
  // Without a play range: wrap at the end. With one: restart at startMarker.
  bool loop = false;
  // When false the time stands still but the tracks are still written.
  bool playing = true;
  float speed = 1.0f;
  // Copied into the smooth flag of every track a bind creates.
  bool smoothNewTracks = false;
  // Play range in seconds; a negative startMarker means none. An endMarker
  // below startMarker plays backwards.
  float startMarker = -1.0f;
  float endMarker = -1.0f;
};

}  // namespace KR
