#include "particle_fx.h"

#include <algorithm>

#include "animation.h"
#include "aux_archive.h"
#include "particle_class_registry.h"
#include "particle_emitter.h"
#include "particle_system.h"
#include "particle_tail.h"
#include "xml_iarchive.h"

namespace KR {

ParticleFX::ParticleFX() = default;

ParticleFX::ParticleFX(const ParticleFX& source)
    : mPosition(source.mPosition),
      mDestroyIfDead(source.mDestroyIfDead),
      mAnimationFilename(source.mAnimationFilename),
      mLoopedAnimation(source.mLoopedAnimation),
      mFileName(source.mFileName) {
  mParticleEmitters.reserve(source.mParticleEmitters.size());
  for (const ParticleEmitter* emitter : source.mParticleEmitters) {
    if (ParticleEmitter* copy = emitter ? copyParticleEmitter(*emitter) : nullptr) {
      copy->setOwner(this);
      mParticleEmitters.push_back(copy);
    }
  }
  loadPathAnimation();
  for (ParticleEmitter* emitter : mParticleEmitters) emitter->initialize();
  if (ParticleSystem* system = ParticleSystem::getInstancePtr()) system->track(this);
}

ParticleFX::~ParticleFX() {
  for (ParticleEmitter* emitter : mParticleEmitters) delete emitter;
  mParticleEmitters.clear();
}

void ParticleFX::initialize() {
  loadPathAnimation();
  for (ParticleEmitter* emitter : mParticleEmitters) {
    emitter->setOwner(this);
    emitter->initialize();
  }
}

int64_t ParticleFX::getAllocation() const {
  int64_t total = 0;
  for (const ParticleEmitter* emitter : mParticleEmitters) {
    if (!emitter) continue;
    const int64_t records =
        std::clamp<int64_t>(emitter->mMaxParticlesCount, 0, int64_t(ParticleEmitter::kMaxParticles));
    int64_t perRecord = 1;
    if (emitter->mUseTails) {
      const int64_t segments =
          std::clamp<int64_t>(emitter->getTailSettings().mMaxSegments, 0, int64_t(ParticleEmitter::kMaxTailSegments));
      perRecord += segments + 7 + ParticleTail::kSpareSegments;
    }
    total += records * perRecord;
  }
  return total;
}

void ParticleFX::loadPathAnimation() {
  mPathAnimation.reset();
  if (mAnimationFilename.empty()) return;
  auto path = std::make_unique<Animation>();
  path->bindVector2Parameter("pos", &mPosition);
  if (!path->loadFromScript(mAnimationFilename, "default", "")) return;
  mPathAnimation = std::move(path);
}

void ParticleFX::start() {
  if (mPathAnimation) mPathAnimation->time = 0.0f;
  for (ParticleEmitter* emitter : mParticleEmitters) emitter->reset();
  mStarted = true;
}

void ParticleFX::update(float dt) {
  mAdvancedByHolder = true;
  advance(dt);
}

void ParticleFX::advance(float dt) {
  if (!mStarted) dt = 0.0f;
  if (mPathAnimation) {
    mPathAnimation->loop = mLoopedAnimation;
    mPathAnimation->update(dt);
  }
  for (ParticleEmitter* emitter : mParticleEmitters) emitter->update(dt);
  if (mPathAnimation) {
    const Animation& path = *mPathAnimation;
    if (path.loop)
      mPathFinished = false;
    else if (path.startMarker < 0.0f)
      mPathFinished = path.time >= path.getTotalDuration();
    else if (path.startMarker < path.endMarker)
      mPathFinished = path.time >= path.endMarker;
    else
      mPathFinished = path.time <= path.endMarker;
  }
}

void ParticleFX::render() {
  for (ParticleEmitter* emitter : mParticleEmitters) emitter->render(mPosition);
}

void ParticleFX::setAlpha(float alpha) {
  for (ParticleEmitter* emitter : mParticleEmitters) emitter->setAlpha(alpha);
}

bool ParticleFX::isDead() const {
  for (const ParticleEmitter* emitter : mParticleEmitters)
    if (!emitter->isDead()) return false;
  return true;
}

int ParticleFX::getLiveCount() const {
  int count = 0;
  for (const ParticleEmitter* emitter : mParticleEmitters) count += emitter->getLiveCount();
  return count;
}

template <typename Member>
void ParticleFX::members(Member&& member) {
  member("mPosition", mPosition);
  member("mParticleEmitters", mParticleEmitters);
  member("mDestroyIfDead", mDestroyIfDead);
  member("mAnimationFilename", mAnimationFilename);
  member("mLoopedAnimation", mLoopedAnimation);
}

void ParticleFX::serializeAux(AuxArchive& ar) { members(MemberVisitor{ar}); }

void ParticleFX::serializeXmlIn(XmlIArchive& ar) {
  for (ParticleEmitter* emitter : mParticleEmitters) delete emitter;
  mParticleEmitters.clear();
  members(MemberLoader{ar});
}

void ParticleFX::serializeXmlOut(XmlOArchive& ar) { members(MemberSaver{ar}); }

}  // namespace KR
