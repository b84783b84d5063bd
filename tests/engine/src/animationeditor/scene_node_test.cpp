// The node base: transforms with pivot, scale, shear and rotation, the 0.001
// rebuild rule, name and path search, tree changes, play control with ranges,
// loops and rewinds, markers, clones and the binary form of a plain node.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "support/test_support.h"

namespace {

using AE::ISceneNode;

ISceneNode* child(ISceneNode* parent, const char* name) {
  ISceneNode* node = new ISceneNode();
  node->mName = name;
  parent->addChild(node, true);
  return node;
}

// A node keyed with posX 0 at frame 0 and posX 240 at frame 24 (10 per frame).
void keyLine(ISceneNode* node, int lastFrame = 24) {
  AE::NodeKeyValues v = node->currentKeyValues();
  v.posX = 0.0f;
  node->setKeyframeValues(0, v);
  v.posX = 10.0f * float(lastFrame);
  node->setKeyframeValues(lastFrame, v);
}

void expectPoint(const KR::Matrix3& m, float x, float y, float ex, float ey) {
  const KR::Vector2<float> p = m.transformPoint(KR::Vector2<float>(x, y));
  EXPECT_NEAR(ex, p.x, 1e-3f);
  EXPECT_NEAR(ey, p.y, 1e-3f);
}

class Listener : public AE::MarkerListener {
 public:
  void onMarker(AE::Marker* marker) override {
    ++calls;
    last = marker;
  }
  int calls = 0;
  AE::Marker* last = nullptr;
};

class SceneNodeTest : public ::testing::Test {
 protected:
  void SetUp() override { AE::gLoopEnabled = 1; }
  void TearDown() override { AE::gLoopEnabled = 0; }
  KR::Test::LogCapture log;
};

TEST_F(SceneNodeTest, TransformsThroughPivotScaleShearRotationAndParent) {
  ISceneNode root;
  root.mPosX = 100.0f;
  root.mPosY = 50.0f;
  root.updateTransform();
  ISceneNode* node = child(&root, "node");
  node->mPosX = 10.0f;
  node->mPivot = KR::Vector2<float>(5.0f, 0.0f);
  node->mScaleX = 2.0f;
  node->mRotation = 90.0f;
  root.updateTransform();
  // The pivot (5, 0) stays at position + pivot; (6, 0) is scaled to 2 and turned down.
  expectPoint(node->mWorldMatrix, 5.0f, 0.0f, 115.0f, 50.0f);
  expectPoint(node->mWorldMatrix, 6.0f, 0.0f, 115.0f, 52.0f);
  node->mRotation = 0.0f;
  node->mScaleX = 1.0f;
  node->mShear.m[3] = 1.0f;  // x += y
  root.updateTransform();
  expectPoint(node->mWorldMatrix, 5.0f, 4.0f, 119.0f, 54.0f);
  EXPECT_EQ(KR::Vector2<float>(110.0f, 50.0f), node->mWorldOrigin);

  // Moves of 0.001 or less do not rebuild; the parent's move still carries the child.
  const KR::Matrix3 before = node->mWorldMatrix;
  node->mPosX += 0.0005f;
  root.updateTransform();
  EXPECT_FALSE(node->mTransformChanged);
  EXPECT_EQ(before.m[6], node->mWorldMatrix.m[6]);
  root.mPosX += 1.0f;
  root.updateTransform();
  EXPECT_TRUE(node->mTransformChanged);
  EXPECT_NEAR(before.m[6] + 1.0f, node->mWorldMatrix.m[6], 1e-4f);

  // Re-parenting without keepLocal keeps the place on screen.
  ISceneNode other;
  other.mPosX = -40.0f;
  other.mRotation = 30.0f;
  other.updateTransform();
  const KR::Vector2<float> seen = node->mWorldMatrix.transformPoint(KR::Vector2<float>(3.0f, 7.0f));
  node->setParent(&other, false);
  other.updateTransform();
  expectPoint(node->mWorldMatrix, 3.0f, 7.0f, seen.x, seen.y);
  EXPECT_TRUE(root.mChildren.empty());
  EXPECT_EQ(&other, node->mParent);
}

TEST_F(SceneNodeTest, FindsByNameBreadthFirstAndByPath) {
  ISceneNode root;
  root.mName = "root";
  ISceneNode* a = child(&root, "a");
  ISceneNode* deep = child(a, "twin");
  ISceneNode* b = child(&root, "b");
  ISceneNode* twin = child(b, "x");
  twin->mName = "x";
  ISceneNode* shallow = child(&root, "twin");
  EXPECT_EQ(&root, ISceneNode::findChild("root", &root));
  EXPECT_EQ(shallow, ISceneNode::findChild("twin", &root)) << "the shallower of two wins";
  EXPECT_EQ(deep, ISceneNode::findChildFrom(a, "twin"));
  EXPECT_EQ(nullptr, ISceneNode::findChild("tw", &root));
  EXPECT_EQ(&root, root.findByPath("/"));
  EXPECT_EQ(deep, root.findByPath("/a/twin"));
  EXPECT_EQ(twin, root.findByPath("root/b/x"));
  EXPECT_EQ(a, root.findByPath("root/a/"));
  EXPECT_EQ(nullptr, root.findByPath("/b/twin"));
  EXPECT_EQ(nullptr, root.findByPath("roo"));
  EXPECT_EQ(KR::Vector2<float>(), root.getSize()) << "a root has no size";
  a->mScaleX = -1.0f;
  EXPECT_FALSE(a->hitTest(0, 0, false));
}

TEST_F(SceneNodeTest, PlaysRangesBothWaysLoopsHaltsAndRewinds) {
  ISceneNode root;
  keyLine(&root, 40);
  const float frame = 1.0f / 24.0f;
  root.playRange(30, 10, false, false);
  root.update(0.0f);
  EXPECT_NEAR(100.0f, root.mPosX, 1e-3f) << "forward from frame 10";
  for (int i = 0; i < 30; ++i) root.update(frame);
  EXPECT_FALSE(root.mPlaying);
  EXPECT_NEAR(300.0f, root.mPosX, 1e-3f) << "ends exactly on the range's last frame";
  root.playRange(30, 10, true, false);
  root.update(0.0f);
  EXPECT_NEAR(300.0f, root.mPosX, 1e-3f) << "reverse starts at frame 30";
  for (int i = 0; i < 30; ++i) root.update(frame);
  EXPECT_NEAR(100.0f, root.mPosX, 1e-3f);
  EXPECT_FALSE(root.mPlaying);

  // Looping ranges restart on the first frame, overshoot dropped, only under gLoopEnabled.
  root.mLoop = true;
  root.playRange(0, 12, false, false);
  root.update(0.4f);
  root.update(0.2f);
  EXPECT_TRUE(root.mPlaying);
  EXPECT_EQ(0.0f, root.mAnimation->mTime);
  AE::gLoopEnabled = 0;
  root.update(0.6f);
  EXPECT_FALSE(root.mPlaying);
  EXPECT_NEAR(0.5f, root.mAnimation->mTime, 1e-6f);

  // halt keeps this node's time and rewinds the descendants; rewindToEnd puts each on its own last key.
  ISceneNode* kid = child(&root, "kid");
  keyLine(kid, 12);
  root.stop(true);
  root.play(true);
  root.update(0.25f);
  root.halt(true);
  EXPECT_NEAR(0.25f, root.mAnimation->mTime, 1e-6f);
  EXPECT_EQ(0.0f, kid->mAnimation->mTime);
  root.rewindToEnd();
  EXPECT_NEAR(400.0f, root.mPosX, 1e-3f);
  EXPECT_NEAR(120.0f, kid->mPosX, 1e-3f);
  root.rewindToBegin();
  EXPECT_EQ(0.0f, kid->mPosX);

  // setPlaying(false) pauses without stopping; setTime moves the subtree.
  root.play(true);
  root.setPlaying(false, true);
  EXPECT_TRUE(root.mAnimation->mRunning);
  root.update(0.5f);
  EXPECT_EQ(0.0f, root.mAnimation->mTime);
  root.setTime(0.5f, true);
  EXPECT_NEAR(120.0f, root.mPosX, 1e-3f);
  EXPECT_NEAR(120.0f, kid->mPosX, 1e-3f);

  // A disabled root moves only its clock; its enabled children still update.
  root.mEnabled = false;
  const KR::Color derived = root.mDerivedColor;
  root.mColor = KR::Color::fromARGB(0x80FFFFFF);
  kid->mColor = KR::Color::fromARGB(0x40FFFFFF);
  root.update(0.1f);
  EXPECT_NEAR(0.6f, root.mAnimation->mTime, 1e-6f);
  EXPECT_EQ(derived, root.mDerivedColor) << "no kind-specific update for it";
  EXPECT_EQ(derived.alpha() * 0x40 / 255, kid->mDerivedColor.alpha()) << "the enabled child did update";
}

TEST_F(SceneNodeTest, MarkersFireWhenBoundedEntriesArriveAndFollowTreeChanges) {
  ISceneNode root;
  root.mName = "root";
  ISceneNode* door = child(&root, "door");
  ISceneNode* lamp = child(&root, "lamp");
  ISceneNode* knob = child(door, "knob");
  keyLine(door);
  keyLine(lamp);
  AE::Marker* open = new AE::Marker("open");
  open->addEntry(door, 10, 4, false, false);
  open->addEntry(lamp, 0, 24, false, true);
  open->addEntry(knob, 0, -1, false, false);
  open->addEntry(door, 0, 1, false, false);
  EXPECT_EQ(3u, open->mEntries.size()) << "one entry per node";
  root.addMarker(open);
  Listener listener;
  open->addListener(&listener);
  open->addListener(&listener);
  EXPECT_EQ(nullptr, root.getMarker("closed"));
  EXPECT_TRUE(log.contains("ERROR: Can't find marker 'closed' in node 'root'"));

  open->play();
  const float frame = 1.0f / 24.0f;
  for (int i = 0; i < 5; ++i) root.update(frame);
  EXPECT_EQ(0, listener.calls);
  // A pause while stopped does not eat the remaining time.
  open->stop(false);
  EXPECT_TRUE(lamp->mPlaying) << "stop(false) leaves looped entries playing";
  EXPECT_EQ(AE::Marker::kStopped, open->mState);
  const float remaining = open->mEntries[0]->time;
  root.update(1.0f);
  EXPECT_NEAR(remaining + 1.0f, open->mEntries[0]->time, 1e-5f) << "the paused door's end moves with the pause";
  door->setPlaying(true, false);
  root.update(frame);
  EXPECT_EQ(0, listener.calls) << "stopped markers never complete";
  open->play();
  for (int i = 0; i < 5; ++i) root.update(frame);
  EXPECT_EQ(0, listener.calls);
  root.update(frame);
  root.update(frame);
  EXPECT_EQ(1, listener.calls) << "completes once door has reached its end (6 frames)";
  EXPECT_EQ(open, listener.last);
  EXPECT_NEAR(40.0f, door->mPosX, 1e-3f) << "ended on frame 4, played backwards from 10";
  EXPECT_FALSE(door->mPlaying);
  EXPECT_EQ(AE::Marker::kCompleted, open->mState);

  // A clone's marker points into the cloned subtree; removing a child purges its subtree's entries.
  std::unique_ptr<ISceneNode> copy(root.clone(nullptr));
  AE::Marker* copied = copy->findMarker("open");
  ASSERT_NE(nullptr, copied);
  ASSERT_EQ(3u, copied->mEntries.size());
  EXPECT_EQ(ISceneNode::findChild("door", copy.get()), copied->mEntries[0]->node);
  EXPECT_NE(door, copied->mEntries[0]->node);
  EXPECT_FALSE(copy->mPlaying);
  EXPECT_TRUE(copied->mListeners.empty());
  root.removeChild(door, true);
  EXPECT_EQ(1u, open->mEntries.size()) << "door and knob are gone from the play list";
  delete door;
}

TEST_F(SceneNodeTest, MarkerEntriesLoopBackwardsAndTakeFramesFarApart) {
  ISceneNode root;
  ISceneNode* wheel = child(&root, "wheel");
  keyLine(wheel);
  AE::Marker* spin = new AE::Marker("spin");
  spin->addEntry(wheel, 20, 10, false, true);
  root.addMarker(spin);
  spin->play();
  const float frame = 1.0f / 24.0f;
  for (int i = 0; i < 4; ++i) root.update(frame);
  EXPECT_NEAR(160.0f, wheel->mPosX, 1e-2f) << "backwards from frame 20";
  // Past frame 10 it starts again at frame 20, its overshoot taken backwards too.
  for (int i = 0; i < 9; ++i) root.update(frame);
  EXPECT_NEAR(170.0f, wheel->mPosX, 1e-2f) << "three frames past the loop: frame 17";
  EXPECT_TRUE(wheel->mPlaying);

  // Frame numbers from a file the whole int range apart: a long way to go,
  // not an end already reached.
  ISceneNode far;
  ISceneNode* door = child(&far, "door");
  keyLine(door);
  AE::Marker* open = new AE::Marker("open");
  open->addEntry(door, -2147483647 - 1, 0, false, false);
  far.addMarker(open);
  Listener listener;
  open->addListener(&listener);
  EXPECT_GT(open->getDuration(), 8.0e7f);
  open->play();
  far.update(frame);
  EXPECT_EQ(0, listener.calls);
  EXPECT_EQ(AE::Marker::kPlaying, open->mState);
}

TEST_F(SceneNodeTest, PlainNodeRoundTripsThroughTheBinaryForm) {
  ISceneNode root;
  root.mPosX = 20.0f;
  root.mRotation = 45.0f;
  root.updateTransform();
  ISceneNode* node = child(&root, "");
  node->mPosX = 3.0f;
  node->mScaleY = 2.0f;
  node->mPosZ = 7.0f;
  node->mColor = KR::Color::fromARGB(0x80FF4020);
  node->mLoop = true;
  node->mFlag5 = true;
  node->playRange(4, 9, true, false);
  keyLine(node);
  root.updateTransform();
  AE::MemoryNodeStream plain;
  node->writeBinary(plain, false);
  EXPECT_EQ(0u, plain.bytes()[0]) << "empty source file";
  EXPECT_EQ(0u, plain.bytes()[1]) << "an empty name is a single zero byte";
  EXPECT_EQ(0u, plain.bytes().back()) << "not relative";
  ISceneNode back;
  back.readBinary(plain);
  EXPECT_EQ(0u, plain.remaining());
  EXPECT_EQ("", back.mName);
  EXPECT_EQ(7.0f, back.mPosZ);
  EXPECT_EQ(node->mColor, back.mColor);
  EXPECT_TRUE(back.mLoop && back.mFlag5 && back.mReverse);
  EXPECT_EQ(4, back.mRangeFrom);
  EXPECT_EQ(9, back.mRangeTo);
  EXPECT_EQ(node->mAnimation->mKeyFrames, back.mAnimation->mKeyFrames);
  EXPECT_EQ(node->mAnimation->mTime, back.mAnimation->mTime);

  // Relative to the parent: parameters that reproduce the world placement as a root.
  AE::MemoryNodeStream relative;
  node->writeBinary(relative, true);
  EXPECT_EQ(1u, relative.bytes().back());
  ISceneNode placed;
  placed.readBinary(relative);
  placed.updateTransform();
  const KR::Matrix3 rel = KR::Matrix3::multiply(KR::Matrix3::inverse(root.mWorldMatrix), node->mWorldMatrix);
  for (int i : {0, 1, 3, 4, 6, 7}) EXPECT_NEAR(rel.m[i], placed.mWorldMatrix.m[i], 1e-3f) << i;
}

}  // namespace
