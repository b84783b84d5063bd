#include "particle_system.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "file_system.h"
#include "log_system.h"
#include "particle_class_registry.h"
#include "particle_fx.h"
#include "scoped_lock.h"
#include "timer_manager.h"
#include "xml_iarchive.h"

namespace KR {

ParticleSystem::ParticleSystem() {
  setInstance(this);
  initRecursiveMutex(&mLock);
  registerParticleClasses(*ObjectFactory::getInstance());
}

ParticleSystem::~ParticleSystem() {
  clearEffectPool();
  clearPrototypes();
  {
    ScopedLock guard(ScopedLock::lock(&mLock));
    for (ParticleFX* effect : mActiveEffects) delete effect;
    mActiveEffects.clear();
  }
  pthread_mutex_destroy(&mLock);
}

ParticleFX* ParticleSystem::loadEffect(const std::string& fileName) {
  // Effects are optional content: a missing or malformed file gives no
  // effect, never the archive's fatal error.
  std::unique_ptr<File> file(FileSystem::getInstance()->openFile("default", fileName));
  if (!file) return nullptr;
  const int size = file->getSize();
  std::vector<char> bytes(size_t(size > 0 ? size : 0));
  size_t total = 0;
  while (total < bytes.size()) {
    const int read = file->read(bytes.data() + total, int(bytes.size() - total));
    if (read < 0) {
      log("ERROR: Particle effect '%s' cannot be read; the effect is left out", fileName.c_str());
      return nullptr;
    }
    if (read == 0) break;
    total += size_t(read);
  }
  file.reset();
  return readEffect(bytes.data(), total, fileName);
}

ParticleFX* ParticleSystem::readEffect(const char* bytes, size_t size, const std::string& fileName) {
  XmlIArchive archive;
  if (!archive.loadFromBuffer(bytes, size)) {
    log("ERROR: Particle effect '%s' is damaged: its XML does not parse; the effect is left out", fileName.c_str());
    return nullptr;
  }
  ParticleFX* effect = nullptr;
  archive.load(makeNvp("ParticleFX", effect));
  if (!effect)
    log("ERROR: Particle effect '%s' is damaged: it holds no effect; the effect is left out", fileName.c_str());
  if (effect && effect->getAllocation() > ParticleFX::kMaxAllocation) {
    log("WARNING: particle effect '%s' asks for %lld particle records and tail segments; at most %lld are allowed",
        fileName.c_str(), static_cast<long long>(effect->getAllocation()),
        static_cast<long long>(ParticleFX::kMaxAllocation));
    delete effect;
    return nullptr;
  }
  return effect;
}

ParticleFX* ParticleSystem::createEffect(const std::string& fileName) {
  {
    ScopedLock guard(ScopedLock::lock(&mLock));
    auto pooled = mEffectPool.find(fileName);
    if (pooled != mEffectPool.end()) {
      ParticleFX* effect = pooled->second;
      mEffectPool.erase(pooled);
      effect->start();
      track(effect);
      effect->mHeld = true;
      return effect;
    }
    auto prototype = mPrototypes.find(fileName);
    if (prototype != mPrototypes.end()) return handOut(new ParticleFX(*prototype->second));
  }
  ParticleFX* loaded = loadEffect(fileName);
  if (!loaded) return nullptr;
  ScopedLock guard(ScopedLock::lock(&mLock));
  auto prototype = mPrototypes.find(fileName);
  if (prototype == mPrototypes.end()) {
    loaded->mFileName = fileName;
    loaded->initialize();
    prototype = mPrototypes.emplace(fileName, loaded).first;
  } else {
    // Another thread read the same file meanwhile: its prototype stands.
    delete loaded;
  }
  return handOut(new ParticleFX(*prototype->second));
}

ParticleFX* ParticleSystem::handOut(ParticleFX* effect) {
  effect->mHeld = true;
  return effect;
}

void ParticleSystem::releaseEffect(ParticleFX* effect) {
  if (!effect) return;
  ScopedLock guard(ScopedLock::lock(&mLock));
  auto tracked = std::find(mActiveEffects.begin(), mActiveEffects.end(), effect);
  if (tracked != mActiveEffects.end()) mActiveEffects.erase(tracked);
  // The next holder may leave the advancing to the particle system.
  effect->mAdvancedByHolder = false;
  effect->mHeld = false;
  if (mPoolLimit >= 0 && mEffectPool.count(effect->mFileName) >= size_t(mPoolLimit)) {
    delete effect;
    return;
  }
  mEffectPool.emplace(effect->mFileName, effect);
}

ParticleFX* ParticleSystem::cloneEffect(const ParticleFX& source) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  ParticleFX* effect = new ParticleFX(source);
  effect->start();
  return handOut(effect);
}

void ParticleSystem::track(ParticleFX* effect) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  if (std::find(mActiveEffects.begin(), mActiveEffects.end(), effect) == mActiveEffects.end())
    mActiveEffects.push_back(effect);
}

void ParticleSystem::update() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  const float frameTime = TimerManager::getInstance()->frameTime;
  const float dt = frameTime < 0.1f ? frameTime : 0.1f;
  if (!mUpdateEffects) return;
  for (size_t i = 0; i < mActiveEffects.size();) {
    ParticleFX* effect = mActiveEffects[i];
    // An effect its holder advances is the holder's: advanced once a frame,
    // and destroyed only when the holder gives it back.
    if (effect->mAdvancedByHolder) {
      ++i;
      continue;
    }
    effect->advance(dt);
    if ((effect->mPathFinished || effect->isDead()) && effect->mDestroyIfDead && !effect->mHeld) {
      mActiveEffects.erase(mActiveEffects.begin() + std::ptrdiff_t(i));
      delete effect;
      continue;
    }
    ++i;
  }
}

void ParticleSystem::setUpdateEffects(bool on) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  mUpdateEffects = on;
}

bool ParticleSystem::getUpdateEffects() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  return mUpdateEffects;
}

void ParticleSystem::clearEffectPool() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  for (auto& entry : mEffectPool) delete entry.second;
  mEffectPool.clear();
}

void ParticleSystem::clearPrototypes() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  for (auto& entry : mPrototypes) delete entry.second;
  mPrototypes.clear();
}

size_t ParticleSystem::getPoolSize() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  return mEffectPool.size();
}

size_t ParticleSystem::getPrototypeCount() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  return mPrototypes.size();
}

size_t ParticleSystem::getActiveCount() {
  ScopedLock guard(ScopedLock::lock(&mLock));
  return mActiveEffects.size();
}

bool ParticleSystem::isTracked(const ParticleFX* effect) {
  ScopedLock guard(ScopedLock::lock(&mLock));
  return std::find(mActiveEffects.begin(), mActiveEffects.end(), effect) != mActiveEffects.end();
}

}  // namespace KR
