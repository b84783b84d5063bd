#pragma once
// A marker: a named play list of a node. Playing it puts each listed node on
// its start frame and plays it towards its end frame (forwards or backwards,
// once or looping); when every entry with an end that does not loop has
// arrived, the marker completes and tells its listeners. The owning node's
// per-frame update advances it, on the marker's own clock.
//
//   AE::Marker* m = new AE::Marker("open");
//   m->addEntry(door, 0, 24, true, false);
//   root->addMarker(m);                 // the node owns it
//   m->addListener(&screen);            // screen.onMarker(m) when the door is open
//   root->getMarker("open")->play();
#include <cstdint>
#include <string>
#include <vector>

namespace AE {

class ISceneNode;
class Marker;

class MarkerListener {
 public:
  virtual ~MarkerListener() = default;
  virtual void onMarker(Marker* marker) = 0;
};

class Marker {
 public:
  enum State : int32_t { kPlaying = 0, kCompleted = 1, kStoppedAtStart = 2, kStopped = 3 };

  struct Entry {
    ISceneNode* node = nullptr;
    int32_t from = 0;
    int32_t to = 0;
    bool recursive = false;
    bool looped = false;
    float time = 0.0f;
  };

  explicit Marker(const std::string& name);
  // The copy for a cloned tree: entries rebound by node name under newRoot;
  // listeners are not copied.
  Marker(const Marker& source, ISceneNode* newRoot);
  Marker(const Marker&) = delete;
  Marker& operator=(const Marker&) = delete;
  // Stops every entry's node first.
  ~Marker();

  // One entry per node; a null node or a node already listed is ignored.
  void addEntry(ISceneNode* node, int from, int to, bool recursive, bool looped);
  void play();
  void stop(bool all);
  // Jumps the bounded entries to their ends; completes without telling listeners.
  void complete();
  void jumpToEnd();
  void setTime(float t);
  float getDuration() const;
  void addListener(MarkerListener* listener);
  void removeListener(MarkerListener* listener);
  // Drops the entries of the node and of its descendants.
  void removeEntriesOf(const ISceneNode* node);
  void update(float dt);

  std::vector<Entry*> mEntries;
  std::string mName;
  float mClock = 0.0f;
  int32_t mState = kStoppedAtStart;
  bool mBusy = false;
  std::vector<MarkerListener*> mListeners;
};

}  // namespace AE
