#pragma once
// A scene node's clock and its keyframe tracks. Keys lie on whole frame
// indices at 24 frames a second; every track of one animation has one key per
// entry of the animation's sorted list of key frames, so a key index means the
// same frame in every track. Evaluating at a clock finds the key at or before
// it, the next key and one blend coefficient, optionally reshaped by a nested
// easing animation whose one float track "mLerpCoeff" drives it, and every
// track writes its value straight into the node fields bound to it.
//
//   AE::SceneNodeAnimation anim(true);
//   anim.bindFloat("posX", &x);
//   anim.addKeyframe(0);
//   anim.addKeyframe(24);
//   anim.getKeyframe<float>("posX", 1).value = 100.0f;
//   anim.update(0.5f);   // x == 50
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "vector2.h"

namespace KR {
class LuaScript;
}

namespace AE {

class ISceneNodeStream;

// The value types of tracks, told apart by code.
enum class TrackType { Float, Vector2, Color, Int, Bool };

// Told after each evaluation of the track it watches.
class ITrackObserver {
 public:
  virtual ~ITrackObserver() = default;
  virtual void onTrackEvaluated() = 0;
};

// One key: the value at a frame and the Bezier handle that leaves or enters it.
// For bool tracks the handle is the curve weight (0 or 1).
template <typename T>
struct TrackKey {
  T value{};
  T handle{};
  float handlePosition = 0.5f;
  uint32_t frame = 0;
  bool bezier = false;
};

class SceneNodeAnimation {
 public:
  class IContainer {
   public:
    explicit IContainer(const std::string& trackName) : name(trackName) {}
    virtual ~IContainer() = default;
    IContainer(const IContainer&) = default;
    IContainer& operator=(const IContainer&) = delete;

    // Reads the field named after the track from the script's current table
    // and appends a key at the frame (not sorted). A parameter missing at the
    // first load disables the track for good; missing after a successful load
    // is fatal.
    virtual void loadKey(KR::LuaScript& script, uint32_t frame) = 0;
    // The value between key a and key b at t (0..1), written to every target.
    virtual void getValue(uint32_t a, uint32_t b, float t) = 0;
    // A key at the frame with the last stored key's value (zero without keys).
    virtual void addKey(uint32_t frame, bool noSort) = 0;
    virtual void clear() = 0;
    // Removes the key when the index is in range; sorts in every case.
    virtual void removeKey(uint32_t index) = 0;
    // Name, flags and keys; no targets, no observers. The caller owns it.
    virtual IContainer* clone() const = 0;
    // The first key at frame `from` moves to `to`; false when there is none.
    virtual bool moveKey(uint32_t from, uint32_t to) = 0;
    virtual void sortKeys() = 0;
    // count, the key records, enabled, firstLoad.
    virtual void writeKeys(ISceneNodeStream& stream) const = 0;
    virtual void readKeys(ISceneNodeStream& stream) = 0;
    virtual TrackType getType() const = 0;
    virtual uint32_t getKeyCount() const = 0;
    // Key `to` takes key `from`'s value (both must be keys).
    virtual void copyKeyValue(uint32_t from, uint32_t to) = 0;

    std::string name;
    std::vector<ITrackObserver*> observers;
    bool nested = false;
    bool interpolate = true;
    bool enabled = true;
    bool firstLoad = true;
  };

  template <typename T>
  class Container final : public IContainer {
   public:
    explicit Container(const std::string& trackName) : IContainer(trackName) {}
    void loadKey(KR::LuaScript& script, uint32_t frame) override;
    void getValue(uint32_t a, uint32_t b, float t) override;
    void addKey(uint32_t frame, bool noSort) override;
    void clear() override { keys.clear(); }
    void removeKey(uint32_t index) override;
    IContainer* clone() const override;
    bool moveKey(uint32_t from, uint32_t to) override;
    void sortKeys() override;
    void writeKeys(ISceneNodeStream& stream) const override;
    void readKeys(ISceneNodeStream& stream) override;
    TrackType getType() const override { return staticType(); }
    uint32_t getKeyCount() const override { return static_cast<uint32_t>(keys.size()); }
    void copyKeyValue(uint32_t from, uint32_t to) override {
      if (from < keys.size() && to < keys.size()) keys[to].value = keys[from].value;
    }
    static TrackType staticType();

    // The blended value without writing it; a and b must be keys.
    T evaluate(uint32_t a, uint32_t b, float t) const;

    std::vector<T*> targets;
    std::vector<TrackKey<T>> keys;
  };

  static constexpr float kFramesPerSecond = 24.0f;

  explicit SceneNodeAnimation(bool withLerpAnimation);
  // Tracks cloned (without targets: the owner binds its fields again), the
  // key frames, flags and clock copied, the nested animation copied and bound
  // to this copy's coefficient.
  SceneNodeAnimation(const SceneNodeAnimation& other);
  SceneNodeAnimation& operator=(const SceneNodeAnimation&) = delete;
  ~SceneNodeAnimation();

  // Advances by dt when running (wrapping when looping) and evaluates.
  void update(float dt);
  // The clock, 0 for anything not above 0; nothing is evaluated.
  void setTime(float t) { mTime = t > 0.0f ? t : 0.0f; }
  float getDuration() const;
  bool isLooping() const { return !mKeyFrames.empty() && mLoop; }
  // Position in mKeyFrames of the key governing the clock; -1 before the first.
  int findCurrentKey() const;
  // Position of the frame among the key frames, or -1.
  int findKeyIndex(uint32_t frame) const;
  bool isKeyframe(uint32_t frame) const { return findKeyIndex(frame) >= 0; }
  bool addKeyframe(int frame);
  void removeKeyAt(uint32_t position);
  bool moveKeyframe(int from, int to);

  // ---- binding ----
  void bindFloat(const std::string& name, float* target);
  void bindVector2(const std::string& name, KR::Vector2<float>* target);
  void bindColor(const std::string& name, KR::Color* target);
  void bindInt(const std::string& name, int32_t* target, bool interpolate);
  void bindBool(const std::string& name, bool* target);
  void unbindFloat(const std::string& name, float* target);
  void unbindVector2(const std::string& name, KR::Vector2<float>* target);
  void unbindInt(const std::string& name, int32_t* target);

  // ---- lookups (fatal on an unknown name, another type or a bad index) ----
  IContainer* findTrack(const std::string& name) const;
  template <typename T>
  Container<T>& getTrack(const std::string& name) const;
  template <typename T>
  TrackKey<T>& getKeyframe(const std::string& name, uint32_t index) const;
  float* getFloatKeyHandle(const std::string& name, uint32_t index) const {
    return &getKeyframe<float>(name, index).handle;
  }
  float* getFloatKeyHandlePosition(const std::string& name, uint32_t index) const {
    return &getKeyframe<float>(name, index).handlePosition;
  }
  bool* getFloatKeyBezier(const std::string& name, uint32_t index) const {
    return &getKeyframe<float>(name, index).bezier;
  }
  bool* getBoolKey(const std::string& name, uint32_t index) const { return &getKeyframe<bool>(name, index).value; }
  bool* getIntInterpolationFlag(const std::string& name) const { return &getTrack<int32_t>(name).interpolate; }
  // The animation's current key position, 0 before the first key.
  uint32_t getCurrentKeyIndex() const;

  void writeBinary(ISceneNodeStream& stream) const;
  void readBinary(ISceneNodeStream& stream);

  std::vector<IContainer*> mTracks;
  std::vector<uint32_t> mKeyFrames;
  bool mLoop = false;
  bool mRunning = true;
  float mFramesPerSecond = kFramesPerSecond;
  bool mIsLerpAnimation = false;
  float mTime = 0.0f;
  uint32_t mCurrentKeyFrame = 0;
  float mDuration = 0.0f;
  float mFrameTime = 1.0f / kFramesPerSecond;
  SceneNodeAnimation* mLerpAnimation = nullptr;
  float mLerpCoeff = 1.0f;

 private:
  template <typename T>
  Container<T>* bind(const std::string& name, T* target);
  template <typename T>
  void unbind(const std::string& name, T* target);
  float getLerp(int k, bool before);
  void makeLerpAnimation();
  void sortKeyFrames();
};

// Bool tracks blend and store their keys their own way.
template <>
bool SceneNodeAnimation::Container<bool>::evaluate(uint32_t a, uint32_t b, float t) const;
template <>
void SceneNodeAnimation::Container<bool>::writeKeys(ISceneNodeStream& stream) const;
template <>
void SceneNodeAnimation::Container<bool>::readKeys(ISceneNodeStream& stream);

extern template class SceneNodeAnimation::Container<float>;
extern template class SceneNodeAnimation::Container<KR::Vector2<float>>;
extern template class SceneNodeAnimation::Container<KR::Color>;
extern template class SceneNodeAnimation::Container<int32_t>;
extern template class SceneNodeAnimation::Container<bool>;

// ---- template lookups ----
[[noreturn]] void failMissingParameter();
[[noreturn]] void failBadType();
[[noreturn]] void failBadFrameIndex();

template <typename T>
SceneNodeAnimation::Container<T>& SceneNodeAnimation::getTrack(const std::string& name) const {
  IContainer* track = findTrack(name);
  if (!track) failMissingParameter();
  if (track->getType() != Container<T>::staticType()) failBadType();
  return *static_cast<Container<T>*>(track);
}

template <typename T>
TrackKey<T>& SceneNodeAnimation::getKeyframe(const std::string& name, uint32_t index) const {
  Container<T>& track = getTrack<T>(name);
  if (index >= track.keys.size()) failBadFrameIndex();
  return track.keys[index];
}

}  // namespace AE
