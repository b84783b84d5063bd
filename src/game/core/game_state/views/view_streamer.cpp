#include "core/game_state/views/view_streamer.h"

#include <algorithm>

#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "file_system.h"
#include "log_system.h"
#include "scoped_lock.h"
#include "xml_data_reader.h"

namespace HOG {

ViewStreamer::ViewStreamer(ViewRegistry& views, ViewStack* viewStack, InventoryItemFactory* itemFactory,
                           pthread_mutex_t* stackLock)
    : registry(views), stack(viewStack), items(itemFactory), viewStackLock(stackLock) {
  KR::initRecursiveMutex(&queueLock);
  KR::initRecursiveMutex(&requestLock);
  loadConfig();
}

ViewStreamer::~ViewStreamer() {
  stopThread();
  pthread_mutex_destroy(&requestLock);
  pthread_mutex_destroy(&queueLock);
}

void ViewStreamer::loadConfig() {
  // Without content (tools, tests) the defaults stand.
  if (!KR::FileSystem::exists()) return;
  KR::XmlDataReader reader;
  if (!reader.open("default", "view_streamer_config_xml") || !reader.enterChild("config")) return;
  readConfig(reader);
}

void ViewStreamer::readConfig(KR::XmlDataReader& reader) {
  // A negative limit would wrap to four billion: marking would then follow a
  // ring of neighbours until the streamer's stack ran out.
  auto limit = [&](const char* key) -> uint32_t {
    int32_t value = 0;
    if (!reader.readInt(key, &value)) return 16;
    if (value >= 0 && value <= kMaxLimit) return uint32_t(value);
    const int32_t clamped = value < 0 ? 0 : kMaxLimit;
    KR::log("WARNING: view_streamer_config_xml: %s %i lies outside 0 to %i; %i is used", key, value, kMaxLimit,
            clamped);
    return uint32_t(clamped);
  };
  maxLoadedViewCount = limit("maxLoadedViewCount");
  maxStreamingDepth = limit("maxStreamingDepth");
}

void ViewStreamer::startThread() {
  if (threadStarted) return;
  stopRequested = false;
  thread.start(&ViewStreamer::threadLoop, this);
  threadStarted = true;
}

void ViewStreamer::stopThread() {
  if (!threadStarted) return;
  stopRequested = true;
  thread.join();
  threadStarted = false;
}

void ViewStreamer::threadLoop(void* self) {
  ViewStreamer* streamer = static_cast<ViewStreamer*>(self);
  while (!streamer->stopRequested) {
    if (streamer->paused) {
      // Short naps so that a stop is seen soon.
      for (int i = 0; i < 25 && streamer->paused && !streamer->stopRequested; ++i) KR::Thread::sleep(20);
      continue;
    }
    streamer->runPass();
    if (streamer->waitingCount != 0) {
      KR::Thread::sleep(0);
    } else {
      for (int i = 0; i < 25 && !streamer->stopRequested && !streamer->paused; ++i) KR::Thread::sleep(10);
    }
  }
}

void ViewStreamer::runPass() {
  KR::ScopedLock pass(KR::ScopedLock::lock(&queueLock));
  runRequests();
  collectQueue();
  if (items) items->loadHeldSprites();
  loadAndUnload();
}

void ViewStreamer::update(float) {
  if (items) items->releaseUnheldSprites();
}

int32_t ViewStreamer::addRequest(const StreamerRequest& request) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&requestLock));
  requests.push_back(Request{nextRequestId, request});
  return nextRequestId++;
}

int32_t ViewStreamer::removeListener(int32_t id) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&requestLock));
  for (auto it = requests.begin(); it != requests.end(); ++it)
    if (it->id == id) {
      requests.erase(it);
      return 0;
    }
  return 1;
}

void ViewStreamer::runRequests() {
  std::vector<Request> running;
  {
    KR::ScopedLock guard(KR::ScopedLock::lock(&requestLock));
    running.swap(requests);
  }
  for (const Request& request : running) {
    if (request.job.load) request.job.load(request.job.data);
    if (request.job.complete) request.job.complete(request.job.data);
  }
}

void ViewStreamer::collectQueue() {
  markedCount = 0;
  queueCount = 0;
  View* visible[ViewStack::kMaxVisibleViews];
  int visibleCount = 0;
  View* active = nullptr;
  {
    KR::ScopedLock guard(KR::ScopedLock::lock(viewStackLock));
    if (stack) {
      visibleCount = stack->getVisibleViews(visible);
      active = visibleCount ? visible[visibleCount - 1] : nullptr;
    }
  }
  if (!active || !active->doNotUnloadResources)
    for (View* view : registry.getViews()) view->keepLoaded = view->doNotUnloadResources;
  markViews(active, 0);
  for (View* view : registry.getViews())
    if (view->doNotUnloadResources) putViewToLoadingQueue(view, 1);
  // Every visible view stays, whatever the budget: the main thread draws it.
  for (int i = 0; i < visibleCount; ++i) {
    visible[i]->keepLoaded = true;
    putViewToLoadingQueue(visible[i], 0);
  }
}

void ViewStreamer::markViews(View* view, uint32_t depth) {
  if (!view || markedCount >= maxLoadedViewCount) return;
  view->keepLoaded = true;
  putViewToLoadingQueue(view, depth);
  ++markedCount;
  for (uint32_t i = 0; i < view->neighbourCount && markedCount < maxLoadedViewCount; ++i) {
    View* neighbour = view->neighbours[i];
    if (neighbour->type == 1 && !neighbour->keepLoaded) {
      neighbour->keepLoaded = true;
      putViewToLoadingQueue(neighbour, depth + 1);
      ++markedCount;
    }
  }
  for (uint32_t i = 0; i < view->neighbourCount && markedCount < maxLoadedViewCount; ++i) {
    View* neighbour = view->neighbours[i];
    if (neighbour->type != 1 && !neighbour->keepLoaded) {
      neighbour->keepLoaded = true;
      putViewToLoadingQueue(neighbour, depth + 2);
      ++markedCount;
    }
  }
  if (depth + 1 < maxStreamingDepth)
    for (uint32_t i = 0; i < view->neighbourCount; ++i) markViews(view->neighbours[i], depth + 1);
}

void ViewStreamer::putViewToLoadingQueue(View* view, uint32_t depth) {
  if (queueCount >= kQueueSize - 1) {
    KR::log("ERROR: %s Loading queue overflow", "HOG::ViewStreamer::putViewToLoadingQueue");
    return;
  }
  for (uint32_t i = 0; i < queueCount; ++i)
    if (queue[i].view == view) {
      queue[i].depth = std::max(queue[i].depth, depth);
      return;
    }
  queue[queueCount++] = Entry{view, depth};
}

void ViewStreamer::loadAndUnload() {
  std::stable_sort(queue, queue + queueCount, [](const Entry& a, const Entry& b) { return a.depth < b.depth; });
  for (View* view : registry.getViews())
    if (view->loaded && !view->keepLoaded) {
      KR::log("ViewStreamer: release %s", view->name);
      view->release();
    }
  for (uint32_t i = 0; i < queueCount; ++i) {
    View* view = queue[i].view;
    if (view->keepLoaded && !view->loaded) {
      KR::log("ViewStreamer: load %s", view->name);
      view->load();
      break;
    }
  }
  uint32_t waiting = 0;
  for (View* view : registry.getViews())
    if (view->keepLoaded && !view->loaded) ++waiting;
  waitingCount = waiting;
}

}  // namespace HOG
