#include "texture_manager.h"

#include <algorithm>
#include <cstdio>

#include "format_string.h"
#include "log_system.h"
#include "scoped_lock.h"

namespace KR {

int TextureManager::renderTextureCounter = 0;
int TextureManager::emptyTextureCounter = 0;

namespace {

void initRecursive(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

}  // namespace

TextureManager::TextureManager() {
  setInstance(this);
  pending.reserve(256);
  discarded.reserve(256);
  initRecursive(&pendingLock);
  initRecursive(&indexLock);
  initRecursive(&discardLock);
}

TextureManager::~TextureManager() {
  {
    // Every path takes the index, then the pending list, then the discard list.
    ScopedLock indexGuard(ScopedLock::lock(&indexLock));
    ScopedLock pendingGuard(ScopedLock::lock(&pendingLock));
    for (auto& package : index) {
      std::printf("total textures %li \n", static_cast<long>(package.second.size()));
      for (auto& entry : package.second) {
        entry.second->destroy();
        delete entry.second;
      }
    }
    index.clear();
    pending.clear();
    destroyDiscardedTextures();
  }
  pthread_mutex_destroy(&discardLock);
  pthread_mutex_destroy(&indexLock);
  pthread_mutex_destroy(&pendingLock);
}

Texture* TextureManager::findLocked(const std::string& name, const std::string& package) {
  auto names = index.find(package);
  if (names == index.end()) return nullptr;
  auto found = names->second.find(name);
  return found == names->second.end() ? nullptr : found->second;
}

Texture* TextureManager::findTexture(const std::string& name, const std::string& package) {
  ScopedLock guard(ScopedLock::lock(&indexLock));
  return findLocked(name, package);
}

void TextureManager::registerPending(Texture* texture, const std::string& name, const std::string& package) {
  index[package][name] = texture;
  ScopedLock guard(ScopedLock::lock(&pendingLock));
  pending.push_back(texture);
}

Texture* TextureManager::loadTexture(const std::string& name, const std::string& package) {
  return lookUpOrLoad(name, package, false);
}

Texture* TextureManager::acquireTexture(const std::string& name, const std::string& package) {
  return lookUpOrLoad(name, package, true);
}

Texture* TextureManager::lookUpOrLoad(const std::string& name, const std::string& package, bool takeReference) {
  {
    ScopedLock guard(ScopedLock::lock(&indexLock));
    if (Texture* found = findLocked(name, package)) {
      if (takeReference) ++found->referenceCount;
      return found;
    }
  }
  // Decoding takes time and runs without any of the manager's locks.
  Texture* texture = new Texture(name, package);
  ScopedLock guard(ScopedLock::lock(&indexLock));
  // Another thread may have registered the same picture meanwhile: keep the
  // first, so every user shares one texture.
  if (Texture* found = findLocked(name, package)) {
    delete texture;
    texture = found;
  } else {
    registerPending(texture, name, package);
  }
  if (takeReference) ++texture->referenceCount;
  return texture;
}

Texture* TextureManager::createTextureFromImage(Image* image, const std::string& name, const std::string& package) {
  ScopedLock guard(ScopedLock::lock(&indexLock));
  if (Texture* found = findLocked(name, package)) return found;
  Texture* texture = new Texture(image);
  registerPending(texture, name, package);
  return texture;
}

void TextureManager::addReference(Texture* texture) {
  if (!texture) return;
  ScopedLock guard(ScopedLock::lock(&indexLock));
  ++texture->referenceCount;
}

void TextureManager::discard(Texture* texture, bool whateverTheCount) {
  if (!texture) return;
  ScopedLock guard(ScopedLock::lock(&indexLock));
  for (auto& package : index) {
    for (auto entry = package.second.begin(); entry != package.second.end(); ++entry) {
      if (entry->second != texture) continue;
      --texture->referenceCount;
      if (whateverTheCount || texture->referenceCount < 1) {
        {
          ScopedLock pendingGuard(ScopedLock::lock(&pendingLock));
          pending.erase(std::remove(pending.begin(), pending.end(), texture), pending.end());
        }
        {
          ScopedLock discardGuard(ScopedLock::lock(&discardLock));
          texture->dropImage();
          discarded.push_back(texture);
        }
        package.second.erase(entry);
      }
      return;
    }
  }
}

void TextureManager::releaseTexture(Texture* texture) { discard(texture, false); }

void TextureManager::destroyTexture(Texture* texture) { discard(texture, true); }

Texture* TextureManager::createRenderTexture(uint32_t width, uint32_t height) {
  ScopedLock guard(ScopedLock::lock(&indexLock));
  const std::string name = formatString("rendertexture%i", renderTextureCounter++);
  log("Creating render texture... (%s)", name.c_str());
  Texture* texture = new Texture(width, height, TU_RENDER_TEXTURE, TF_BACK_BUFFER);
  texture->reset();
  registerPending(texture, name, "default");
  return texture;
}

Texture* TextureManager::createEmptyTexture(uint32_t width, uint32_t height, TextureFormat format) {
  ScopedLock guard(ScopedLock::lock(&indexLock));
  const std::string name = formatString("emptytexture%i", emptyTextureCounter++);
  Texture* texture = new Texture(width, height, TU_DEFAULT, format);
  registerPending(texture, name, "default");
  log("Creating empty texture... (%s)", name.c_str());
  return texture;
}

void TextureManager::createPendingTextures() {
  destroyDiscardedTextures();
  for (;;) {
    // One texture a step; loading threads may append between two steps.
    ScopedLock guard(ScopedLock::lock(&pendingLock));
    if (pending.empty()) break;
    Texture* texture = pending.front();
    if (!texture->isProcessed() && !texture->create()) {
      // Trying again every frame would not help: the texture stays without a
      // device texture and its pixels are given back.
      log("ERROR: Failed to create texture %ux%u, it stays empty", texture->width, texture->height);
      texture->dropImage();
    }
    pending.erase(pending.begin());
  }
}

void TextureManager::destroyDiscardedTextures() {
  ScopedLock guard(ScopedLock::lock(&discardLock));
  for (Texture* texture : discarded) {
    texture->destroy();
    delete texture;
  }
  discarded.clear();
}

void TextureManager::releaseDeviceTextures() {
  ScopedLock guard(ScopedLock::lock(&indexLock));
  for (auto& package : index)
    for (auto& entry : package.second) {
      Texture* texture = entry.second;
      if (texture->mTextureUsage == TU_DEFAULT) continue;
      texture->destroy();
    }
}

void TextureManager::recreateDeviceTextures() {
  ScopedLock guard(ScopedLock::lock(&indexLock));
  for (auto& package : index)
    for (auto& entry : package.second)
      if (entry.second->mTextureUsage != TU_DEFAULT) entry.second->reset();
}

size_t TextureManager::getTextureCount() {
  ScopedLock guard(ScopedLock::lock(&indexLock));
  size_t count = 0;
  for (auto& package : index) count += package.second.size();
  return count;
}

size_t TextureManager::getPendingCount() {
  ScopedLock guard(ScopedLock::lock(&pendingLock));
  return pending.size();
}

size_t TextureManager::getDiscardCount() {
  ScopedLock guard(ScopedLock::lock(&discardLock));
  return discarded.size();
}

}  // namespace KR
