#include "demo_effects.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "particle_emitter_shapes.h"
#include "particle_fx.h"
#include "particle_movement_affectors.h"
#include "particle_rotation_affectors.h"
#include "xml_iarchive.h"

namespace KR {
namespace Tools {

namespace {

using FloatCurve = TimedValueInterval<float>;
using ColorCurve = TimedValueInterval<Color>;

// One line through the keys (time in percent, value).
FloatCurve curve(std::initializer_list<std::pair<int, float>> keys) {
  FloatCurve c;
  c.mLinesCount = 1;
  c.mMinValue = 0.0f;
  c.mMaxValue = 0.0f;
  for (const auto& key : keys) {
    c.mMinValue = std::min(c.mMinValue, key.second);
    c.mMaxValue = std::max(c.mMaxValue, key.second);
    c.addValue(0, key.first, key.second);
  }
  return c;
}

FloatCurve constant(float value) { return curve({{0, value}, {100, value}}); }

ColorCurve colors(std::initializer_list<std::pair<int, Color>> keys) {
  ColorCurve c;
  c.mLinesCount = 1;
  c.mMinValue = Color::fromARGB(0x00000000);
  c.mMaxValue = Color::fromARGB(0xFFFFFFFF);
  for (const auto& key : keys) c.addValue(0, key.first, key.second);
  return c;
}

Color rgba(int r, int g, int b, int a) { return Color::fromChannels(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)); }

// The members every demo emitter sets, so that nothing is left to a default.
template <typename Emitter>
Emitter* emitter(const char* table, int maxParticles, float rate, float life) {
  Emitter* e = new Emitter();
  e->mMinParticlesCount = 0;
  e->mMaxParticlesCount = maxParticles;
  e->mEmitRate = constant(rate);
  e->mSpriteFileName = "particle_sprites";
  e->mSpriteTableName = table;
  e->mInitialLifeTime = constant(life);
  e->mParticleColor = colors({{0, rgba(255, 255, 255, 255)}, {100, rgba(255, 255, 255, 0)}});
  e->mInitialScaleX = constant(0.5f);
  e->mInitialScaleY = constant(0.5f);
  e->mEmitterLifeTime = 4.0f;
  e->mLooped = true;
  e->mEmitterDelay = 0.0f;
  e->mBlendMode = 0;
  e->mGlobalCoords = false;
  e->mUseTails = false;
  ParticleTailSettings& tail = e->getTailSettings();
  tail.mHeadSizeTex = 0;
  tail.mHeadSize = 0;
  tail.mMaxSegments = 17;
  tail.mFadeSpeed = 0.0f;
  tail.mMinDistSegments = 10.0f;
  return e;
}

ParticleLinearMovementAffector* linear(Vector2<float> from, Vector2<float> to, FloatCurve speed) {
  auto* a = new ParticleLinearMovementAffector();
  a->mInitialDirection = ValueRange<Vector2<float>>(from, to);
  a->mInitialVelocity = std::move(speed);
  return a;
}

ParticleGravityAffector* gravity(float force, Vector2<float> direction) {
  auto* a = new ParticleGravityAffector();
  a->mForce = constant(force);
  a->mDirection = direction;
  return a;
}

// Stars turning at `degreesPerSecond`, each one way or the other at its own rate.
ParticleRotateSpriteAffector* spinning(float degreesPerSecond) {
  auto* a = new ParticleRotateSpriteAffector();
  a->mInitialAngleVelocity = constant(degreesPerSecond);
  a->mInitialMinAngle = 0.0f;
  a->mInitialMaxAngle = 90.0f;
  a->mInitialRotateCoeffMin = -1.0f;
  a->mInitialRotateCoeffMax = 1.0f;
  return a;
}

ParticleFX* effect(std::initializer_list<ParticleEmitter*> emitters) {
  auto* fx = new ParticleFX();
  fx->mParticleEmitters.assign(emitters.begin(), emitters.end());
  fx->mDestroyIfDead = false;
  fx->mLoopedAnimation = true;
  return fx;
}

}  // namespace

ParticleFX* makeFountain() {
  auto* box = emitter<ParticleBoxEmitter>("ParticleDot", 700, 220.0f, 2.5f);
  box->mRect = Rect(-12.0f, -3.0f, 12.0f, 3.0f);
  box->mRectAngle = 0.0f;
  box->mParticleColor =
      colors({{0, rgba(255, 230, 140, 255)}, {40, rgba(120, 200, 255, 230)}, {100, rgba(60, 90, 255, 0)}});
  box->mInitialScaleX = curve({{0, 0.9f}, {100, 0.3f}});
  box->mInitialScaleY = curve({{0, 0.9f}, {100, 0.3f}});
  box->mParticleAffectors = {linear(Vector2<float>(-0.3f, -1.0f), Vector2<float>(0.3f, -1.0f), constant(300.0f)),
                             gravity(260.0f, Vector2<float>(0.0f, 1.0f))};
  return effect({box});
}

ParticleFX* makeSparkles() {
  auto* circle = emitter<ParticleCircleEmitter>("ParticleStar", 200, 70.0f, 1.4f);
  circle->mRadius = 80.0f;
  circle->mBlendMode = 2;
  circle->mParticleColor = colors({{0, rgba(255, 255, 255, 0)},
                                   {25, rgba(255, 250, 200, 255)},
                                   {70, rgba(255, 200, 80, 200)},
                                   {100, rgba(255, 120, 40, 0)}});
  circle->mInitialScaleX = curve({{0, 0.3f}, {30, 0.9f}, {100, 0.2f}});
  circle->mInitialScaleY = curve({{0, 0.3f}, {30, 0.9f}, {100, 0.2f}});
  circle->mParticleAffectors = {spinning(220.0f)};
  return effect({circle});
}

ParticleFX* makeVortex() {
  auto* point = emitter<ParticlePointEmitter>("ParticleDot", 400, 90.0f, 3.5f);
  point->mGlobalCoords = true;
  point->mParticleColor =
      colors({{0, rgba(200, 120, 255, 255)}, {50, rgba(90, 220, 255, 220)}, {100, rgba(40, 80, 255, 0)}});
  point->mInitialScaleX = curve({{0, 0.7f}, {100, 0.25f}});
  point->mInitialScaleY = curve({{0, 0.7f}, {100, 0.25f}});
  auto* orbit = new ParticleRotateAffector();
  orbit->mInitialAngleVelocity = constant(2.6f);
  orbit->mInitialRotateCoeffMin = 0.8f;
  orbit->mInitialRotateCoeffMax = 1.2f;
  auto* pull = new ParticleGravityPointAffector();
  pull->mForce = constant(40.0f);
  pull->mMaxVelocity = 200.0f;
  point->mParticleAffectors = {linear(Vector2<float>(0.7f, -0.3f), Vector2<float>(1.0f, 0.3f), constant(110.0f)), orbit,
                               pull};
  return effect({point});
}

ParticleFX* makeFlock() {
  auto* quad = emitter<ParticleQuadEmitter>("ParticleArrow", 120, 14.0f, 5.0f);
  quad->mPointLeftTop = Vector2<float>(-70.0f, -40.0f);
  quad->mPointLeftBottom = Vector2<float>(-90.0f, 40.0f);
  quad->mPointRightTop = Vector2<float>(50.0f, -40.0f);
  quad->mPointRightBottom = Vector2<float>(70.0f, 40.0f);
  quad->mParticleColor = colors({{0, rgba(255, 255, 255, 0)},
                                 {10, rgba(250, 240, 220, 255)},
                                 {90, rgba(240, 180, 120, 255)},
                                 {100, rgba(240, 160, 100, 0)}});
  quad->mInitialScaleX = constant(0.6f);
  quad->mInitialScaleY = constant(0.6f);
  auto* steer = new ParticleGraphicMoveAffector();
  steer->mAngleGraphic = curve({{0, -1.5f}, {35, 1.8f}, {70, -1.2f}, {100, 1.0f}});
  steer->mVelocityGraphic = curve({{0, 30.0f}, {20, 70.0f}, {100, 50.0f}});
  auto* face = new ParticleAutoRotateAffector();
  face->mDiffAngle = 0.0f;
  quad->mParticleAffectors = {steer, face};
  return effect({quad});
}

ParticleFX* makeComet() {
  auto* head = emitter<ParticlePointEmitter>("ParticleTail", 4, 0.8f, 4.0f);
  head->mUseTails = true;
  head->mBlendMode = 2;
  head->mParticleColor =
      colors({{0, rgba(255, 240, 200, 0)}, {10, rgba(255, 240, 200, 255)}, {100, rgba(255, 140, 60, 0)}});
  head->mInitialScaleX = constant(0.35f);
  head->mInitialScaleY = constant(0.35f);
  ParticleTailSettings& tail = head->getTailSettings();
  tail.mHeadSizeTex = 8;
  tail.mHeadSize = 6;
  tail.mMaxSegments = 14;
  tail.mFadeSpeed = 40.0f;
  tail.mMinDistSegments = 3.0f;
  head->mParticleAffectors = {linear(Vector2<float>(-1.0f, -1.0f), Vector2<float>(1.0f, 1.0f), constant(4.0f))};

  auto* sparks = emitter<ParticlePointEmitter>("ParticleDot", 120, 45.0f, 0.9f);
  sparks->mGlobalCoords = true;
  sparks->mBlendMode = 2;
  sparks->mParticleColor = colors({{0, rgba(255, 220, 150, 255)}, {100, rgba(255, 90, 30, 0)}});
  sparks->mInitialScaleX = curve({{0, 0.4f}, {100, 0.1f}});
  sparks->mInitialScaleY = curve({{0, 0.4f}, {100, 0.1f}});
  sparks->mParticleAffectors = {linear(Vector2<float>(-1.0f, 0.2f), Vector2<float>(1.0f, -0.2f), constant(18.0f)),
                                gravity(30.0f, Vector2<float>(0.0f, 1.0f))};

  ParticleFX* fx = effect({head, sparks});
  fx->mAnimationFilename = "comet_path_anim";
  fx->mLoopedAnimation = true;
  return fx;
}

namespace {

// A burst that ends by itself: the emitter runs `seconds` once.
template <typename Emitter>
Emitter* burst(const char* table, int maxParticles, float rate, float life, float seconds) {
  Emitter* e = emitter<Emitter>(table, maxParticles, rate, life);
  e->mEmitterLifeTime = seconds;
  e->mLooped = false;
  return e;
}

}  // namespace

ParticleFX* makeNotebookTop() {
  auto* circle = burst<ParticleCircleEmitter>("ParticleStar", 60, 90.0f, 0.9f, 0.5f);
  circle->mRadius = 40.0f;
  circle->mBlendMode = 2;
  circle->mParticleColor =
      colors({{0, rgba(255, 250, 210, 0)}, {20, rgba(255, 240, 170, 255)}, {100, rgba(255, 190, 80, 0)}});
  circle->mInitialScaleX = curve({{0, 0.3f}, {30, 0.8f}, {100, 0.2f}});
  circle->mInitialScaleY = curve({{0, 0.3f}, {30, 0.8f}, {100, 0.2f}});
  circle->mParticleAffectors = {linear(Vector2<float>(-0.4f, -1.0f), Vector2<float>(0.4f, -1.0f), constant(90.0f))};
  return effect({circle});
}

ParticleFX* makeNotebookBottom() {
  auto* box = burst<ParticleBoxEmitter>("ParticleDot", 80, 120.0f, 1.2f, 0.5f);
  box->mRect = Rect(-60.0f, -4.0f, 60.0f, 4.0f);
  box->mRectAngle = 0.0f;
  box->mParticleColor = colors({{0, rgba(255, 230, 160, 255)}, {100, rgba(200, 140, 60, 0)}});
  box->mInitialScaleX = curve({{0, 0.6f}, {100, 0.2f}});
  box->mInitialScaleY = curve({{0, 0.6f}, {100, 0.2f}});
  box->mParticleAffectors = {linear(Vector2<float>(-1.0f, -0.2f), Vector2<float>(1.0f, -0.2f), constant(60.0f)),
                             gravity(80.0f, Vector2<float>(0.0f, 1.0f))};
  return effect({box});
}

ParticleFX* makeHintFlash() {
  // A burst of stars that swells on the target, then a slow glow under it.
  auto* stars = emitter<ParticleCircleEmitter>("ParticleStar", 90, 60.0f, 1.1f);
  stars->mRadius = 30.0f;
  stars->mBlendMode = 2;
  stars->mEmitterLifeTime = 1.5f;
  stars->mLooped = false;
  stars->mParticleColor =
      colors({{0, rgba(255, 255, 255, 0)}, {20, rgba(255, 255, 210, 255)}, {100, rgba(255, 200, 90, 0)}});
  stars->mInitialScaleX = curve({{0, 0.4f}, {40, 1.3f}, {100, 0.3f}});
  stars->mInitialScaleY = curve({{0, 0.4f}, {40, 1.3f}, {100, 0.3f}});
  stars->mParticleAffectors = {spinning(160.0f),
                               linear(Vector2<float>(-1.0f, -1.0f), Vector2<float>(1.0f, 1.0f), constant(40.0f))};

  auto* glow = emitter<ParticlePointEmitter>("ParticleDot", 12, 6.0f, 1.4f);
  glow->mBlendMode = 2;
  glow->mEmitterLifeTime = 1.8f;
  glow->mLooped = false;
  glow->mParticleColor =
      colors({{0, rgba(255, 240, 170, 0)}, {30, rgba(255, 240, 170, 160)}, {100, rgba(255, 200, 100, 0)}});
  glow->mInitialScaleX = curve({{0, 2.0f}, {100, 5.0f}});
  glow->mInitialScaleY = curve({{0, 2.0f}, {100, 5.0f}});
  return effect({glow, stars});
}

ParticleFX* makeHintSparks() {
  // Left behind in the scene (global coordinates) as the ribbon's head moves on.
  auto* sparks = emitter<ParticlePointEmitter>("ParticleDot", 80, 70.0f, 0.6f);
  sparks->mGlobalCoords = true;
  sparks->mBlendMode = 2;
  sparks->mParticleColor = colors({{0, rgba(255, 250, 220, 255)}, {100, rgba(255, 170, 60, 0)}});
  sparks->mInitialScaleX = curve({{0, 0.5f}, {100, 0.1f}});
  sparks->mInitialScaleY = curve({{0, 0.5f}, {100, 0.1f}});
  sparks->mParticleAffectors = {linear(Vector2<float>(-1.0f, -1.0f), Vector2<float>(1.0f, 1.0f), constant(25.0f)),
                                gravity(40.0f, Vector2<float>(0.0f, 1.0f))};
  return effect({sparks});
}

ParticleFX* makeBlackoutScreen() {
  // Big dark blots over the whole 1680 x 1050 scene, thickening and then
  // thinning out over five seconds.
  auto* veil = emitter<ParticleBoxEmitter>("ParticleDot", 160, 60.0f, 2.2f);
  veil->mRect = Rect(-840.0f, -525.0f, 840.0f, 525.0f);
  veil->mRectAngle = 0.0f;
  veil->mEmitterLifeTime = 3.0f;
  veil->mLooped = false;
  veil->mParticleColor = colors({{0, rgba(10, 0, 20, 0)}, {40, rgba(10, 0, 20, 110)}, {100, rgba(10, 0, 20, 0)}});
  veil->mInitialScaleX = curve({{0, 10.0f}, {100, 14.0f}});
  veil->mInitialScaleY = curve({{0, 10.0f}, {100, 14.0f}});
  ParticleFX* fx = effect({veil});
  fx->mPosition = Vector2<float>(840.0f, 525.0f);
  return fx;
}

ParticleFX* makeItemFound() {
  // A puff of stars blown to the right with the found item's pieces.
  auto* puff = emitter<ParticleCircleEmitter>("ParticleStar", 60, 80.0f, 0.9f);
  puff->mRadius = 40.0f;
  puff->mBlendMode = 2;
  puff->mEmitterLifeTime = 0.6f;
  puff->mLooped = false;
  puff->mParticleColor =
      colors({{0, rgba(255, 255, 255, 255)}, {60, rgba(255, 240, 180, 200)}, {100, rgba(255, 210, 120, 0)}});
  puff->mInitialScaleX = curve({{0, 0.8f}, {100, 0.2f}});
  puff->mInitialScaleY = curve({{0, 0.8f}, {100, 0.2f}});
  puff->mParticleAffectors = {linear(Vector2<float>(0.8f, -0.4f), Vector2<float>(1.0f, 0.4f), constant(220.0f))};
  return effect({puff});
}

const std::vector<DemoEffect>& demoEffects() {
  static const std::vector<DemoEffect> effects = {{"fountain_fx", &makeFountain},
                                                  {"sparkles_fx", &makeSparkles},
                                                  {"vortex_fx", &makeVortex},
                                                  {"flock_fx", &makeFlock},
                                                  {"comet_fx", &makeComet},
                                                  {"notebook_top_fx", &makeNotebookTop},
                                                  {"notebook_bottom_fx", &makeNotebookBottom},
                                                  {"hint_flash_fx", &makeHintFlash},
                                                  {"hint_sparks_fx", &makeHintSparks},
                                                  {"blackout_screen_fx", &makeBlackoutScreen},
                                                  {"item_found_fx", &makeItemFound}};
  return effects;
}

std::string effectFileText(ParticleFX& effect) {
  XmlOArchive archive;
  ParticleFX* root = &effect;
  archive.save(makeNvp("ParticleFX", root));
  return archive.saveToString();
}

namespace {

void put(RgbaPicture& picture, uint32_t x, uint32_t y, float alpha) {
  uint8_t* p = &picture.pixels[(size_t(y) * picture.width + x) * 4];
  p[0] = p[1] = p[2] = 255;
  p[3] = uint8_t(std::max(0.0f, std::min(1.0f, alpha)) * 255.0f);
}

}  // namespace

RgbaPicture makeParticleSheet() {
  RgbaPicture picture;
  picture.width = 128;
  picture.height = 32;
  picture.pixels.assign(size_t(picture.width) * picture.height * 4, 0);
  for (uint32_t y = 0; y < 32; ++y) {
    for (uint32_t x = 0; x < 32; ++x) {
      const float dx = float(x) + 0.5f - 16.0f;
      const float dy = float(y) + 0.5f - 16.0f;
      const float r = std::sqrt(dx * dx + dy * dy);
      // A soft dot: full in the middle, fading to the rim.
      put(picture, x, y, 1.0f - r / 15.0f);
      // A four-pointed star: thin rays along both axes around a small core.
      // Both factors are clamped: beyond the rays and the rim they are negative, and their product would light
      // the corners.
      const float ray = std::max(0.0f, std::max(1.0f - std::fabs(dx) / 2.5f, 1.0f - std::fabs(dy) / 2.5f)) *
                        std::max(0.0f, 1.0f - r / 16.0f);
      put(picture, 32 + x, y, std::max(ray * 1.6f, 1.0f - r / 5.0f));
      // An arrow pointing right: a triangle.
      const bool arrow = dx > -10.0f && dx < 12.0f && std::fabs(dy) < (12.0f - dx) * 0.45f;
      put(picture, 64 + x, y, arrow ? 1.0f : 0.0f);
      // The tail strip: fading in along x, soft at its two long edges.
      put(picture, 96 + x, y, (float(x) + 0.5f) / 32.0f * (1.0f - std::fabs(dy) / 16.0f));
    }
  }
  return picture;
}

}  // namespace Tools
}  // namespace KR
