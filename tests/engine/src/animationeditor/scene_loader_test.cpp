// Scene files through AE::loadScene over the demo media: the plain section's
// defaults and value rules, frames and Bezier keys, the "Childs" walk, dropped
// sprites, markers in both play-list layouts, each kind's own keys, the
// loose-file fallback and the list of loaded scenes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "object_factory.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "src/game/core/showcase_test_support.h"

namespace {

using AE::ISceneNode;

class SceneLoaderTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    texts = std::make_unique<KR::TextManager>();
    openDevice();
    openSpritesAndFonts();
    factory = std::make_unique<KR::ObjectFactory>();
    particles = std::make_unique<KR::ParticleSystem>();
    folder = KR::Test::scratchDir("scene-loader");
  }
  void TearDown() override {
    particles.reset();
    factory.reset();
    ShowcaseTest::TearDown();
  }

  // The scene of this text, loaded from a file of its own (the loose-file path).
  std::unique_ptr<ISceneNode> load(const std::string& body) {
    const std::string path = folder + "/scene" + std::to_string(++count) + ".xml";
    KR::Test::writeFile(path, "<Scene>" + body + "</Scene>");
    return std::unique_ptr<ISceneNode>(AE::loadScene(path));
  }
  template <typename T>
  static T key(const ISceneNode* node, const char* track, uint32_t index) {
    return node->mAnimation->getKeyframe<T>(track, index).value;
  }

  std::unique_ptr<KR::ObjectFactory> factory;
  std::unique_ptr<KR::ParticleSystem> particles;
  std::string folder;
  int count = 0;
};

TEST_F(SceneLoaderTest, PlainObjectsTakeTheirDefaultsAndTheFilesValueRules) {
  auto scene = load(
      "<Object name='bare'/>"
      "<Object type='sprite' name='lower'>"
      "  <Parameters Enable='Yes' ParallaxEnabled='no'/>"
      "  <frames loop='t'>"
      "    <frame StartFrame='0x10'><Attributes X='1'/></frame>"
      "    <frame StartFrame='10'><Attributes X='5' bezierPosEnabled='1' bezierX='5' bezierCoeffX='0.3'/></frame>"
      "    <frame StartFrame='10'><Attributes X='7' bezierPosEnabled='1' bezierX='5' bezierCoeffX='0.3'"
      "                                      scaleX='1' shear10='0.5'/></frame>"
      "  </frames>"
      "</Object>"
      "<Object name='on'><Parameters Enable='true'/></Object>"
      "<Object name='off'><Parameters Enable='on'/></Object>"
      "<Object name='empty'><Parameters Enable=''/></Object>"
      "<Object name='values'><Parameters A='1' R='0.5' G='1.5' B='0' scaleX='2.5e0x' scaleY='1' shear01='3'/>"
      "</Object>");
  ASSERT_NE(nullptr, scene);
  ASSERT_EQ(6u, scene->mChildren.size());
  const ISceneNode* bare = scene->mChildren[0];
  EXPECT_EQ(AE::kPlainNode, bare->getNodeType());
  EXPECT_EQ(0.0f, bare->mScaleX);
  EXPECT_EQ(0.0f, bare->mScaleY);
  EXPECT_FALSE(bare->mEnabled);
  EXPECT_EQ(0u, bare->mColor.value) << "black with alpha 0";
  EXPECT_TRUE(bare->mParallaxEnabled);

  const ISceneNode* lower = scene->mChildren[1];
  EXPECT_EQ(AE::kPlainNode, lower->getNodeType()) << "types are case-sensitive";
  EXPECT_TRUE(lower->mEnabled);
  EXPECT_FALSE(lower->mParallaxEnabled);
  EXPECT_TRUE(lower->mLoop);
  EXPECT_TRUE(lower->mAnimation->mLoop);
  // "0x10" is 0 in base 10; the second frame at 10 wins.
  ASSERT_EQ((std::vector<uint32_t>{0, 10}), lower->mAnimation->mKeyFrames);
  EXPECT_EQ(1.0f, key<float>(lower, "posX", 0));
  EXPECT_EQ(0.0f, key<float>(lower, "scaleX", 0)) << "an absent frame scale keys 0";
  EXPECT_EQ(7.0f, key<float>(lower, "posX", 1));
  const AE::TrackKey<float>& x = lower->mAnimation->getKeyframe<float>("posX", 1);
  EXPECT_EQ(5.0f, x.handle);
  EXPECT_FLOAT_EQ(0.3f, x.handlePosition);
  EXPECT_TRUE(x.bezier);
  EXPECT_TRUE(lower->mAnimation->getKeyframe<float>("posY", 1).bezier);
  // A plain object's frame without shear00 keys the identity.
  EXPECT_EQ(1.0f, key<float>(lower, "shear00", 1));
  EXPECT_EQ(0.0f, key<float>(lower, "shear10", 1));

  EXPECT_TRUE(scene->mChildren[2]->mEnabled);
  EXPECT_FALSE(scene->mChildren[3]->mEnabled);
  EXPECT_FALSE(scene->mChildren[4]->mEnabled);
  const ISceneNode* values = scene->mChildren[5];
  EXPECT_EQ(0xFF7F7E00u, values->mColor.value) << "truncated channels, low 8 bits kept";
  EXPECT_EQ(2.5f, values->mScaleX) << "the leading number of the text";
  EXPECT_EQ(0.0f, values->mShear.m[1]) << "shear only with shear00";
}

TEST_F(SceneLoaderTest, ChildrenDroppedSpritesAndMarkersInBothLayouts) {
  auto scene = load(
      "<Other name='skipped'/>"
      "<Object name='top'>"
      "  <Childs>"
      "    <Note name='before'/>"
      "    <Object name='a'/>"
      "    <Object type='Sprite' name='broken' filename='no_such_image' tablename='default'>"
      "      <Childs><Object name='orphan'/></Childs>"
      "    </Object>"
      "    <Thing name='b'><Childs><Object name='deep'/></Childs></Thing>"
      "  </Childs>"
      "  <markers><m><name>own</name><playList name='deep' from='12abc' to='24' looped='Y'/></m></markers>"
      "</Object>"
      "<markers>"
      "  <marker><name>flat</name>"
      "    <playList path='/top/b/deep' name='a' from='1' to='2' recursive='1'/>"
      "    <entry name='a'/><entry name='deep'/><entry name='missing'/>"
      "  </marker>"
      "  <marker><name>nested</name><playList><e name='a' looped='n'/><e path='/top'/></playList></marker>"
      "  <marker><name>empty</name><playList name='nobody'/></marker>"
      "</markers>");
  ASSERT_NE(nullptr, scene);
  ASSERT_EQ(1u, scene->mChildren.size()) << "only \"Object\" at the top";
  ISceneNode* top = scene->mChildren[0];
  ASSERT_EQ(2u, top->mChildren.size());
  EXPECT_EQ("a", top->mChildren[0]->mName);
  EXPECT_EQ("b", top->mChildren[1]->mName) << "any element after the first Object is an object";
  EXPECT_EQ(nullptr, ISceneNode::findChild("orphan", scene.get())) << "a dropped sprite takes its subtree";
  EXPECT_TRUE(log.contains("Failed to create sprite from no_such_image"));
  ISceneNode* deep = ISceneNode::findChild("deep", scene.get());
  ASSERT_NE(nullptr, deep);

  // Markers are read after the children, so they reach them.
  AE::Marker* own = top->findMarker("own");
  ASSERT_NE(nullptr, own);
  ASSERT_EQ(1u, own->mEntries.size());
  EXPECT_EQ(deep, own->mEntries[0]->node);
  EXPECT_EQ(12, own->mEntries[0]->from);
  EXPECT_TRUE(own->mEntries[0]->looped);

  AE::Marker* flat = scene->findMarker("flat");
  ASSERT_NE(nullptr, flat);
  ASSERT_EQ(2u, flat->mEntries.size()) << "path wins over name; repeats and missing nodes are dropped";
  EXPECT_EQ(deep, flat->mEntries[0]->node);
  EXPECT_TRUE(flat->mEntries[0]->recursive);
  EXPECT_EQ("a", flat->mEntries[1]->node->mName);
  AE::Marker* nested = scene->findMarker("nested");
  ASSERT_NE(nullptr, nested);
  ASSERT_EQ(2u, nested->mEntries.size());
  EXPECT_FALSE(nested->mEntries[0]->looped);
  EXPECT_EQ(top, nested->mEntries[1]->node);
  ASSERT_NE(nullptr, scene->findMarker("empty"));
  EXPECT_TRUE(scene->findMarker("empty")->mEntries.empty());
}

// Frames written backwards (or in any order) load into the keys that frames
// written forwards give, frames of one number keeping the last written.
TEST_F(SceneLoaderTest, FramesInAnyOrderLoadAsWrittenForwards) {
  auto frames = [](bool backwards) {
    std::string plain, text;
    for (int i = 0; i < 200; ++i) {
      const int f = backwards ? 199 - i : i;
      const std::string n = std::to_string(f);
      plain += "<frame StartFrame='" + n + "'><Attributes X='" + std::to_string(f * 3) + "' Y='" + n + "'/></frame>";
      text +=
          "<frame StartFrame='" + n + "'><Attributes MaxChar='" + std::to_string(f % 7) + "' X='" + n + "'/></frame>";
    }
    // Frame 50 again: the later one stands.
    plain += "<frame StartFrame='50'><Attributes X='-1'/></frame>";
    return "<Object name='plain'><frames>" + plain + "</frames></Object>" +
           "<Object type='Text' name='text' filename='font2_fnt'><Parameters Text='Hi'/><frames>" + text +
           "</frames></Object>";
  };
  auto forwards = load(frames(false)), backwards = load(frames(true));
  ASSERT_NE(nullptr, forwards);
  ASSERT_NE(nullptr, backwards);
  for (const char* name : {"plain", "text"}) {
    const ISceneNode* f = ISceneNode::findChild(name, forwards.get());
    const ISceneNode* b = ISceneNode::findChild(name, backwards.get());
    ASSERT_NE(nullptr, f);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(200u, b->mAnimation->mKeyFrames.size()) << name;
    EXPECT_EQ(f->mAnimation->mKeyFrames, b->mAnimation->mKeyFrames) << name;
    for (uint32_t i = 0; i < 200; ++i) {
      EXPECT_EQ(key<float>(f, "posX", i), key<float>(b, "posX", i)) << name << " key " << i;
      EXPECT_EQ(key<float>(f, "posY", i), key<float>(b, "posY", i)) << name << " key " << i;
    }
  }
  const ISceneNode* plain = ISceneNode::findChild("plain", backwards.get());
  EXPECT_EQ(-1.0f, key<float>(plain, "posX", 50));
  EXPECT_EQ(0.0f, key<float>(plain, "posY", 50)) << "the later frame 50 left Y out";
  EXPECT_EQ(597.0f, key<float>(plain, "posX", 199));
  const ISceneNode* text = ISceneNode::findChild("text", backwards.get());
  for (uint32_t i = 0; i < 200; i += 37) EXPECT_EQ(int32_t(i % 7), key<int32_t>(text, "maxChar", i));
}

TEST_F(SceneLoaderTest, EachKindReadsItsOwnKeys) {
  auto scene = load(
      "<Object type='Sprite' name='hand' filename='demo_scene_sprites' tablename='SceneHand'>"
      "  <Parameters Enable='1' BlendMode='2' UseStencil='1'/>"
      "  <frames>"
      "    <frame StartFrame='0'><Attributes frameIndex='2' shear10='0.5' BlendMode='2'/></frame>"
      "    <frame StartFrame='1'><Attributes frameIndex='4'/></frame>"
      "    <frame StartFrame='2'><Attributes frameIndex='-3'/></frame>"
      "  </frames>"
      "</Object>"
      "<Object type='Text' name='text' filename='font2_fnt'>"
      "  <Parameters Text='Hi' HAlign='2' VAlign='0x1' TextAreaX='100' MaxChar='5'/>"
      "  <frames><frame><Attributes bezierCoeffScaleX='0.25' MaxChar='3' shear10='2' HAlign='2' VAlign='0x1'"
      "                            TextAreaX='100'/></frame></frames>"
      "</Object>"
      "<Object type='ParticleFX' name='grey' filename='sparkles_fx'><Parameters color='128'/></Object>"
      "<Object type='ParticleFX' name='wrapped' filename='no_such_fx'><Parameters color='256'/></Object>"
      "<Object type='ParticleFX' name='white' filename='sparkles_fx'/>"
      "<Object type='ParticleFX' name='keyed' filename='sparkles_fx'>"
      "  <frames><frame StartFrame='3'><Attributes emitCoef='2.5' play='0'/></frame></frames>"
      "</Object>"
      "<Object type='MovieCamera' name='cam1'><Parameters parallaxEnable='1'/>"
      "  <frames><frame StartFrame='0'/><frame StartFrame='5'/></frames>"
      "  <Activationframes><Attribute startFrame='5'/><Attribute startFrame='7'/><Attribute startFrame='5'/>"
      "  </Activationframes>"
      "</Object>"
      "<Object type='MovieCamera' name='cam2'><Parameters ParallaxEnabled='0' parallaxEnable='1'/></Object>"
      "<Object type='Sound' name='sound' filename='no_such_sound'>"
      "  <Parameters Angle='90' angle='45' PivotPointX='3' PivotPoint.y='4' PivotPointY='9' Volume='0.5'"
      "              Playing='1' fading='1'/>"
      "</Object>");
  ASSERT_NE(nullptr, scene);
  auto* hand = static_cast<AE::SpriteSceneNode*>(ISceneNode::findChild("hand", scene.get()));
  ASSERT_NE(nullptr, hand);
  EXPECT_EQ(2, hand->mBlendMode);
  EXPECT_EQ(AE::SpriteSceneNode::kStencilMask, hand->mStencilMode);
  ASSERT_EQ(4u, hand->getFrameCount());
  EXPECT_EQ(2, key<int32_t>(hand, "frameIndex", 0));
  EXPECT_EQ(0, key<int32_t>(hand, "frameIndex", 1)) << "one past the end keys frame 0";
  EXPECT_EQ(0, key<int32_t>(hand, "frameIndex", 2)) << "a negative index keys frame 0";
  EXPECT_EQ(0.0f, key<float>(hand, "shear10", 0)) << "no shear00 in the Parameters: identity";

  auto* text = static_cast<AE::TextSceneNode*>(ISceneNode::findChild("text", scene.get()));
  EXPECT_EQ(L"Hi", text->getText());
  EXPECT_EQ(2, text->mHAlign);
  EXPECT_EQ(0, text->mVAlign);
  EXPECT_EQ(100.0f, text->mArea.x);
  EXPECT_FLOAT_EQ(0.25f, text->mAnimation->getKeyframe<float>("scaleX", 0).handlePosition);
  EXPECT_EQ(3, key<int32_t>(text, "maxChar", 0));
  EXPECT_EQ(0.0f, key<float>(text, "shear10", 0));

  auto* grey = static_cast<AE::ParticleSceneNode*>(ISceneNode::findChild("grey", scene.get()));
  EXPECT_EQ(0x80808080u, grey->mColor.value);
  EXPECT_NE(nullptr, grey->getEffect());
  auto* wrapped = static_cast<AE::ParticleSceneNode*>(ISceneNode::findChild("wrapped", scene.get()));
  EXPECT_EQ(0u, wrapped->mColor.value);
  EXPECT_EQ(nullptr, wrapped->getEffect()) << "a missing effect leaves the node without one";
  auto* white = static_cast<AE::ParticleSceneNode*>(ISceneNode::findChild("white", scene.get()));
  EXPECT_EQ(0xFFFFFFFFu, white->mColor.value);
  EXPECT_TRUE(white->mParallaxEnabled);
  auto* keyed = static_cast<AE::ParticleSceneNode*>(ISceneNode::findChild("keyed", scene.get()));
  EXPECT_EQ(2.5f, key<float>(keyed, "emitCoef", 0));
  EXPECT_EQ(0, key<int32_t>(keyed, "play", 0));
  EXPECT_EQ(1.0f, key<float>(keyed, "scaleX", 0));

  auto* cam1 = static_cast<AE::MovieCamera*>(ISceneNode::findChild("cam1", scene.get()));
  EXPECT_TRUE(cam1->mParallaxEnabled);
  EXPECT_EQ(std::vector<int32_t>{5}, cam1->getActivationFrames()) << "key frames only, once each";
  EXPECT_FALSE(ISceneNode::findChild("cam2", scene.get())->mParallaxEnabled);

  auto* sound = static_cast<AE::SoundSceneNode*>(ISceneNode::findChild("sound", scene.get()));
  EXPECT_EQ(90.0f, sound->mRotation) << "\"Angle\", not \"angle\"";
  EXPECT_EQ(KR::Vector2<float>(3.0f, 4.0f), sound->mPivot) << "\"PivotPoint.y\"";
  EXPECT_EQ(0.5f, sound->mVolume);
  EXPECT_EQ(1, sound->mPlay);
  EXPECT_TRUE(sound->mFading);
}

TEST_F(SceneLoaderTest, ParticleNodesSeekFreezeAndFade) {
  AE::gLoopEnabled = 1;
  auto scene = load(
      "<Object type='ParticleFX' name='fx' filename='sparkles_fx'>"
      "  <Parameters Enable='1' emitCoef='1'/>"
      "  <frames><frame StartFrame='0'><Attributes emitCoef='1' play='1'/></frame>"
      "          <frame StartFrame='24'><Attributes emitCoef='1' play='0'/></frame></frames>"
      "</Object>");
  auto* fx = static_cast<AE::ParticleSceneNode*>(scene->mChildren.at(0));
  ASSERT_NE(nullptr, fx->getEffect());
  KR::ParticleEmitter* emitter = fx->getEffect()->mParticleEmitters.at(0);
  // Seeking restarts the effect and runs it in one step.
  fx->setTime(0.5f, false);
  fx->setTime(2.0f, false);
  EXPECT_FLOAT_EQ(2.0f, emitter->mTime) << "from the start, not on from 0.5 s";
  fx->setTime(0.25f, false);
  EXPECT_FLOAT_EQ(0.25f, emitter->mTime);
  EXPECT_GT(fx->getEffect()->getLiveCount(), 0);

  // Past frame 24 "play" is 0: the effect stands still.
  scene->play(true);
  fx->setTime(0.0f, false);
  for (int i = 0; i < 30; ++i) scene->update(1.0f / 24.0f);
  EXPECT_EQ(0, fx->mPlay);
  const float frozen = emitter->mTime;
  const int live = fx->getEffect()->getLiveCount();
  for (int i = 0; i < 10; ++i) scene->update(1.0f / 24.0f);
  EXPECT_EQ(frozen, emitter->mTime);
  EXPECT_EQ(live, fx->getEffect()->getLiveCount());

  // The node's alpha multiplies the effect; alpha 1 draws nothing.
  fx->mDerivedColor = KR::Color::fromARGB(0x80FFFFFF);
  fx->renderDerived();
  EXPECT_FLOAT_EQ(128.0f / 255.0f, emitter->mAlpha);
  fx->mDerivedColor = KR::Color::fromARGB(0x01FFFFFF);
  fx->renderDerived();
  EXPECT_FLOAT_EQ(128.0f / 255.0f, emitter->mAlpha);
  renderSystem->flushBatch();
  AE::gLoopEnabled = 0;
}

TEST_F(SceneLoaderTest, ParticleAndSoundNodesSurviveTheirBinaryRoundTrip) {
  auto scene = load(
      "<Object type='ParticleFX' name='fx' filename='sparkles_fx'>"
      "  <Parameters Enable='1' emitCoef='0.5' Stencil='1'/>"
      "  <frames><frame StartFrame='4'><Attributes emitCoef='2' play='0'/></frame></frames></Object>"
      "<Object type='Sound' name='snd' filename='demo_click_sound'>"
      "  <Parameters Volume='0.25' SoundGroup='2' fading='1' priority='3'/>"
      "  <frames><frame StartFrame='6'><Attributes Volume='0.75' playSound='1'/></frame></frames></Object>");
  for (ISceneNode* node : scene->mChildren) {
    AE::MemoryNodeStream stream;
    node->writeBinary(stream, false);
    std::unique_ptr<ISceneNode> copy(node->getNodeType() == AE::kParticleNode
                                         ? static_cast<ISceneNode*>(new AE::ParticleSceneNode())
                                         : static_cast<ISceneNode*>(new AE::SoundSceneNode()));
    copy->readBinary(stream);
    EXPECT_EQ(0u, stream.remaining()) << node->mName;
    AE::MemoryNodeStream again;
    copy->writeBinary(again, false);
    EXPECT_EQ(stream.bytes(), again.bytes()) << node->mName;
  }
  auto* fx = static_cast<AE::ParticleSceneNode*>(scene->mChildren[0]);
  AE::MemoryNodeStream stream;
  fx->writeBinary(stream, false);
  AE::ParticleSceneNode copy;
  copy.readBinary(stream);
  EXPECT_EQ(2.0f, copy.mEmitCoef) << "as keyed";
  EXPECT_TRUE(copy.mStencil);
  EXPECT_NE(nullptr, copy.getEffect()) << "the effect is made again from its name";
  EXPECT_EQ(2.0f, key<float>(&copy, "emitCoef", 0));
}

TEST_F(SceneLoaderTest, LooseFilesBadFilesAndTheListOfLoadedScenes) {
  const size_t before = AE::getLoadedSceneCount();
  // A relative name in no package is read from the working folder.
  char cwd[4096];
  ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
  ASSERT_EQ(0, chdir(folder.c_str()));
  KR::Test::writeFile(folder + "/loose_scene.xml", "<Scene><Object name='n'/></Scene>");
  std::unique_ptr<ISceneNode> loose(AE::loadScene("loose_scene.xml"));
  ASSERT_EQ(0, chdir(cwd));
  ASSERT_NE(nullptr, loose);
  EXPECT_EQ("loose_scene.xml", loose->mName);
  EXPECT_EQ("loose_scene.xml", loose->mSourceFile);
  EXPECT_TRUE(AE::isLoadedScene(loose.get()));
  // The packaged demo scene.
  std::unique_ptr<ISceneNode> demo(AE::loadScene("scene_files_demo_xml"));
  ASSERT_NE(nullptr, demo);
  EXPECT_NE(nullptr, demo->findByPath("/spinner/arm/leaf"));
  EXPECT_EQ(before + 2, AE::getLoadedSceneCount());
  demo.reset();
  loose.reset();
  EXPECT_EQ(before, AE::getLoadedSceneCount()) << "a deleted root leaves the list";
  // A folder opens like a file but is none (read whole, its size would be absurd).
  EXPECT_EQ(nullptr, AE::loadScene(folder));

  const size_t lines = log.lines().size();
  EXPECT_EQ(nullptr, AE::loadScene("no_such_scene.xml"));
  KR::Test::writeFile(folder + "/broken.xml", "<Scene><Object name='x'></Scene>");
  EXPECT_EQ(nullptr, AE::loadScene(folder + "/broken.xml"));
  // Each failure names its file and why.
  EXPECT_EQ(lines + 2, log.lines().size());
  EXPECT_TRUE(log.contains("ERROR: Scene file 'no_such_scene.xml' cannot be loaded: the file does not exist"));
  EXPECT_TRUE(log.contains("ERROR: Scene file '" + folder + "/broken.xml' cannot be loaded: its XML is damaged: "));
  EXPECT_EQ(nullptr, load("<Object>"));
  // Nesting deeper than any scene is cut off with a line rather than exhausting the stack.
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<Object name='n'><Childs>";
  for (int i = 0; i < 5000; ++i) deep += "</Childs></Object>";
  auto nested = load(deep);
  ASSERT_NE(nullptr, nested);
  EXPECT_TRUE(log.contains("nests objects deeper than 128 levels"));
  int levels = 0;
  for (const ISceneNode* n = nested.get(); !n->mChildren.empty(); n = n->mChildren[0]) ++levels;
  EXPECT_EQ(128, levels);
  KR::Test::writeFile(folder + "/noscene.xml", "<Other/>");
  std::unique_ptr<ISceneNode> empty(AE::loadScene(folder + "/noscene.xml"));
  ASSERT_NE(nullptr, empty);
  EXPECT_TRUE(empty->mChildren.empty());
}

}  // namespace
