#pragma once
// Owns every texture. A picture is loaded once per (package, name) and shared;
// pictures may be asked for on any thread, where they are decoded at once, but
// device textures are made, filled and destroyed only on the main thread, by
// the pass the render system runs at the start of each frame
// (createPendingTextures).
//
// Locks: index, then pending or discard (never pending and discard together).
//
// Typical use:
//   Texture* t = TextureManager::getInstance()->loadTexture("logo", "default");
//   TextureManager::getInstance()->addReference(t);   // attach
//   ...
//   TextureManager::getInstance()->releaseTexture(t); // detach
#include <pthread.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "singleton.h"
#include "texture_dx8.h"

namespace KR {

class TextureManager : public Singleton<TextureManager> {
 public:
  using NameMap = std::map<std::string, Texture*>;
  using PackageMap = std::map<std::string, NameMap>;

  TextureManager();
  // Prints "total textures %li \n" for each package to stdout and destroys
  // every texture (main thread).
  ~TextureManager() override;

  // The texture registered under (package, name), else a new one decoded from
  // the file on this thread, registered and put on the pending list. Two
  // threads asking for the same new name get the same texture. The reference
  // count is not changed.
  Texture* loadTexture(const std::string& name, const std::string& package);
  // The same, with one reference taken for the caller in the same step as the
  // lookup, under the index lock: a picture found here can no longer lose its
  // last reference to another thread (and be destroyed by the frame's pass)
  // before the caller attaches it. The caller gives the reference back with
  // releaseTexture once its own users hold theirs.
  Texture* acquireTexture(const std::string& name, const std::string& package);
  // The same with an image the caller decoded. When (package, name) is
  // already registered, the existing texture is returned and the image stays
  // the caller's; otherwise the new texture owns it.
  Texture* createTextureFromImage(Image* image, const std::string& name, const std::string& package);
  // Raises the reference count of an attached texture (under the index lock).
  void addReference(Texture* texture);
  // Lowers the reference count; below 1 the texture leaves the index and the
  // pending list and waits on the discard list for the next frame's pass.
  // A texture no longer in the index is left alone.
  void releaseTexture(Texture* texture);
  // The same whatever the reference count (render targets).
  void destroyTexture(Texture* texture);
  // A render target ("rendertexture%i" in "default"), made at once (main
  // thread). A size of 0 takes the design resolution clipped to the viewport.
  Texture* createRenderTexture(uint32_t width, uint32_t height);
  // A managed texture without pixels ("emptytexture%i" in "default"), made by
  // the next frame's pass and filled with Texture::update (video frames).
  Texture* createEmptyTexture(uint32_t width, uint32_t height, TextureFormat format);

  // The frame's pass (main thread): destroys the discarded textures, then
  // makes the device textures of the pending list in order. A texture whose
  // device texture cannot be made leaves the list with a log line and stays
  // without a device texture.
  void createPendingTextures();
  // Main thread: destroys and deletes what the discard list holds.
  void destroyDiscardedTextures();
  // Main thread, around a device reset: render targets give up their device
  // textures before it and are remade after it. Managed textures are kept.
  void releaseDeviceTextures();
  void recreateDeviceTextures();

  // The index lookup under the index lock; null when absent.
  Texture* findTexture(const std::string& name, const std::string& package);

  // Counts for diagnostics and tests.
  size_t getTextureCount();
  size_t getPendingCount();
  size_t getDiscardCount();

 private:
  // Index lock held. Registers and queues the texture for the pending pass.
  void registerPending(Texture* texture, const std::string& name, const std::string& package);
  void discard(Texture* texture, bool whateverTheCount);
  Texture* findLocked(const std::string& name, const std::string& package);
  Texture* lookUpOrLoad(const std::string& name, const std::string& package, bool takeReference);

  PackageMap index;
  std::vector<Texture*> pending;
  std::vector<Texture*> discarded;
  pthread_mutex_t pendingLock;
  pthread_mutex_t indexLock;
  pthread_mutex_t discardLock;

  static int renderTextureCounter;
  static int emptyTextureCounter;
};

}  // namespace KR
