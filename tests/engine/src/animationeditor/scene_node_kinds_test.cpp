// The sprite, text and camera nodes over the demo media: sprite sheets first
// and the Lua description as fall-back, frame lists and running frame
// indices, frame records, text sizes, localisation, presets and clones, and
// the binary round trip of each kind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "animation.h"
#include "animationeditor/frame_data.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/sprite_sheet_cache.h"
#include "animationeditor/text_scene_node.h"
#include "src/game/core/showcase_test_support.h"
#include "ui/ui_font_manager.h"

namespace {

using AE::SpriteSceneNode;
using AE::TextSceneNode;

const char* const kScript = "demo_scene_sprites";

class SceneNodeKindsTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    AE::useSpriteSheets = 1;
    openMedia();
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    openDevice();
    openSpritesAndFonts();
  }
  void TearDown() override {
    AE::useSpriteSheets = 0;
    ShowcaseTest::TearDown();
  }
};

TEST_F(SceneNodeKindsTest, SpritesComeFromTheSheetFirstAndRunThroughTheirFrames) {
  AE::SpriteSheetCache& cache = AE::SpriteSheetCache::instance();
  const uint32_t uses = cache.getUseCount(kScript);
  std::unique_ptr<AE::ISceneNode> root(new AE::ISceneNode());
  SpriteSceneNode* hand = new SpriteSceneNode();
  root->addChild(hand, true);
  ASSERT_TRUE(hand->loadFromSpriteTable(kScript, "SceneHand"));
  EXPECT_EQ(uses + 1, cache.getUseCount(kScript));
  EXPECT_EQ(KR::Vector2<float>(64.0f, 64.0f), hand->getSize());
  // A plain node's origin is its first child's; a sprite's its own.
  hand->mPosX = 12.0f;
  auto* pin = new AE::ISceneNode();
  pin->mPosX = 30.0f;
  hand->addChild(pin, true);
  root->updateTransform();
  EXPECT_EQ(12.0f, root->getWorldOrigin().x);
  EXPECT_EQ(12.0f, hand->getWorldOrigin().x);
  EXPECT_EQ(42.0f, pin->getWorldOrigin().x);
  ASSERT_TRUE(hand->loadAnimation("SceneHand"));
  ASSERT_EQ(4u, hand->getFrameCount());
  EXPECT_EQ(KR::Rect(64, 0, 96, 32), *hand->mFrameAnimation->getRectKey("srcRect", 2));
  EXPECT_EQ((std::vector<int32_t>{0, 1, 2, 3}), hand->mFrameOrder);
  // The Lua branch reads the same frames; a range takes every other one.
  SpriteSceneNode fromLua;
  fromLua.mSourceFile = kScript;
  ASSERT_TRUE(fromLua.loadAnimationFromScript("SceneHand", 1, 0, 2));
  EXPECT_EQ((std::vector<int32_t>{1, 3}), fromLua.mFrameOrder);
  EXPECT_EQ(KR::Rect(96, 0, 128, 32), *fromLua.mFrameAnimation->getRectKey("srcRect", 1));
  // A table the sheet lacks: the Lua description serves.
  SpriteSceneNode band;
  ASSERT_TRUE(band.loadFromSpriteTable(kScript, "SceneBand"));
  EXPECT_EQ(KR::Vector2<float>(256.0f, 24.0f), band.getSize());
  SpriteSceneNode missing;
  EXPECT_FALSE(missing.loadFromSpriteTable(kScript, "NoSuchTable"));
  EXPECT_EQ(nullptr, missing.getSprite());
  EXPECT_FALSE(missing.loadFromTexture("no_such_image"));
  EXPECT_TRUE(log.contains("Failed to create sprite from no_such_image"));

  // frameIndex keys 0 and 3 at frames 0 and 12: stepped, or running with animFrameIndex.
  AE::SpriteKeyValues v = hand->currentSpriteKeyValues();
  v.frameIndex = 0;
  hand->setKeyframeValues(0, v);
  v.frameIndex = 3;
  hand->setKeyframeValues(12, v);
  hand->setFrame(6);
  EXPECT_EQ(KR::Rect(0, 0, 32, 32), hand->mSrcRect);
  *hand->mAnimation->getBoolKey("animFrameIndex", 0) = true;
  hand->setFrame(6);
  hand->setFrame(6);
  EXPECT_EQ(KR::Rect(32, 0, 64, 32), hand->mSrcRect) << "index 1 half-way";
  hand->mTexPos = KR::Vector2<float>(2.0f, 1.0f);
  hand->updateDerived(0.0f);
  EXPECT_EQ(KR::Rect(34, 1, 66, 33), hand->mTexRect);

  // A plain frame record keeps the sprite's own keys from the previous key.
  AE::IFrameData record;
  record.x = 5.0f;
  record.scaleX = record.scaleY = 1.0f;
  record.positionBezier = true;
  record.handleX = 3.0f;
  hand->storeFrameData(24, record);
  EXPECT_EQ(3, hand->mAnimation->getKeyframe<int32_t>("frameIndex", 2).value);
  EXPECT_EQ(5.0f, hand->mAnimation->getKeyframe<float>("posX", 2).value);
  EXPECT_TRUE(hand->mAnimation->getKeyframe<float>("posY", 2).bezier) << "one flag for posX and posY";
  EXPECT_EQ(0.0f, record.shear.m[2] + record.shear.m[5] + record.shear.m[6] + record.shear.m[7]);
  EXPECT_EQ(1.0f, record.shear.m[8]);
}

TEST_F(SceneNodeKindsTest, BrokenSheetsAreReportedOnceAndNamed) {
  pugi::xml_document sheet;
  const std::string broken = "<root><SceneHand><Size v0='1'></root>";
  EXPECT_FALSE(AE::parseSpriteSheet(sheet, broken.data(), broken.size(), "broken_sxml"));
  EXPECT_TRUE(log.contains("ERROR: Failed to parse sprite sheet broken_sxml"));
  EXPECT_FALSE(sheet.child("root"));
  EXPECT_EQ("demo_scene_sxml", AE::SpriteSheetCache::sheetFileName("demo_scene_sprites"));
  EXPECT_EQ("a_sprites_b_sxml", AE::SpriteSheetCache::sheetFileName("a_sprites_b_sprites"));
  EXPECT_EQ("plain_sxml", AE::SpriteSheetCache::sheetFileName("plain"));
}

TEST_F(SceneNodeKindsTest, TextSizesLocalisesStylesAndClonesKeepAnimating) {
  TextSceneNode text("font2_fnt", L"MOVIE_INTRO_LINE_1");
  ASSERT_NE(nullptr, text.getFont());
  EXPECT_EQ(KR::Vector2<float>(64.0f, 64.0f), text.getSize());
  text.setSize(KR::Vector2<float>(200.0f, 40.0f));
  EXPECT_EQ(KR::Vector2<float>(200.0f, 40.0f), text.getSize());
  text.mLocaleEnable = true;
  EXPECT_EQ(L"Far in the north, the fog never lifts from Quellmoor.", text.getDisplayText());
  text.mText = L"SKIP";
  EXPECT_NE(L"Skip", text.getDisplayText()) << "fetched once until the text changes";
  text.setText(std::string("SKIP"));
  EXPECT_EQ(L"Skip", text.getDisplayText());
  text.setText(std::string("NO_SUCH_KEY"));
  EXPECT_EQ(L"!ERROR!", text.getDisplayText());

  // maxChar types out; halign steps.
  text.mMaxChar = 1;
  text.mHAlign = 0;
  text.storeKeyframe(0);
  text.mMaxChar = 10;
  text.mHAlign = 2;
  text.storeKeyframe(10);
  text.setFrame(5);
  EXPECT_EQ(5, text.mMaxChar);
  EXPECT_EQ(0, text.mHAlign);
  std::unique_ptr<AE::ISceneNode> copy(text.clone(nullptr));
  auto* copied = static_cast<TextSceneNode*>(copy.get());
  copied->setFrame(10);
  EXPECT_EQ(10, copied->mMaxChar) << "a clone without a preset binds its style tracks";
  EXPECT_EQ(2, copied->mHAlign);

  // A preset styles the node and stops the tracks; a missing one falls back to them.
  text.mPresetName = "scene_typing";
  text.setupStyle(true);
  EXPECT_TRUE(text.mUsePreset);
  EXPECT_FLOAT_EQ(0.1f, text.mXCoeff);
  EXPECT_EQ(KR::Color::fromChannels(170, 230, 255, 255), text.mColor);
  text.mMaxChar = 9;
  text.setFrame(5);
  EXPECT_EQ(9, text.mMaxChar) << "unbound";
  text.mPresetName = "no_such_preset";
  text.setupStyle(true);
  EXPECT_FALSE(text.mUsePreset);
  text.setFrame(5);
  EXPECT_EQ(5, text.mMaxChar);
}

TEST_F(SceneNodeKindsTest, EachKindRoundTripsThroughTheBinaryForm) {
  SpriteSceneNode sprite;
  ASSERT_TRUE(sprite.loadFromSpriteTable(kScript, "SceneHand"));
  ASSERT_TRUE(sprite.loadAnimation("SceneHand"));
  sprite.mBlendMode = 2;
  sprite.mStencilMode = SpriteSceneNode::kStencilMasked;
  sprite.mAnimFrameIndex = true;
  sprite.storeKeyframe(3);
  AE::MemoryNodeStream s1;
  sprite.writeBinary(s1, false);
  SpriteSceneNode sprite2;
  sprite2.readBinary(s1);
  EXPECT_EQ(0u, s1.remaining());
  EXPECT_EQ(2, sprite2.mBlendMode);
  EXPECT_EQ(SpriteSceneNode::kStencilMasked, sprite2.mStencilMode);
  EXPECT_EQ(KR::Vector2<float>(64.0f, 64.0f), sprite2.getSize()) << "the picture is found again by name";
  EXPECT_EQ(4u, sprite2.getFrameCount());
  EXPECT_EQ("SceneHand", sprite2.mExtra2);
  EXPECT_TRUE(*sprite2.mAnimation->getBoolKey("animFrameIndex", 0));

  TextSceneNode text("font2_fnt", L"Gr\u00fc\u00dfe \U0001F600");
  text.mMaxChar = 7;
  text.mClipping = true;
  text.mStencil = true;
  text.storeKeyframe(0);
  AE::MemoryNodeStream s2;
  text.writeBinary(s2, false);
  EXPECT_EQ(0u, s2.bytes()[0]) << "no preset";
  TextSceneNode text2("", L"");
  text2.readBinary(s2);
  EXPECT_EQ(0u, s2.remaining());
  EXPECT_EQ(text.mText, text2.mText);
  EXPECT_EQ(7, text2.mMaxChar);
  EXPECT_TRUE(text2.mClipping && text2.mStencil);
  EXPECT_NE(nullptr, text2.getFont()) << "the font is found again by name";
  EXPECT_EQ(1u, text2.mAnimation->mKeyFrames.size());

  AE::ISceneNode host;
  auto* camera = new AE::MovieCamera();
  host.addChild(camera, true);
  camera->mParallaxCoef = 3.0f;
  camera->setKeyframeValues(10.0f, 0, KR::Vector2<float>(1, 2), KR::Vector2<float>(2, 2));
  camera->setKeyframeValues(0.0f, 24, KR::Vector2<float>(), KR::Vector2<float>(1, 1));
  camera->addActivationFrame(24);
  AE::MemoryNodeStream s3;
  camera->writeBinary(s3, false);
  AE::MovieCamera camera2;
  camera2.readBinary(s3);
  EXPECT_EQ(0u, s3.remaining());
  EXPECT_EQ(3.0f, camera2.mParallaxCoef);
  EXPECT_EQ(std::vector<int32_t>{24}, camera2.getActivationFrames());
  EXPECT_FALSE(camera2.mParallaxEnabled);
  camera2.setFrame(0);
  camera2.updateDerived(0.0f);
  EXPECT_EQ(-1.0f, camera2.mOffsetX);
  EXPECT_EQ(10.0f, camera2.mAngle);
  EXPECT_EQ(2.0f, camera2.mZoomY);
}

}  // namespace
