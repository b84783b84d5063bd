#pragma once
// The OpenAL device and context, and the listener at the origin.
namespace KR {

class SoundDevice {
 public:
  SoundDevice() = default;
  ~SoundDevice() { close(); }
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Opens the default device and makes a context current: 0 on success, 1 on
  // failure (logged; nothing is left open).
  int open();
  void close();
  bool isOpen() const { return context != nullptr; }

 private:
  void* device = nullptr;   // ALCdevice
  void* context = nullptr;  // ALCcontext
};

}  // namespace KR
