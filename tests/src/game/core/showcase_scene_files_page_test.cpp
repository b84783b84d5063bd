// The showcase's scene-files page over the built demo media: the demo scene
// loaded from its file and drawn off screen at frames 0 and 48 matches the
// committed reference images (a missing reference is written next to the
// test binary instead); markers complete; Enter's reload keeps the list of
// loaded scenes and the particle pool steady.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "animationeditor/movie_camera.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "core/showcase/showcase_scene_files_page.h"
#include "lua_script_2.h"
#include "object_factory.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "showcase_scene_page_test_support.h"

namespace {

class SceneFilesPageTest : public KR::Test::ShowcaseScenePageTest<HOG::SceneFilesShowcasePage> {
 protected:
  void SetUp() override {
    ShowcaseScenePageTest::SetUp();
    factory = std::make_unique<KR::ObjectFactory>();
    particles = std::make_unique<KR::ParticleSystem>();
    // The sparkles scatter the same way on every run.
    KR::seedSharedRandom(19);
  }
  void TearDown() override {
    page.reset();
    particles.reset();
    factory.reset();
    ShowcaseScenePageTest::TearDown();
  }

  std::unique_ptr<KR::ObjectFactory> factory;
  std::unique_ptr<KR::ParticleSystem> particles;
};

TEST_F(SceneFilesPageTest, DrawsTheLoadedSceneAsTheReferenceImagesShowAtFrames0And48) {
  ASSERT_TRUE(page->load());
  AE::ISceneNode* scene = page->getScene();
  EXPECT_EQ("camera_a", scene->getActiveCamera()->mName);
  expectReference("scene_files_frame0");
  advanceTo(48);
  auto* sparks = static_cast<AE::ParticleSceneNode*>(AE::ISceneNode::findChild("sparks", scene));
  ASSERT_NE(nullptr, sparks->getEffect());
  EXPECT_GT(sparks->getEffect()->getLiveCount(), 0);
  expectReference("scene_files_frame48");
}

TEST_F(SceneFilesPageTest, MarkersCompleteAndReloadingKeepsTheListsSteady) {
  ASSERT_TRUE(page->load());
  page->playMarker(1);
  EXPECT_EQ("marker 'walk' playing", page->getStatus());
  for (int i = 0; i < 60; ++i) page->advance(1.0f / 24.0f);
  EXPECT_EQ("marker 'walk' complete", page->getStatus());
  EXPECT_EQ("camera_b", page->getScene()->getActiveCamera()->mName) << "the second camera after frame 48";

  page->reload();
  EXPECT_EQ("camera_a", page->getScene()->getActiveCamera()->mName);
  const size_t scenes = AE::getLoadedSceneCount();
  const size_t pooled = particles->getPoolSize(), active = particles->getActiveCount();
  for (int i = 0; i < 3; ++i) {
    page->advance(0.5f);
    page->reload();
    EXPECT_EQ(scenes, AE::getLoadedSceneCount());
    EXPECT_EQ(pooled, particles->getPoolSize());
    EXPECT_EQ(active, particles->getActiveCount());
  }
  EXPECT_EQ(0, page->getFrame()) << "a reloaded scene starts again";
  EXPECT_EQ("reloaded 4 times: 1 loaded scenes, 0 pooled effects", page->getStatus());
}

}  // namespace
