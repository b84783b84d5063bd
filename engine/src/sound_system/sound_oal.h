#pragma once
// One playing instance of a sound resource: its own OpenAL source, fed with the
// resource's spans through a queue of two.
#include <cstdint>

namespace KR {

class SoundResource;

class Sound {
 public:
  static constexpr int kQueueLength = 2;

  // Generates the source (pitch 1, at the origin, not looping) at volume 1.
  explicit Sound(SoundResource* resource);
  ~Sound() = default;
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Restarts from the first span.
  void play();
  // Streaming: gives back the spans the source has played and queues the next.
  void update();
  // Stops the source and empties its queue.
  void stop();
  bool isPlaying();
  // The instance's own volume; the source's gain also takes the group's volume,
  // the resource's volume and whether the application is active.
  void setVolume(float value);
  // Stops, marks stopped and deletes the source; the sound plays nothing after.
  void deleteSource();

  uint32_t getSource() const { return source; }
  SoundResource* getResource() const { return resource; }
  int32_t getBufferIndex() const { return bufferIndex; }
  float getVolume() const { return volume; }
  bool isStopped() const { return stopped; }
  void setStopped(bool value) { stopped = value; }
  bool isCreated() const { return created; }
  uint32_t getAge() const { return age; }
  void setAge(uint32_t value) { age = value; }
  // Spans now on the source's queue, oldest first.
  int getQueuedCount() const { return queuedCount; }
  uint32_t getQueuedSpan(int position) const { return queuedSpans[position]; }

 private:
  bool queueSpan(uint32_t index);
  void giveBackQueued(uint32_t alName);
  void giveBackAllQueued();

  uint32_t source = 0;
  SoundResource* resource = nullptr;
  int32_t bufferIndex = -1;
  float volume = 1.0f;
  bool stopped = false;
  bool created = false;
  uint32_t age = 0;
  // The spans on the queue, in queue order; each holds one use of its span.
  uint32_t queuedSpans[kQueueLength] = {};
  int queuedCount = 0;
};

}  // namespace KR
