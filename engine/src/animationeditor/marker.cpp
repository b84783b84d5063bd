#include "animationeditor/marker.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"

namespace AE {

namespace {

float frameTimeOf(const ISceneNode* node) { return node->mAnimation->mFrameTime; }

// Frames between two frame numbers from a file, which may lie the whole int
// range apart.
float framesBetween(int32_t from, int32_t to) { return float(int64_t(to) - int64_t(from)); }

bool isWithin(const ISceneNode* node, const ISceneNode* subtree) {
  for (; node; node = node->mParent) {
    if (node == subtree) return true;
  }
  return false;
}

}  // namespace

Marker::Marker(const std::string& name) : mName(name) {}

Marker::Marker(const Marker& source, ISceneNode* newRoot) : mName(source.mName) {
  for (const Entry* e : source.mEntries) {
    if (!e->node || (e->from == -1 && e->to == -1)) continue;
    addEntry(ISceneNode::findChildFrom(newRoot, e->node->mName.c_str()), e->from, e->to, e->recursive, e->looped);
  }
}

Marker::~Marker() {
  stop(true);
  for (Entry* e : mEntries) delete e;
}

void Marker::addEntry(ISceneNode* node, int from, int to, bool recursive, bool looped) {
  if (!node) return;
  for (const Entry* e : mEntries) {
    if (e->node == node) return;
  }
  Entry* e = new Entry();
  e->node = node;
  e->from = from;
  e->to = to;
  e->recursive = recursive;
  e->looped = looped;
  mEntries.push_back(e);
}

void Marker::play() {
  mClock = 0.0f;
  for (Entry* e : mEntries) {
    e->time = 0.0f;
    ISceneNode* node = e->node;
    const float frameTime = frameTimeOf(node);
    if (e->to == -1) {
      if (e->from != -1) {
        node->setTime(float(e->from) * frameTime, e->recursive);
        node->play(e->recursive);
      }
      continue;
    }
    const float remembered = node->mAnimation->mTime;
    node->stop(e->recursive);
    if (e->from != -1) {
      node->setTime(float(e->from) * frameTime, e->recursive);
      if (e->from == e->to) continue;
      node->playInDirection(e->from > e->to, e->recursive);
      e->time = std::fabs(framesBetween(e->from, e->to)) * frameTime;
    } else {
      node->setTime(remembered, e->recursive);
      const float end = float(e->to) * frameTime;
      node->playInDirection(end < remembered, e->recursive);
      e->time = std::fabs(end - remembered);
    }
  }
  mState = kPlaying;
}

void Marker::stop(bool all) {
  for (Entry* e : mEntries) {
    if (all || (e->to != -1 && !e->looped)) e->node->setPlaying(false, e->recursive);
  }
  mState = mClock == 0.0f ? kStoppedAtStart : kStopped;
}

void Marker::complete() {
  if (mClock == 0.0f) play();
  jumpToEnd();
  mState = kCompleted;
}

void Marker::jumpToEnd() {
  for (Entry* e : mEntries) {
    if (e->looped || e->to == -1) continue;
    e->node->setTime(float(e->to) * frameTimeOf(e->node), e->recursive);
    e->node->halt(e->recursive);
    e->time = -1.0f;
  }
}

void Marker::setTime(float t) {
  for (Entry* e : mEntries) e->node->setTime(t, e->recursive);
}

float Marker::getDuration() const {
  float duration = 0.0f;
  for (const Entry* e : mEntries) {
    const float frameTime = frameTimeOf(e->node);
    const float d = e->to >= 0 ? framesBetween(e->from, e->to) * frameTime : e->node->mAnimation->getDuration();
    duration = std::max(duration, d);
  }
  return duration;
}

void Marker::addListener(MarkerListener* listener) {
  if (listener && std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end())
    mListeners.push_back(listener);
}

void Marker::removeListener(MarkerListener* listener) {
  mListeners.erase(std::remove(mListeners.begin(), mListeners.end(), listener), mListeners.end());
}

void Marker::removeEntriesOf(const ISceneNode* node) {
  for (size_t i = 0; i < mEntries.size();) {
    if (isWithin(mEntries[i]->node, node)) {
      delete mEntries[i];
      mEntries.erase(mEntries.begin() + long(i));
    } else {
      ++i;
    }
  }
}

void Marker::update(float dt) {
  if (mBusy || mState == kStoppedAtStart) return;
  mBusy = true;
  mClock += dt;
  bool running = false;
  for (size_t i = 0; i < mEntries.size(); ++i) {
    Entry* e = mEntries[i];
    if (e->to == -1 || e->time < 0.0f) continue;
    if (mClock < e->time && !e->looped) running = true;
    ISceneNode* node = e->node;
    if (!node->mPlaying && mState == kStopped) {
      // A paused node does not use up its remaining time.
      e->time += dt;
      continue;
    }
    if (e->from == e->to || mClock < e->time) continue;
    const float frameTime = frameTimeOf(node);
    if (e->looped) {
      float overshoot = mClock - e->time;
      if (e->from > e->to) overshoot = -overshoot;
      node->setTime(float(e->from) * frameTime + overshoot, e->recursive);
      node->update(0.0f);
      e->time = std::fabs(framesBetween(e->from, e->to)) * frameTime + mClock;
    } else if (mState == kPlaying) {
      node->setPlaying(false, e->recursive);
      node->setTime(float(e->to) / node->mAnimation->mFramesPerSecond, e->recursive);
      e->time = -1.0f;
    }
  }
  if (mState == kPlaying && !running) {
    mState = kCompleted;
    // A listener may change the list or restart the marker from inside.
    const std::vector<MarkerListener*> listeners = mListeners;
    for (MarkerListener* listener : listeners) listener->onMarker(this);
  }
  mBusy = false;
}

}  // namespace AE
