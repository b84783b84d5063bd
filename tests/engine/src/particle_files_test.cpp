// Effect files: every class saved and read back unchanged, members a file
// leaves out, entries that are skipped, and the order in which the visiting
// archive hands the members over.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "aux_archive.h"
#include "demo_effects.h"
#include "particle_emitter_shapes.h"
#include "particle_fx.h"
#include "particle_movement_affectors.h"
#include "particle_rotation_affectors.h"
#include "particle_test_support.h"
#include "support/test_support.h"
#include "value_range.h"
#include "xml_iarchive.h"

namespace {

std::unique_ptr<KR::ParticleFX> readEffect(const std::string& text) {
  KR::XmlIArchive archive;
  if (!archive.loadFromBuffer(text.data(), text.size())) return nullptr;
  KR::ParticleFX* effect = nullptr;
  archive.load(KR::makeNvp("ParticleFX", effect));
  return std::unique_ptr<KR::ParticleFX>(effect);
}

class ParticleFilesTest : public ::testing::Test {
 protected:
  KR::Test::LogCapture log;
  KR::Test::ParticleFactory factory;
};

TEST_F(ParticleFilesTest, EveryClassSavesAndReadsBackUnchanged) {
  std::vector<std::string> classNames;
  for (const KR::Tools::DemoEffect& demo : KR::Tools::demoEffects()) {
    std::unique_ptr<KR::ParticleFX> made(demo.make());
    const std::string text = KR::Tools::effectFileText(*made);
    std::unique_ptr<KR::ParticleFX> read = readEffect(text);
    ASSERT_TRUE(read) << demo.fileName;
    ASSERT_EQ(made->mParticleEmitters.size(), read->mParticleEmitters.size());
    for (size_t i = 0; i < read->mParticleEmitters.size(); ++i) {
      const KR::ParticleEmitter& e = *read->mParticleEmitters[i];
      EXPECT_EQ(made->mParticleEmitters[i]->getClassName(), e.getClassName());
      classNames.push_back(e.getClassName());
      for (const KR::ParticleAffector* a : e.mParticleAffectors) classNames.push_back(a->getClassName());
    }
    // Written again, the effect read back gives the same file: every member survived.
    EXPECT_EQ(text, KR::Tools::effectFileText(*read)) << demo.fileName;
  }
  const char* const registered[] = {"ParticlePointEmitter",
                                    "ParticleBoxEmitter",
                                    "ParticleQuadEmitter",
                                    "ParticleCircleEmitter",
                                    "ParticleLinearMovementAffector",
                                    "ParticleGraphicMoveAffector",
                                    "ParticleRotateAffector",
                                    "ParticleRotateSpriteAffector",
                                    "ParticleGravityAffector",
                                    "ParticleGravityPointAffector",
                                    "ParticleAutoRotateAffector"};
  for (const char* name : registered) {
    EXPECT_NE(std::find(classNames.begin(), classNames.end(), name), classNames.end()) << name;
    EXPECT_NE(nullptr, factory.factory.findCreator(name)) << name;
  }

  // Curves, keys and ranges carry an empty class name; unregistered classes too.
  KR::ParticleFX effect;
  auto* box = new KR::ParticleBoxEmitter();
  box->mRect = KR::Rect(1, 2, 3, 4);
  box->mRectAngle = 30.0f;
  auto* range = new KR::ParticleLinearMovementAffector();
  range->mInitialDirection.mMaxVal = KR::Vector2<float>(0.5f, -1.0f);
  box->mParticleAffectors = {range, new KR::ParticleAffector()};
  effect.mParticleEmitters = {box, new KR::ParticleEmitter()};
  const std::string text = KR::Tools::effectFileText(effect);
  EXPECT_NE(std::string::npos, text.find("<mInitialDirection class_name=\"\">"));
  EXPECT_NE(std::string::npos, text.find("<mEmitRate class_name=\"\">"));
  EXPECT_NE(std::string::npos, text.find("<e1 class_name=\"\">"));  // the base affector and emitter
  std::unique_ptr<KR::ParticleFX> read = readEffect(text);
  ASSERT_EQ(2u, read->mParticleEmitters.size());
  auto* readBox = dynamic_cast<KR::ParticleBoxEmitter*>(read->mParticleEmitters[0]);
  ASSERT_NE(nullptr, readBox);
  EXPECT_EQ(KR::Rect(1, 2, 3, 4), readBox->mRect);
  EXPECT_FLOAT_EQ(30.0f, readBox->mRectAngle);
  ASSERT_EQ(2u, readBox->mParticleAffectors.size());
  auto* readRange = dynamic_cast<KR::ParticleLinearMovementAffector*>(readBox->mParticleAffectors[0]);
  ASSERT_NE(nullptr, readRange);
  EXPECT_EQ(KR::Vector2<float>(0.5f, -1.0f), readRange->mInitialDirection.mMaxVal);
  EXPECT_EQ("ParticleAffector", readBox->mParticleAffectors[1]->getClassName());
  EXPECT_EQ("ParticleEmitter", read->mParticleEmitters[1]->getClassName());
}

TEST_F(ParticleFilesTest, AbsentMembersTakeTheirFallBacks) {
  std::unique_ptr<KR::ParticleFX> effect = readEffect(
      "<root><ParticleFX><mParticleEmitters sz=\"1\"><e0 class_name=\"ParticleBoxEmitter\">"
      "<mParticleAffectors sz=\"1\"><e0 class_name=\"ParticleGravityAffector\"/></mParticleAffectors>"
      "</e0></mParticleEmitters></ParticleFX></root>");
  ASSERT_TRUE(effect);
  EXPECT_FALSE(effect->mLoopedAnimation);
  EXPECT_EQ("", effect->mAnimationFilename);
  ASSERT_EQ(1u, effect->mParticleEmitters.size());
  const KR::ParticleEmitter& e = *effect->mParticleEmitters[0];
  EXPECT_EQ(0, e.mMaxParticlesCount);
  EXPECT_EQ(0.0f, e.mEmitterLifeTime);
  EXPECT_FALSE(e.mLooped);
  EXPECT_EQ(0, e.getTailSettings().mMaxSegments);
  // Curves the file lacks take the running defaults rather than no lines at all.
  EXPECT_FLOAT_EQ(50.0f, e.mEmitRate.getAverageValue(0));
  EXPECT_FLOAT_EQ(2.5f, e.mInitialLifeTime.getAverageValue(0));
  EXPECT_EQ(0x7F7F7F7Fu, e.mParticleColor.getValue(0, 0).value);
  EXPECT_FLOAT_EQ(1.0f, e.mInitialScaleY.getValue(0, 70));
  ASSERT_EQ(1u, e.mParticleAffectors.size());
  auto* gravity = dynamic_cast<KR::ParticleGravityAffector*>(e.mParticleAffectors[0]);
  ASSERT_NE(nullptr, gravity);
  EXPECT_EQ(KR::Vector2<float>(0.0f, 1.0f), gravity->mDirection);
  EXPECT_FLOAT_EQ(2.5f, gravity->mForce.getAverageValue(40));
  // Without "ParticleFX" the root is an effect without emitters.
  std::unique_ptr<KR::ParticleFX> bare = readEffect("<root/>");
  ASSERT_TRUE(bare);
  EXPECT_TRUE(bare->mParticleEmitters.empty());
}

TEST_F(ParticleFilesTest, UnknownAndMissingEntriesAreLeftOutOrMadeBare) {
  std::unique_ptr<KR::ParticleFX> effect = readEffect(
      "<root><ParticleFX><mParticleEmitters sz=\"3\">"
      "<e0 class_name=\"ParticleSmokeEmitter\"/>"
      "<e1 class_name=\"ParticleRotateAffector\"/>"
      "<e2 class_name=\"ParticleCircleEmitter\"><mRadius v=\"7\"/>"
      "<mParticleAffectors sz=\"2\"><e0 class_name=\"ParticleAutoRotateAffector\"><mDiffAngle v=\"90\"/></e0>"
      "<e5 class_name=\"ParticleGravityAffector\"/></mParticleAffectors></e2>"
      "</mParticleEmitters></ParticleFX></root>");
  ASSERT_TRUE(effect);
  EXPECT_TRUE(log.contains("WARNING: XmlIArchive: unknown class_name 'ParticleSmokeEmitter'"));
  EXPECT_TRUE(log.contains("WARNING: XmlIArchive: class_name 'ParticleRotateAffector' of member 'e1' is not a"));
  ASSERT_EQ(1u, effect->mParticleEmitters.size());
  auto* circle = dynamic_cast<KR::ParticleCircleEmitter*>(effect->mParticleEmitters[0]);
  ASSERT_NE(nullptr, circle);
  EXPECT_FLOAT_EQ(7.0f, circle->mRadius);
  // "sz" 2 with "e0" and "e5": the second entry reads from the absent "e1", a bare affector.
  ASSERT_EQ(2u, circle->mParticleAffectors.size());
  EXPECT_EQ("ParticleAutoRotateAffector", circle->mParticleAffectors[0]->getClassName());
  EXPECT_EQ("ParticleAffector", circle->mParticleAffectors[1]->getClassName());
}

// Writes down what the visitor is handed.
class Recorder : public KR::IAuxVisitor {
 public:
  void beginGroup() override { events.push_back("{"); }
  void endGroup() override { events.push_back("}"); }
  void visit(KR::AuxArchive&, KR::nvp<KR::TimedValueInterval<KR::Color>> m) override { add("colors", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<KR::ValueRange<KR::Vector2<float>>> m) override { add("range", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<KR::ParticleFX> m) override { add("effect", m.first); }
  void visit(KR::AuxArchive& ar, KR::nvp<KR::TimedValueInterval<float>> m) override {
    add("curve", m.first);
    if (descend) m.second->serializeAux(ar);
  }
  void visit(KR::AuxArchive&, KR::nvp<KR::ParticleAffector> m) override { add("affector", m.first); }
  void visit(KR::AuxArchive& ar, KR::nvp<KR::ParticleEmitter> m) override {
    add("emitter", m.first);
    if (descend) m.second->serializeAux(ar);
  }
  void visit(KR::AuxArchive&, KR::nvp<bool> m) override { add("bool", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<KR::Color> m) override { add("color", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<KR::Rect> m) override { add("rect", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<KR::Vector2<float>> m) override { add("vector", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<std::string> m) override { add("string", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<float> m) override { add("float", m.first); }
  void visit(KR::AuxArchive&, KR::nvp<int> m) override { add("int", m.first); }

  std::string joined() const {
    std::string all;
    for (const std::string& e : events) all += e + " ";
    return all;
  }
  bool descend = false;
  std::vector<std::string> events;

 private:
  void add(const char* kind, const std::string& name) { events.push_back(std::string(kind) + ":" + name); }
};

TEST_F(ParticleFilesTest, TheVisitorReceivesMembersInFileOrder) {
  KR::ParticleFX effect;
  auto* box = new KR::ParticleBoxEmitter();
  box->mParticleAffectors = {new KR::ParticleGravityAffector()};
  effect.mParticleEmitters = {box};
  Recorder shallow;
  KR::AuxArchive archive(&shallow);
  effect.serializeAux(archive);
  EXPECT_EQ("vector:mPosition { { emitter:e0 } } bool:mDestroyIfDead string:mAnimationFilename bool:mLoopedAnimation ",
            shallow.joined());

  Recorder deep;
  deep.descend = true;
  KR::AuxArchive deepArchive(&deep);
  box->mEmitRate = KR::Test::floatCurve({{0, 1.0f}});
  box->serializeAux(deepArchive);
  const std::string expected =
      "rect:mRect float:mRectAngle int:mMinParticlesCount int:mMaxParticlesCount vector:mPosition "
      "curve:mEmitRate { { { { int:time float:value } } } } int:mLinesCount float:mMinValue float:mMaxValue "
      "bool:mSingleLine string:mSpriteFileName string:mSpriteTableName curve:mInitialLifeTime { } int:mLinesCount "
      "float:mMinValue float:mMaxValue bool:mSingleLine colors:mParticleColor curve:mInitialScaleX { } "
      "int:mLinesCount float:mMinValue float:mMaxValue bool:mSingleLine curve:mInitialScaleY { } int:mLinesCount "
      "float:mMinValue float:mMaxValue bool:mSingleLine { { affector:e0 } } float:mEmitterLifeTime bool:mLooped "
      "float:mEmitterDelay int:mBlendMode bool:mGlobalCoords bool:mUseTails int:mHeadSizeTex int:mMaxSegments "
      "float:mFadeSpeed float:mMinDistSegments int:mHeadSize ";
  EXPECT_EQ(expected, deep.joined());
}

}  // namespace
