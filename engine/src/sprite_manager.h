#pragma once
// The two owners of every picture: SpriteManager<Sprite> and
// SpriteManager<FastSprite>. Every creation makes a new object, fills it and
// appends it to the manager's list; users keep the pointer until they give it
// back with destroySprite, and the manager deletes whatever is left when it is
// destroyed. Sharing happens one level down: textures are shared by the
// texture manager and referenced once by each render item holding them.
//
// Creation and destruction may come from the main thread and from loading
// threads; each operation holds the manager's recursive lock throughout, also
// while textures are loaded (lock order: sprite manager, then texture manager).
//
//   KR::Sprite* s = KR::SpriteManager<KR::Sprite>::getInstance()->createSprite("hud", "button", "default");
//   ...
//   KR::SpriteManager<KR::Sprite>::getInstance()->destroySprite(s);
#include <pthread.h>

#include <string>
#include <vector>

#include "fast_sprite.h"
#include "singleton.h"
#include "sprite.h"

namespace KR {

class Texture;

template <typename T>
class SpriteManager : public Singleton<SpriteManager<T>> {
 public:
  SpriteManager();
  ~SpriteManager() override;

  // ---- SpriteManager<Sprite> ----
  // A sprite showing the texture; without one an untextured 32 x 32 sprite.
  T* createSpriteFromTextureObject(Texture* texture);
  // A missing texture is fatal ("Failed to load texture").
  T* createSpriteFromTexture(const std::string& image, const std::string& package);
  // Null (after the log line "ERROR: Failed to load sprite %s %s") when the
  // script or table cannot be opened; nothing is kept then.
  T* loadSprite(const std::string& script, const std::string& table, const std::string& package);
  T* createSpriteCopy(const T* other);

  // ---- SpriteManager<FastSprite> ----
  // A missing texture is fatal ("Failed to load texture").
  T* createSpriteFromImage(const std::string& image, const std::string& package);

  // ---- both ----
  // From a Lua description; a missing script, table or texture is fatal.
  T* createSprite(const std::string& script, const std::string& table, const std::string& package);
  // Deletes an object this manager made; other pointers (and null) are ignored.
  void destroySprite(T* object);

  size_t getCount();
  bool contains(const T* object);

 private:
  // Appends a filled object (lock held).
  T* adopt(T* object);

  std::vector<T*> mObjects;
  pthread_mutex_t mLock;
  bool mLockInitialised = false;
};

// Operations that exist for one kind of picture only.
template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTextureObject(Texture* texture);
template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTexture(const std::string& image, const std::string& package);
template <>
Sprite* SpriteManager<Sprite>::loadSprite(const std::string& script, const std::string& table,
                                          const std::string& package);
template <>
Sprite* SpriteManager<Sprite>::createSpriteCopy(const Sprite* other);
template <>
FastSprite* SpriteManager<FastSprite>::createSpriteCopy(const FastSprite* other);
template <>
FastSprite* SpriteManager<FastSprite>::createSpriteFromImage(const std::string& image, const std::string& package);

extern template class SpriteManager<Sprite>;
extern template class SpriteManager<FastSprite>;

}  // namespace KR
