#pragma once
// A background thread that keeps loaded exactly the views the player can
// reach soon: the active view, its neighbours and theirs up to a depth, and
// the views marked doNotUnloadResources; at most one load per pass. It also
// loads the icons of held inventory items and runs one-shot requests (the
// music player's loads) on its thread.
//
// Every visible view (the top one and the close-up chain beneath it) stays
// marked whatever the budget, so no main-thread step meets a view it released.
//
// Threads and locks: queueLock is held for a whole pass; while it is held the
// pass takes the play state's view-stack lock (briefly, to read the visible
// views), then a view's lock to load or release it, and requestLock around the
// request list. paused and stopRequested are atomics; the destructor stops and
// joins the thread. The main thread's update releases unheld icons.
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "core/game_state/game_components.h"
#include "thread.h"

namespace KR {
class XmlDataReader;
}

namespace HOG {

class View;
class ViewRegistry;
class ViewStack;
class InventoryItemFactory;

// A one-shot job run on the streamer's thread at its next pass: load, then
// complete, each with the same data.
struct StreamerRequest {
  void (*load)(void*) = nullptr;
  void (*complete)(void*) = nullptr;
  void* data = nullptr;
};

class ViewStreamer : public IGameComponent {
 public:
  static constexpr uint32_t kQueueSize = 256;

  ViewStreamer(ViewRegistry& registry, ViewStack* stack, InventoryItemFactory* items, pthread_mutex_t* viewStackLock);
  ~ViewStreamer() override;

  void loadConfig();
  // The "config" element of "view_streamer_config_xml" entered: the two
  // limits, each clamped to 0..kMaxLimit with a warning when it lies outside.
  void readConfig(KR::XmlDataReader& reader);
  // More marking steps or depth than there can be views is a mistake in the file.
  static constexpr int32_t kMaxLimit = 256;
  void startThread();
  // Asks the thread to end and joins it.
  void stopThread();

  // IGameComponent: play starts and stops; update releases unheld icons.
  void start() override { paused = false; }
  void stop() override { paused = true; }
  void update(float dt) override;

  int32_t addRequest(const StreamerRequest& request);
  // 0 removed, 1 no such request.
  int32_t removeListener(int32_t id);

  // One pass, as the thread runs it (tests drive it directly).
  void runPass();
  void markViews(View* view, uint32_t depth);
  void putViewToLoadingQueue(View* view, uint32_t depth);

  std::atomic<bool> paused{true};
  std::atomic<bool> stopRequested{false};
  uint32_t maxLoadedViewCount = 16;
  uint32_t maxStreamingDepth = 3;
  uint32_t markedCount = 0;
  std::atomic<uint32_t> waitingCount{0};
  uint32_t queueCount = 0;
  struct Entry {
    View* view;
    uint32_t depth;
  } queue[kQueueSize] = {};
  bool isThreadStarted() const { return threadStarted; }
  pthread_mutex_t* getQueueLock() { return &queueLock; }

 private:
  static void threadLoop(void* self);
  void runRequests();
  void collectQueue();
  void loadAndUnload();

  ViewRegistry& registry;
  ViewStack* stack;
  InventoryItemFactory* items;
  pthread_mutex_t* viewStackLock;
  KR::Thread thread;
  bool threadStarted = false;
  pthread_mutex_t queueLock;
  pthread_mutex_t requestLock;
  struct Request {
    int32_t id;
    StreamerRequest job;
  };
  std::vector<Request> requests;
  int32_t nextRequestId = 0;
};

}  // namespace HOG
