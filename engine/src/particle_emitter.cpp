#include "particle_emitter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "aux_archive.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "particle_affector.h"
#include "particle_class_registry.h"
#include "particle_fx.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "vertex_format.h"
#include "xml_iarchive.h"

namespace KR {

double randomFraction() { return double(sharedRandom()) / 32767.0; }

int wholePercent(double value) {
  if (std::isnan(value)) return 0;
  if (value >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return int(value);
}

namespace {

// The curves a running emitter starts from: one flat line in the middle of
// each range.
TimedValueInterval<float> defaultEmitRate() { return TimedValueInterval<float>::makeDefault(1, 0.0f, 100.0f); }
TimedValueInterval<float> defaultLifeTime() { return TimedValueInterval<float>::makeDefault(1, 0.0f, 5.0f); }
TimedValueInterval<Color> defaultColor() {
  return TimedValueInterval<Color>::makeDefault(1, Color::fromARGB(0x00000000), Color::fromARGB(0xFFFFFFFF));
}
TimedValueInterval<float> defaultScale() { return TimedValueInterval<float>::makeDefault(1, 0.0f, 2.0f); }

SpriteManager<Sprite>* spriteManager() { return SpriteManager<Sprite>::getInstancePtr(); }

int32_t clampCount(int32_t count, int32_t limit) { return count < 0 ? 0 : (count > limit ? limit : count); }

// alpha x mAlpha, as the low eight bits of its whole part.
uint32_t scaledAlpha(uint8_t alpha, float factor) {
  const double value = double(float(alpha) / 255.0f * 255.0f * factor);
  if (!(value > -2147483648.0 && value < 2147483648.0)) return 0;
  return uint32_t(int32_t(value)) & 0xFFu;
}

}  // namespace

ParticleEmitter::ParticleEmitter() = default;

ParticleEmitter::ParticleEmitter(const ParticleEmitter& source)
    : mMinParticlesCount(source.mMinParticlesCount),
      mMaxParticlesCount(source.mMaxParticlesCount),
      mPosition(source.mPosition),
      mEmitRate(source.mEmitRate),
      mSpriteFileName(source.mSpriteFileName),
      mSpriteTableName(source.mSpriteTableName),
      mLiveLimit(source.mLiveLimit),
      mInitialLifeTime(source.mInitialLifeTime),
      mParticleColor(source.mParticleColor),
      mInitialScaleX(source.mInitialScaleX),
      mInitialScaleY(source.mInitialScaleY),
      mEmitterLifeTime(source.mEmitterLifeTime),
      mTime(source.mTime),
      mLooped(source.mLooped),
      mGlobalCoords(source.mGlobalCoords),
      mEmitterDelay(source.mEmitterDelay),
      mBlendMode(source.mBlendMode),
      mUseTails(source.mUseTails),
      mParticleCount(source.mMaxParticlesCount),
      mTail(source.mTail) {
  if (source.mSprite && spriteManager()) mSprite = spriteManager()->createSpriteCopy(source.mSprite);
  mParticleAffectors.reserve(source.mParticleAffectors.size());
  for (const ParticleAffector* affector : source.mParticleAffectors) {
    if (ParticleAffector* copy = affector ? copyParticleAffector(*affector) : nullptr)
      mParticleAffectors.push_back(copy);
  }
}

ParticleEmitter::~ParticleEmitter() {
  for (ParticleAffector* affector : mParticleAffectors) delete affector;
  mParticleAffectors.clear();
  mParticles.clear();
  destroySprite();
}

void ParticleEmitter::destroySprite() {
  // The sprite was made for this emitter alone (loaded or copied): give it back
  // so that effects made and destroyed over and over do not pile sprites up.
  if (mSprite && spriteManager()) spriteManager()->destroySprite(mSprite);
  mSprite = nullptr;
}

void ParticleEmitter::initialize() {
  mParticles.clear();
  if (mMaxParticlesCount > kMaxParticles)
    log("WARNING: particle emitter asks for %i particles; %i are kept", mMaxParticlesCount, kMaxParticles);
  // A negative count from a file is no count at all.
  mMaxParticlesCount = clampCount(mMaxParticlesCount, kMaxParticles);
  mTail.mMaxSegments = clampCount(mTail.mMaxSegments, kMaxTailSegments);
  mParticles.resize(size_t(mMaxParticlesCount));
  mRecordsFresh = true;
  mParticleCount = mMaxParticlesCount;
  if (!mSprite && !mSpriteFileName.empty() && !mSpriteTableName.empty() && spriteManager())
    mSprite = spriteManager()->loadSprite(mSpriteFileName, mSpriteTableName, "default");
  for (ParticleAffector* affector : mParticleAffectors) affector->attach(this);
  reset();
}

void ParticleEmitter::spawnParticle(int32_t) {}

void ParticleEmitter::setParticleCount() {
  if (mMaxParticlesCount < 0) {
    mMaxParticlesCount = mParticleCount;
    return;
  }
  mMaxParticlesCount = std::min(mMaxParticlesCount, kMaxParticles);
  const size_t oldCount = mParticles.size();
  mParticles.resize(size_t(mMaxParticlesCount));
  mRecordsFresh = false;
  if (mUseTails) {
    for (size_t i = oldCount; i < mParticles.size(); ++i) {
      mParticles[i].tail = std::make_unique<ParticleTail>();
      mParticles[i].tail->setup(mSprite, &mTail);
    }
  }
  mParticleCount = mMaxParticlesCount;
  for (ParticleAffector* affector : mParticleAffectors) affector->setParticleCount(mMaxParticlesCount);
}

void ParticleEmitter::reset() {
  mTime = 0.0f;
  mEmitAccumulator = 0.0f;
  if (mSprite) mSprite->updateMeshPositions();
  for (Particle& p : mParticles) {
    if (mRecordsFresh) break;
    p.dead = true;
    p.position = Vector2<float>();
    p.angle = 0.0f;
    p.remaining = 0.0f;
    p.age = 0.0f;
    p.scale = Vector2<float>(1.0f, 1.0f);
    p.fade = 0.0f;
  }
  if (mUseTails) {
    if (mSprite) {
      const Rect frame = mSprite->getFrameRect(0);
      mTail.mTailTexWidth = frame.right - frame.left;
      mTail.mTailTexHeight = frame.bottom - frame.top;
      mTail.mTailTexLeft = frame.left;
      mTail.mTailTexTop = frame.top;
    }
    mTail.mMaxSegments = clampCount(mTail.mMaxSegments, kMaxTailSegments);
    mTail.mTailCapacity = mTail.mMaxSegments + 7;
    for (Particle& p : mParticles) {
      if (!p.tail) p.tail = std::make_unique<ParticleTail>();
      p.tail->setup(mSprite, &mTail);
    }
  } else {
    for (Particle& p : mParticles) p.tail.reset();
  }
  mLiveCount = 0;
  updateParticles(0.0f);
}

int ParticleEmitter::getLifePercent() const {
  const double time = double(mTime);
  return wholePercent(mEmitterLifeTime > 0.0f ? time * 100.0 / double(mEmitterLifeTime) : time * 10.0);
}

bool ParticleEmitter::isDead() const {
  if (mLooped || mEmitterLifeTime > mTime) return false;
  for (const Particle& p : mParticles)
    if (!p.dead) return false;
  return true;
}

void ParticleEmitter::update(float dt) {
  if (!mEnabled) return;
  mTime += dt;
  if (mLooped && mEmitterLifeTime > 0.0f && mTime > mEmitterLifeTime) mTime = 0.0f;
  // An emitter that is looped or still inside its lifetime is not dead, so its
  // effect is not all dead either.
  const bool pathFinished = mOwner && mOwner->mPathFinished;
  if (!pathFinished && mTime > mEmitterDelay && (mLooped || mTime < mEmitterLifeTime)) emit(dt, getLifePercent());
  updateParticles(dt);
  for (ParticleAffector* affector : mParticleAffectors) affector->update(dt);
}

void ParticleEmitter::emit(float dt, int percent) {
  if (mEmitterLifeTime >= 0.0f && mTime >= mEmitterLifeTime) return;
  mEmitAccumulator += dt;
  const float rate = mEmitRate.getAverageValue(percent) * mEmitRateScale;
  const float interval = rate > 0.0f ? 1.0f / rate : 1.0e11f;
  // What every particle of this step starts with.
  const float life = mInitialLifeTime.getAverageValue(percent);
  const Color color = mParticleColor.getAverageValue(0);
  const Vector2<float> scale(mInitialScaleX.getAverageValue(0), mInitialScaleY.getAverageValue(0));
  const Vector2<float> globalOffset = mPosition + (mOwner ? mOwner->mPosition : Vector2<float>());
  size_t searchFrom = 0;
  while (mEmitAccumulator > interval) {
    if (mLiveCount >= mMaxParticlesCount || (mLiveLimit >= 0 && mLiveCount >= mLiveLimit)) {
      mEmitAccumulator = 0.0f;
      return;
    }
    // Records taken earlier in this step stay taken: the next free one lies after them.
    size_t index = searchFrom;
    while (index < mParticles.size() && !mParticles[index].dead) ++index;
    if (index >= mParticles.size()) {
      // No record frees up during the step, so the intervals left would spawn
      // nothing: drop them at once (a huge rate from a file would spin here).
      if (interval > 0.0f && std::isfinite(interval)) {
        const double whole = std::ceil(double(mEmitAccumulator) / double(interval)) - 1.0;
        if (whole > 0.0) mEmitAccumulator = float(double(mEmitAccumulator) - whole * double(interval));
        if (mEmitAccumulator > interval) mEmitAccumulator = interval;
      } else {
        mEmitAccumulator = 0.0f;
      }
      return;
    }
    searchFrom = index + 1;
    mRecordsFresh = false;
    Particle& p = mParticles[index];
    p.dead = false;
    p.remaining = life;
    p.age = 0.0f;
    p.color = color;
    p.scale = scale;
    p.position = mPosition;
    p.angle = 0.0f;
    p.fade = 0.0f;
    if (p.tail) p.tail->empty();
    spawnParticle(int32_t(index));
    for (ParticleAffector* affector : mParticleAffectors) affector->initParticle(int32_t(index));
    if (mGlobalCoords) p.position += globalOffset;
    mEmitAccumulator -= interval;
  }
}

void ParticleEmitter::rebuildTails() {
  mTail.mMaxSegments = clampCount(mTail.mMaxSegments, kMaxTailSegments);
  mTail.mTailCapacity = mTail.mMaxSegments + 7;
  for (Particle& p : mParticles) {
    if (!p.tail) p.tail = std::make_unique<ParticleTail>();
    p.tail->setup(mSprite, &mTail);
  }
}

void ParticleEmitter::updateParticles(float dt) {
  if (mParticleCount != mMaxParticlesCount) setParticleCount();
  if (mUseTails && mAppliedMaxSegments != mTail.mMaxSegments) rebuildTails();
  mLiveCount = 0;
  // A new round of life samples (0 never matches a round, so a fresh table is empty).
  if (++mUpdateCount == 0) mUpdateCount = 1;
  const Vector2<float> localOrigin = mPosition + (mOwner ? mOwner->mPosition : Vector2<float>());
  const float tailHeight = mTail.mTailTexHeight;
  for (Particle& p : mParticles) {
    if (mRecordsFresh) break;
    if (p.dead) continue;
    p.age += dt;
    p.remaining -= dt;
    const float total = p.age + p.remaining;
    const int q = total != 0.0f ? wholePercent(double(p.age / total) * 100.0) : 0;
    if (q >= 0 && q <= 100) {
      LifeSample& sample = mLifeSamples[q];
      if (sample.update != mUpdateCount) {
        sample.update = mUpdateCount;
        sample.color = mParticleColor.getValue(0, q);
        sample.scale = Vector2<float>(mInitialScaleX.getValue(0, q), mInitialScaleY.getValue(0, q));
      }
      p.color = sample.color;
      p.scale = sample.scale;
    } else {
      p.color = mParticleColor.getValue(0, q);
      p.scale = Vector2<float>(mInitialScaleX.getValue(0, q), mInitialScaleY.getValue(0, q));
    }
    p.fade = (p.age <= 1.0f ? p.age : 1.0f) * (1.0f - std::max(1.0f - p.remaining, 0.0f));
    if (p.remaining <= 0.0f) p.dead = true;
    if (mUseTails && p.tail) {
      p.tail->halfWidth = p.scale.y * tailHeight;
      p.tail->update(dt, mGlobalCoords ? p.position : localOrigin + p.position);
    }
    if (!p.dead) ++mLiveCount;
  }
  mAppliedMaxSegments = mTail.mMaxSegments;
}

bool ParticleEmitter::renderAsOneItem(const Vector2<float>& base) {
  const Sprite& sprite = *mSprite;
  const RenderData& quad = *sprite.mQuad;
  if (mUseTails || sprite.mMeshSizeX != 1 || sprite.mMeshSizeY != 1 || sprite.mClipEnabled || !sprite.mMesh ||
      !sprite.mMesh->hasCurrentVertexStride() || sprite.mVertexPositionRefs.size() < 4 ||
      sprite.mMeshPositions.size() < 4 || sprite.mMeshTexCoords.size() < 4)
    return false;
  if (!mBatch) mBatch = std::make_unique<RenderData>();
  RenderData& batch = *mBatch;
  if (batch.mTextures != quad.mTextures) {
    batch.releaseTextures();
    for (Texture* texture : quad.mTextures) batch.addTexture(texture);
  }
  batch.mPrimitiveType = RP_QUADS;
  batch.mBlendMode = quad.mBlendMode;
  batch.mAddressMode = quad.mAddressMode;
  const uint32_t capacity = uint32_t(mParticles.size()) * 4;
  if (!batch.mVertices || batch.mVertices->count < capacity || !batch.hasCurrentVertexStride())
    batch.allocateVertices(std::max<uint32_t>(capacity, 4));

  const uint32_t stride = gVertexStride;
  const uint32_t positionOffset = getVertexComponentOffset(VC_POSITION);
  const uint32_t colorOffset = getVertexComponentOffset(VC_DIFFUSE);
  const uint32_t texOffset = getVertexComponentOffset(VC_TEXCOORD0);
  // The grid's corners in the sprite's slot order (top left, top right,
  // bottom right, bottom left) and what a placement leaves unchanged.
  const uint32_t corners[4] = {0, 1, 3, 2};
  float texCoords[4][2], depth[4];
  Vector2<float> mesh[4];
  for (int slot = 0; slot < 4; ++slot) {
    const uint32_t corner = corners[slot];
    mesh[slot] = sprite.mMeshPositions[corner];
    float u = sprite.mMeshTexCoords[corner].x * sprite.mInvTextureSize.x;
    float v = sprite.mMeshTexCoords[corner].y * sprite.mInvTextureSize.y;
    if (sprite.mMirrorH) u = 1.0f - u;
    if (sprite.mMirrorV) v = 1.0f - v;
    texCoords[slot][0] = u;
    texCoords[slot][1] = v;
    depth[slot] = sprite.mVertexPositionRefs[corner][2];
  }
  const Vector2<float> size = sprite.getSize();
  const Vector2<float> localOrigin = base + mPosition;
  uint8_t* out = batch.getVertexBytes();
  uint32_t written = 0;
  for (const Particle& p : mParticles) {
    if (p.dead) continue;
    const uint32_t alpha = scaledAlpha(p.color.alpha(), mAlpha);
    // A quad of alpha 0 is not drawn (it would still darken under "color").
    if (alpha == 0) continue;
    const uint32_t color = (alpha << 24) | (p.color.value & 0x00FFFFFFu);
    // The sprite's placement of a particle, operation for operation.
    const Vector2<float> position = mGlobalCoords ? p.position : localOrigin + p.position;
    const Vector2<float> offset(size.x * p.scale.x / 2.0f, size.y * p.scale.y / 2.0f);
    const Vector2<float> topLeft = position - offset;
    const Vector2<float> center = topLeft + offset;
    const float theta = p.angle * kDegToRad;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    for (int slot = 0; slot < 4; ++slot, out += stride) {
      const float dx = mesh[slot].x * p.scale.x + topLeft.x - center.x;
      const float dy = mesh[slot].y * p.scale.y + topLeft.y - center.y;
      const float xyz[3] = {dx * c - dy * s + center.x, dx * s + dy * c + center.y, depth[slot]};
      std::memcpy(out + positionOffset, xyz, sizeof xyz);
      std::memcpy(out + colorOffset, &color, 4);
      std::memcpy(out + texOffset, texCoords[slot], sizeof texCoords[slot]);
    }
    written += 4;
  }
  if (written == 0) return true;
  // The item shows the particles written this frame; its storage keeps the rest.
  const uint32_t kept = batch.mVertices->count;
  batch.mVertices->count = written;
  RenderSystem::getInstance()->render(&batch);
  batch.mVertices->count = kept;
  return true;
}

void ParticleEmitter::render(const Vector2<float>& base) {
  if (!mEnabled || !mSprite || !mSprite->mQuad) return;
  // Only the three particle blend modes; anything else draws as alpha.
  mSprite->mQuad->mBlendMode = (mBlendMode >= 0 && mBlendMode <= 2) ? uint32_t(mBlendMode) : uint32_t(BM_ALPHA);
  if (renderAsOneItem(base)) return;
  const Vector2<float> size = mSprite->getSize();
  const Vector2<float> localOrigin = base + mPosition;
  for (Particle& p : mParticles) {
    if (p.dead) continue;
    const Color color = Color::fromARGB((scaledAlpha(p.color.alpha(), mAlpha) << 24) | (p.color.value & 0x00FFFFFFu));
    mSprite->setMeshColor(color);
    if (mUseTails) {
      // Tail corners are absolute: the sprite adds nothing to them.
      mSprite->mPosition = Vector2<float>();
      mSprite->mScale = Vector2<float>(1.0f, 1.0f);
      mSprite->mAngle = 0.0f;
      mSprite->mRotationCenter = Vector2<float>();
      if (p.tail) p.tail->draw();
      continue;
    }
    const Vector2<float> position = mGlobalCoords ? p.position : localOrigin + p.position;
    const Vector2<float> offset(size.x * p.scale.x / 2.0f, size.y * p.scale.y / 2.0f);
    // The particle turns about its own centre.
    mSprite->mPosition = position - offset;
    mSprite->mScale = p.scale;
    mSprite->mAngle = p.angle;
    mSprite->mRotationCenter = offset;
    mSprite->mDirty = true;
    mSprite->updateVertices();
    mSprite->render();
  }
}

void ParticleEmitter::restoreEmptyCurves() {
  if (!mEmitRate.hasLines()) mEmitRate = defaultEmitRate();
  if (!mInitialLifeTime.hasLines()) mInitialLifeTime = defaultLifeTime();
  if (!mParticleColor.hasLines()) mParticleColor = defaultColor();
  if (!mInitialScaleX.hasLines()) mInitialScaleX = defaultScale();
  if (!mInitialScaleY.hasLines()) mInitialScaleY = defaultScale();
}

template <typename Member>
void ParticleEmitter::members(Member&& member) {
  member("mMinParticlesCount", mMinParticlesCount);
  member("mMaxParticlesCount", mMaxParticlesCount);
  member("mPosition", mPosition);
  member("mEmitRate", mEmitRate);
  member("mSpriteFileName", mSpriteFileName);
  member("mSpriteTableName", mSpriteTableName);
  member("mInitialLifeTime", mInitialLifeTime);
  member("mParticleColor", mParticleColor);
  member("mInitialScaleX", mInitialScaleX);
  member("mInitialScaleY", mInitialScaleY);
  member("mParticleAffectors", mParticleAffectors);
  member("mEmitterLifeTime", mEmitterLifeTime);
  member("mLooped", mLooped);
  member("mEmitterDelay", mEmitterDelay);
  member("mBlendMode", mBlendMode);
  member("mGlobalCoords", mGlobalCoords);
  member("mUseTails", mUseTails);
  member("mHeadSizeTex", mTail.mHeadSizeTex);
  member("mMaxSegments", mTail.mMaxSegments);
  member("mFadeSpeed", mTail.mFadeSpeed);
  member("mMinDistSegments", mTail.mMinDistSegments);
  member("mHeadSize", mTail.mHeadSize);
}

void ParticleEmitter::serializeAux(AuxArchive& ar) { members(MemberVisitor{ar}); }

void ParticleEmitter::serializeXmlIn(XmlIArchive& ar) {
  for (ParticleAffector* affector : mParticleAffectors) delete affector;
  mParticleAffectors.clear();
  members(MemberLoader{ar});
  restoreEmptyCurves();
}

void ParticleEmitter::serializeXmlOut(XmlOArchive& ar) { members(MemberSaver{ar}); }

}  // namespace KR
