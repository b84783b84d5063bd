#pragma once
// The OpenAL device and context, and the listener at the origin.
//
// Tests that check what was played mix on the mixer's own clock instead of
// real time: after useLoopback(rate) the next open makes OpenAL Soft's
// loopback device (16-bit stereo at that rate), which plays only as far as
// alcRenderSamplesSOFT on the current context's device asks. One thread at a
// time: the sound manager opens it on its own thread and uses it on the main
// thread once that thread is joined.
namespace KR {

class SoundDevice {
 public:
  SoundDevice() = default;
  ~SoundDevice() { close(); }
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Opens the default device and makes a context current with the listener at
  // full gain: 0 on success, 1 on failure (logged; nothing is left open).
  int open();
  void close();
  bool isOpen() const { return context != nullptr; }

  // A rate above 0: later opens make a loopback device mixing at that rate;
  // 0: the default device again.
  static void useLoopback(int frequency);

 private:
  void* device = nullptr;   // ALCdevice
  void* context = nullptr;  // ALCcontext
};

}  // namespace KR
