// The showcase's scene-graph page: its tree drawn off screen at frames 12
// and 60 matches the committed reference images (a missing reference is
// written next to the test binary instead); markers report their completion
// and Enter's clone plays beside the tree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "core/showcase/showcase_scene_graph_page.h"
#include "showcase_scene_page_test_support.h"

namespace {

using SceneGraphPageTest = KR::Test::ShowcaseScenePageTest<HOG::SceneGraphShowcasePage>;

TEST_F(SceneGraphPageTest, DrawsTheTreeAsTheReferenceImagesShowAtTwoFrames) {
  ASSERT_TRUE(page->load());
  AE::ISceneNode* root = page->getRoot();
  EXPECT_EQ("camera_a", root->getActiveCamera()->mName);
  advanceTo(12);
  expectReference("scene_graph_frame12");
  advanceTo(60);
  EXPECT_EQ("camera_b", root->getActiveCamera()->mName) << "the second camera from frame 48";
  expectReference("scene_graph_frame60");
}

TEST_F(SceneGraphPageTest, MarkersReportCompletionAndTheCloneHasItsOwnTree) {
  ASSERT_TRUE(page->load());
  AE::ISceneNode* root = page->getRoot();
  // The Lua-only band came from the script; the others from the sheet.
  auto* band = static_cast<AE::SpriteSceneNode*>(AE::ISceneNode::findChild("band", root));
  ASSERT_NE(nullptr, band->getSprite());
  auto* hand = static_cast<AE::SpriteSceneNode*>(AE::ISceneNode::findChild("hand", root));
  EXPECT_EQ(4u, hand->getFrameCount());

  page->playMarker(0);
  EXPECT_EQ("marker 'spin' playing", page->getStatus());
  for (int i = 0; i < 60; ++i) page->advance(1.0f / 24.0f);
  EXPECT_EQ("marker 'spin' complete", page->getStatus());

  page->cloneTree();
  AE::ISceneNode* clone = page->getClone();
  ASSERT_NE(nullptr, clone);
  AE::ISceneNode* clonedSpinner = AE::ISceneNode::findChild("spinner", clone);
  ASSERT_NE(nullptr, clone->findMarker("spin"));
  EXPECT_EQ(clonedSpinner, clone->findMarker("spin")->mEntries[0]->node);
  ASSERT_NE(nullptr, clone->getActiveCamera());
  EXPECT_EQ(clone, clone->getActiveCamera()->mParent) << "the clone films through its own camera";
  page->advance(0.5f);
  EXPECT_EQ(clone, clone->getActiveCamera()->mParent);
  EXPECT_TRUE(AE::ISceneNode::findChild("walker", clone)->mPlaying);
}

}  // namespace
