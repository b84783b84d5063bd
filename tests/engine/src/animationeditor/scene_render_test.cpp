// Drawing a tree: depth order with ties, depth ranges, the camera with
// parallax and its restoration, and stencil masks read back from the frame.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "src/game/core/showcase_test_support.h"

namespace {

using AE::ISceneNode;

// Records its drawing and the render camera it drew under.
class Probe : public ISceneNode {
 public:
  Probe(std::vector<std::string>* log, const char* name, float z) : drawn(log) {
    mName = name;
    mPosZ = z;
  }
  void renderDerived() override {
    applyCamera();
    drawn->push_back(mName);
    const float* c = KR::RenderSystem::getInstance()->mCamera;
    cameraX = c[KR::CAM_X];
    cameraY = c[KR::CAM_Y];
  }
  std::vector<std::string>* drawn;
  float cameraX = 0.0f, cameraY = 0.0f;
};

class SceneRenderTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
  }

  template <typename Node>
  Node* add(ISceneNode* parent, Node* node) {
    parent->addChild(node, true);
    return node;
  }
  Probe* probe(ISceneNode* parent, const char* name, float z) { return add(parent, new Probe(&drawn, name, z)); }

  AE::SpriteSceneNode* disc(ISceneNode* parent, float x, float y, KR::Color colour) {
    AE::SpriteSceneNode* node = add(parent, new AE::SpriteSceneNode());
    EXPECT_TRUE(node->loadFromTexture("demo_sprite_disc"));
    node->setSize(KR::Vector2<float>(40.0f, 40.0f));
    node->mPosX = x;
    node->mPosY = y;
    node->mColor = colour;
    return node;
  }
  // Only that channel (16 red, 8 green, 0 blue) is lit.
  bool only(int x, int y, int shift) const {
    const uint32_t p = pixel(x, y);
    for (int s : {0, 8, 16}) {
      const uint32_t v = (p >> s) & 0xFF;
      if (s == shift ? v < 120 : v > 40) return false;
    }
    return true;
  }
  uint32_t pixel(int x, int y) const {
    const size_t i = (size_t(y) * width + size_t(x)) * 4;
    return uint32_t(frame[i]) << 16 | uint32_t(frame[i + 1]) << 8 | frame[i + 2];
  }

  std::vector<std::string> drawn;
};

TEST_F(SceneRenderTest, DrawsByDepthKeepingTreeOrderAmongEqualsAndHonoursRanges) {
  Probe root(&drawn, "root", 0.0f);
  Probe* parent = probe(&root, "parent", 0.0f);
  probe(parent, "child", 0.0f);
  probe(&root, "far", 5.0f);
  probe(&root, "near", 1.0f);
  probe(parent, "behind", 3.0f);
  // Ties at any size keep the collection order: fill past the small-sort limit.
  for (int i = 0; i < 40; ++i) probe(&root, i == 0 ? "first_tie" : (i == 39 ? "last_tie" : "tie"), 2.0f);
  AE::renderScene(&root);
  auto at = [&](const char* name) { return std::find(drawn.begin(), drawn.end(), name) - drawn.begin(); };
  EXPECT_LT(at("far"), at("behind"));
  EXPECT_LT(at("behind"), at("last_tie"));
  EXPECT_LT(at("last_tie"), at("first_tie")) << "the later collected of equals is drawn earlier";
  EXPECT_LT(at("first_tie"), at("near"));
  EXPECT_LT(at("near"), at("child"));
  EXPECT_LT(at("child"), at("parent")) << "a parent covers its child of the same depth";
  EXPECT_EQ(at("root") + 1, long(drawn.size())) << "the root, at depth 0 and collected first, is drawn last";

  drawn.clear();
  AE::renderSceneDepthRange(&root, 0.0f, 5.0f);
  EXPECT_EQ(drawn.end(), std::find(drawn.begin(), drawn.end(), "far")) << "the upper bound is excluded";
  EXPECT_NE(drawn.end(), std::find(drawn.begin(), drawn.end(), "parent"));
  EXPECT_EQ(45u, drawn.size());
}

TEST_F(SceneRenderTest, AppliesTheActiveCameraWithParallaxAndRestoresTheRenderCamera) {
  ISceneNode root;
  AE::MovieCamera* camera = add(&root, new AE::MovieCamera());
  camera->mParallaxEnabled = true;
  camera->mParallaxCoef = 2.0f;
  camera->setKeyframeValues(0.0f, 0, KR::Vector2<float>(80.0f, 40.0f), KR::Vector2<float>(1.0f, 1.0f));
  Probe* ground = probe(&root, "ground", 0.0f);
  Probe* hills = probe(&root, "hills", -4.0f);
  Probe* sky = probe(&root, "sky", 8.0f);
  sky->mParallaxEnabled = false;
  root.play(true);
  root.update(0.1f);
  ASSERT_EQ(camera, root.getActiveCamera());
  const float before[KR::CAM_COUNT] = {3.0f, 4.0f, 1.0f, 1.0f, 0.0f};
  renderSystem->setCamera(before);
  AE::renderScene(&root);
  EXPECT_FLOAT_EQ(-40.0f, ground->cameraX) << "depth 0 counts as 1; coefficient 2 halves the offset";
  EXPECT_FLOAT_EQ(-20.0f, ground->cameraY);
  EXPECT_FLOAT_EQ(-10.0f, hills->cameraX) << "|-4| x 2";
  EXPECT_FLOAT_EQ(-80.0f, sky->cameraX) << "without parallax the full offset";
  for (int i = 0; i < KR::CAM_COUNT; ++i) EXPECT_EQ(before[i], renderSystem->mCamera[i]) << i;

  // A coefficient of 0 leaves the offset undivided instead of making it infinite.
  camera->mParallaxCoef = 0.0f;
  AE::renderSceneDepthRange(&root, -10.0f, 10.0f);
  EXPECT_FLOAT_EQ(-80.0f, ground->cameraX);
  for (int i = 0; i < KR::CAM_COUNT; ++i) EXPECT_EQ(before[i], renderSystem->mCamera[i]) << i;
}

TEST_F(SceneRenderTest, TwoCamerasTakeTurnsByActivationFrames) {
  ISceneNode root;
  AE::MovieCamera* first = add(&root, new AE::MovieCamera());
  AE::MovieCamera* second = add(&root, new AE::MovieCamera());
  for (AE::MovieCamera* camera : {first, second}) {
    for (int frame : {0, 48, 96})
      camera->setKeyframeValues(0.0f, frame, KR::Vector2<float>(), KR::Vector2<float>(1, 1));
  }
  first->addActivationFrame(0);
  second->addActivationFrame(48);
  second->addActivationFrame(48);
  second->addActivationFrame(50);
  EXPECT_EQ(std::vector<int32_t>{48}, second->getActivationFrames()) << "key frames only, once each";
  root.play(true);
  root.goToFrame(30);
  EXPECT_EQ(first, root.mActiveCamera);
  root.goToFrame(48);
  EXPECT_EQ(second, root.mActiveCamera);
  // Storing a key on the active camera adds its frame once.
  second->storeKeyframe(60);
  second->storeKeyframe(60);
  EXPECT_EQ((std::vector<int32_t>{48, 60}), second->getActivationFrames());
  // Added in any order, the frames stay ascending and single.
  AE::MovieCamera loose;
  for (int frame : {0, 48, 96}) loose.setKeyframeValues(0.0f, frame, KR::Vector2<float>(), KR::Vector2<float>(1, 1));
  for (int frame : {96, 0, 48, 96, 0}) loose.addActivationFrame(frame);
  EXPECT_EQ((std::vector<int32_t>{0, 48, 96}), loose.getActivationFrames());
}

TEST_F(SceneRenderTest, StencilMasksClipMaskedSpritesAndAreNeverDrawnThemselves) {
  ISceneNode root;
  AE::SpriteSceneNode* mask = disc(&root, 100.0f, 100.0f, KR::Color::fromChannels(255, 255, 255, 255));
  mask->mStencilMode = AE::SpriteSceneNode::kStencilMask;
  AE::SpriteSceneNode* inside = disc(mask, 10.0f, 0.0f, KR::Color::fromChannels(255, 0, 0, 255));
  inside->mStencilMode = AE::SpriteSceneNode::kStencilMasked;
  inside->setSize(KR::Vector2<float>(200.0f, 40.0f));
  AE::SpriteSceneNode* loose = disc(&root, 300.0f, 100.0f, KR::Color::fromChannels(0, 0, 255, 255));
  loose->mStencilMode = AE::SpriteSceneNode::kStencilMasked;
  AE::SpriteSceneNode* faint = disc(&root, 400.0f, 100.0f, KR::Color::fromChannels(0, 255, 0, 1));
  root.update(0.0f);
  ASSERT_TRUE(drawTwiceAndRead([&] { AE::renderScene(&root); }));
  EXPECT_TRUE(only(130, 120, 16)) << "masked sprite inside the mask";
  EXPECT_EQ(0u, pixel(200, 120)) << "clipped outside the mask though its own quad is there";
  EXPECT_TRUE(only(320, 120, 0)) << "no mask ancestor: drawn unmasked";
  EXPECT_EQ(0u, pixel(110, 104)) << "the mask itself is not visible where the child is not";
  EXPECT_EQ(0u, pixel(420, 120)) << "derived alpha 1 is not drawn";
  EXPECT_EQ(mask, AE::lastStencilMaskNode());
  faint->mColor = KR::Color::fromChannels(0, 255, 0, 255);
  root.update(0.0f);
  ASSERT_TRUE(drawTwiceAndRead([&] { AE::renderScene(&root); }));
  EXPECT_TRUE(only(420, 120, 8));
}

}  // namespace
