#include "sprite_manager.h"

#include <algorithm>
#include <memory>

#include "scoped_lock.h"

namespace KR {

template <typename T>
SpriteManager<T>::SpriteManager() {
  this->setInstance(this);
  mLockInitialised = initRecursiveMutex(&mLock) == 0;
}

template <typename T>
SpriteManager<T>::~SpriteManager() {
  {
    ScopedLock guard(ScopedLock::lock(mLockInitialised ? &mLock : nullptr));
    for (T* object : mObjects) delete object;
    mObjects.clear();
  }
  if (mLockInitialised) pthread_mutex_destroy(&mLock);
  mLockInitialised = false;
}

template <typename T>
T* SpriteManager<T>::adopt(T* object) {
  mObjects.push_back(object);
  return object;
}

template <typename T>
T* SpriteManager<T>::createSprite(const std::string& script, const std::string& table, const std::string& package) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  std::unique_ptr<T> object(new T());
  object->loadFromScript(script, table, package);
  return adopt(object.release());
}

template <typename T>
void SpriteManager<T>::destroySprite(T* object) {
  if (!object) return;
  ScopedLock guard(ScopedLock::lock(&mLock));
  auto found = std::find(mObjects.begin(), mObjects.end(), object);
  if (found == mObjects.end()) return;
  mObjects.erase(found);
  delete object;
}

template <typename T>
size_t SpriteManager<T>::getCount() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  return mObjects.size();
}

template <typename T>
bool SpriteManager<T>::contains(const T* object) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  return std::find(mObjects.begin(), mObjects.end(), object) != mObjects.end();
}

template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTextureObject(Texture* texture) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  std::unique_ptr<Sprite> sprite(new Sprite());
  sprite->setTexture(texture);
  return adopt(sprite.release());
}

template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTexture(const std::string& image, const std::string& package) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  std::unique_ptr<Sprite> sprite(new Sprite());
  sprite->loadTexture(image, package);
  return adopt(sprite.release());
}

template <>
Sprite* SpriteManager<Sprite>::loadSprite(const std::string& script, const std::string& table,
                                          const std::string& package) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  std::unique_ptr<Sprite> sprite(new Sprite());
  if (loadSpriteFromScript(script, package, sprite.get(), table) != 0) return nullptr;
  return adopt(sprite.release());
}

template <>
Sprite* SpriteManager<Sprite>::createSpriteCopy(const Sprite* other) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  std::unique_ptr<Sprite> sprite(new Sprite());
  if (other) sprite->copyConstruct(*other);
  return adopt(sprite.release());
}

template <>
FastSprite* SpriteManager<FastSprite>::createSpriteCopy(const FastSprite* other) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  std::unique_ptr<FastSprite> sprite(new FastSprite());
  if (other) sprite->copyConstruct(*other);
  return adopt(sprite.release());
}

template <>
FastSprite* SpriteManager<FastSprite>::createSpriteFromImage(const std::string& image, const std::string& package) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  std::unique_ptr<FastSprite> sprite(new FastSprite());
  sprite->loadTexture(image, package);
  return adopt(sprite.release());
}

template class SpriteManager<Sprite>;
template class SpriteManager<FastSprite>;

}  // namespace KR
