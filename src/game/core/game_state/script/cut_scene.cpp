#include "core/game_state/script/cut_scene.h"

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "core/game_cursor_manager.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/triggers/scene_node_state_list.h"
#include "design_coords.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "report_assert.h"
#include "sound_system/sound_manager.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

KR::SpriteManager<KR::Sprite>* sprites() { return KR::SpriteManager<KR::Sprite>::getInstancePtr(); }
float screenWidth() { return KR::RenderSystem::exists() ? float(KR::RenderSystem::getDesignWidth()) : 0.0f; }
float screenHeight() { return KR::RenderSystem::exists() ? float(KR::RenderSystem::getDesignHeight()) : 0.0f; }

}  // namespace

CutScene::CutScene() {
  if (KR::SpriteManager<KR::Sprite>* manager = sprites()) barSprite = manager->createSpriteFromTextureObject(nullptr);
  setBarHeight(screenHeight() * barHeightPercent * 0.01f);
}

CutScene::~CutScene() {
  reset();
  if (barSprite && sprites()) sprites()->destroySprite(barSprite);
  if (presetLoaded && KR::UIFontManager::exists()) KR::UIFontManager::getInstance()->releaseFont(skipPreset.font);
}

void CutScene::setBarHeight(float height) {
  barHeight = height;
  if (!barSprite) return;
  barSprite->setSize(KR::Vector2<float>(screenWidth(), barHeight + barOverhang));
  barSprite->setMeshColor(KR::Color::fromFloats(0.0f, 0.0f, 0.0f, 1.0f));
}

void CutScene::reset() {
  active = false;
  if (ownsScene) delete scene;
  scene = nullptr;
  ownsScene = false;
  targetNodes.clear();
  stageDurations.clear();
  elapsed = 0.0f;
  currentStage = 0;
  viewId = 0;
}

void CutScene::init(const std::string& name_, uint32_t viewId_) {
  AE::ISceneNode* viewScene = scene;
  scene = nullptr;
  reset();
  scene = viewScene;
  duration = 10.0f;
  active = true;
  viewId = viewId_;
  name = name_;
  KR::XmlDataReader reader;
  if (!reader.open("default", name) || !reader.enterChild("CutScene")) return;
  if (!reader.readFloat("duration", &duration)) duration = 5.0f;
  std::string animationFile;
  reader.readString("animationFile", &animationFile);
  stopMusicOnPlay = true;
  reader.readBool("stopMusicOnPlay", &stopMusicOnPlay);
  std::string presetFile, presetTable;
  reader.readString("fontPresetFile", &presetFile);
  reader.readString("fontPresetTable", &presetTable);
  if (!presetLoaded && KR::UIFontManager::exists() && !presetFile.empty())
    presetLoaded = KR::UIFontManager::getInstance()->loadFontPreset(presetFile, presetTable, &skipPreset) == 0;
  skipText = KR::TextManager::exists() ? KR::TextManager::getInstance()->getText("SKIP") : L"SKIP";
  if (presetLoaded && skipPreset.font) {
    skipWidth = skipPreset.font->getWStringWidth(skipText.data(), skipText.data() + skipText.size(), skipPreset.xcoeff);
    skipHeight = skipPreset.font->lineHeight(skipPreset.ycoeff);
  }
  subtitles.load(reader);
  if (reader.enterChild("Stages")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      float stage = 0.0f;
      reader.readFloat("duration", &stage);
      stageDurations.push_back(stage);
    }
    reader.leaveChild();
  }
  if (!animationFile.empty()) {
    if (AE::ISceneNode* own = AE::loadScene(animationFile)) {
      scene = own;
      ownsScene = true;
    }
  }
  if (scene && reader.enterChild("animationNodes")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      std::string node;
      reader.readCurrentString(&node);
      AE::ISceneNode* found = node.empty() ? nullptr : AE::ISceneNode::findChild(node.c_str(), scene);
      if (!found) continue;
      if (targetNodes.size() >= kMaxTargets) {
        KR::log("int CutScene::init(), Bad mAnimationTargetNodeNum specified! %i", int(targetNodes.size() + 1));
        KR_FATAL("int CutScene::init(), Bad mAnimationTargetNodeNum specified!");
      }
      targetNodes.push_back(found);
    }
    reader.leaveChild();
  }
}

void CutScene::record(AE::ISceneNode* node, uint32_t kind, bool value) {
  if (SceneNodeStateList* states = gameNodeStates())
    states->add(SceneNodeStateRecord::make(viewId, kind, node->mName.c_str(), value));
}

void CutScene::start() {
  if (!active) return;
  elapsed = 0.0f;
  if (ownsScene && scene) scene->play(true);
  for (AE::ISceneNode* node : targetNodes) {
    node->rewindToBegin();
    node->play(true);
    node->setEnabled(true);
    node->update(0.0f);
    record(node, SceneNodeStateRecord::Play, true);
    record(node, SceneNodeStateRecord::Enable, true);
  }
  if (stopMusicOnPlay && KR::SoundManager::exists())
    KR::SoundManager::getInstance()->startGroupFade(1, 0.0f, duration, 3.0f);
}

void CutScene::update(float dt) {
  if (!active) return;
  elapsed += dt;
  if (elapsed > duration) {
    finish();
    return;
  }
  if (scene) scene->update(dt);
  subtitleTime = elapsed;
  if (GameCursorManager::exists()) GameCursorManager::getInstance()->setCursor(0);
}

void CutScene::updateSkipButton(const InputState& input) {
  if (!active) return;
  const KR::Viewport2D viewport = KR::calcViewport();
  skipPosition = KR::Vector2<float>(
      screenWidth() - 64.0f - skipWidth + (viewport.scale > 0.0f ? viewport.offset.x / viewport.scale : 0.0f), 64.0f);
  const float x = float(input.x), y = float(input.y);
  skipHovered = input.valid && x > skipPosition.x && x < skipPosition.x + skipWidth && y > skipPosition.y &&
                y < skipPosition.y + skipHeight;
  if (skipHovered && input.leftReleased) skipStage();
}

void CutScene::skipStage() {
  if (!active) return;
  float start = 0.0f, end = 0.0f;
  uint32_t stage = 0;
  for (; stage < stageDurations.size(); ++stage) {
    end = start + stageDurations[stage];
    if (start <= elapsed && elapsed <= end) break;
    start = end;
  }
  if (stage >= stageDurations.size() && !stageDurations.empty()) stage = uint32_t(stageDurations.size() - 1);
  currentStage = stage;
  if (stageDurations.empty() || stage + 1 >= stageDurations.size()) {
    if (!stageDurations.empty()) elapsed = end;
    finish();
    return;
  }
  elapsed = end;
  for (AE::ISceneNode* node : targetNodes) node->setTime(elapsed, true);
  subtitleTime = elapsed;
}

void CutScene::finish() {
  if (!active) return;
  for (AE::ISceneNode* node : targetNodes) {
    node->setTime(1000.0f, true);
    record(node, SceneNodeStateRecord::RewindToEnd, false);
  }
  reset();
  if (finishedCallback) finishedCallback();
}

void CutScene::render() {
  if (!active) return;
  if (scene) AE::renderScene(scene);
  if (barSprite) {
    barSprite->setPosition(0.0f, -barOverhang);
    barSprite->updateVertices();
    barSprite->render();
    barSprite->setPosition(0.0f, screenHeight() - barHeight);
    barSprite->updateVertices();
    barSprite->render();
  }
  subtitles.time = subtitleTime;
  subtitles.draw();
  if (presetLoaded && skipPreset.font) {
    KR::Color colour = skipPreset.color;
    if (skipHovered) colour = colour * KR::Color::fromFloats(0.85f, 0.85f, 0.85f, 0.85f);
    skipPreset.font->color = colour;
    skipPreset.font->drawWString(KR::Rect(), skipPosition, skipText, false, 0, 0, skipPreset.xcoeff, skipPreset.ycoeff,
                                 false, true, skipWidth, skipHeight);
  }
}

}  // namespace HOG
