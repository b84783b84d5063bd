#include "core/showcase/showcase_scene_graph_page.h"

#include <cmath>

#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "core/game_application.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace HOG {

namespace {

using AE::ISceneNode;
using AE::SpriteSceneNode;
using AE::TextSceneNode;

const char* const kSprites = "demo_scene_sprites";
const char* const kPresets = "font_presets_lua";
const char* const kFont = "font2_fnt";
const char* const kMarkers[3] = {"spin", "walk", "type"};

template <typename Node>
Node* attach(ISceneNode* parent, Node* node, const char* name, float x, float y) {
  node->mName = name;
  node->mPosX = x;
  node->mPosY = y;
  parent->addChild(node, true);
  return node;
}

SpriteSceneNode* sprite(ISceneNode* parent, const char* table, const char* name, float x, float y) {
  SpriteSceneNode* node = attach(parent, new SpriteSceneNode(), name, x, y);
  node->loadFromSpriteTable(kSprites, table);
  return node;
}

// Keys the node's current values at each frame after `change` set them.
template <typename Node, typename Change>
void keyAt(Node* node, int frame, Change change) {
  change(*node);
  node->storeKeyframe(frame);
}

void setBezier(ISceneNode* node, const char* track, uint32_t index, float handle) {
  AE::TrackKey<float>& key = node->mAnimation->getKeyframe<float>(track, index);
  key.bezier = true;
  key.handle = handle;
}

KR::Color rgba(int r, int g, int b, int a = 255) {
  return KR::Color::fromChannels(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a));
}

}  // namespace

SceneGraphShowcasePage::~SceneGraphShowcasePage() { release(); }

void SceneGraphShowcasePage::release() {
  if (!loaded) return;
  loaded = false;
  clone.reset();
  root.reset();
  if (KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr()) {
    for (KR::FontPreset* preset : {&heading, &caption}) {
      fonts->releaseFont(preset->font);
      preset->font = nullptr;
    }
  }
}

bool SceneGraphShowcasePage::load() {
  if (loaded) return true;
  KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr();
  if (!KR::SpriteManager<KR::Sprite>::exists() || !fonts || !KR::TextureManager::exists() ||
      !KR::RenderSystem::exists())
    return false;
  loaded = true;
  fonts->loadFontPreset(kPresets, "title", &heading);
  fonts->loadFontPreset(kPresets, "caption", &caption);
  build();
  return true;
}

void SceneGraphShowcasePage::build() {
  root = std::make_unique<ISceneNode>();
  ISceneNode* scene = root.get();
  scene->mName = "scene";

  // Two cameras: the later child wins ties, so the still camera A (from frame
  // 0) comes after B, which pans from frame 48 on.
  AE::MovieCamera* cameraB = attach(scene, new AE::MovieCamera(), "camera_b", 0.0f, 0.0f);
  AE::MovieCamera* cameraA = attach(scene, new AE::MovieCamera(), "camera_a", 0.0f, 0.0f);
  for (AE::MovieCamera* camera : {cameraA, cameraB}) camera->mParallaxEnabled = true;
  cameraA->setKeyframeValues(0.0f, 0, KR::Vector2<float>(), KR::Vector2<float>(1.0f, 1.0f));
  cameraA->setKeyframeValues(0.0f, kCycleFrames, KR::Vector2<float>(), KR::Vector2<float>(1.0f, 1.0f));
  cameraA->addActivationFrame(0);
  cameraB->setKeyframeValues(0.0f, 0, KR::Vector2<float>(), KR::Vector2<float>(1.0f, 1.0f));
  cameraB->setKeyframeValues(0.0f, 48, KR::Vector2<float>(), KR::Vector2<float>(1.0f, 1.0f));
  cameraB->setKeyframeValues(0.0f, kCycleFrames, KR::Vector2<float>(96.0f, 0.0f), KR::Vector2<float>(1.0f, 1.0f));
  cameraB->addActivationFrame(48);

  // A parent disc turning, its two boards pivoted about their centres and sheared.
  SpriteSceneNode* spinner = sprite(scene, "SceneDisc", "spinner", 136.0f, 156.0f);
  spinner->mPivot = KR::Vector2<float>(24.0f, 24.0f);
  spinner->mColor = rgba(255, 170, 60);
  keyAt(spinner, 0, [](ISceneNode& n) { n.mRotation = 0.0f; });
  keyAt(spinner, kCycleFrames, [](ISceneNode& n) { n.mRotation = 360.0f; });
  const float leafX[2] = {56.0f, -72.0f};
  const float leafZ[2] = {-1.0f, 1.0f};
  for (int i = 0; i < 2; ++i) {
    SpriteSceneNode* leaf = sprite(spinner, "SceneBoard", i == 0 ? "leaf_a" : "leaf_b", leafX[i], -24.0f);
    leaf->setSize(KR::Vector2<float>(40.0f, 40.0f));
    leaf->mPivot = KR::Vector2<float>(20.0f, 20.0f);
    leaf->mPosZ = leafZ[i];
    keyAt(leaf, 0, [](ISceneNode& n) {
      n.mShear.m[3] = 0.0f;
      n.mRotation = 0.0f;
    });
    keyAt(leaf, 48, [](ISceneNode& n) {
      n.mShear.m[3] = 0.8f;
      n.mRotation = -180.0f;
    });
    keyAt(leaf, kCycleFrames, [](ISceneNode& n) {
      n.mShear.m[3] = 0.0f;
      n.mRotation = -360.0f;
    });
  }

  // A disc walking a Bezier path out and back.
  SpriteSceneNode* walker = sprite(scene, "SceneDisc", "walker", 0.0f, 0.0f);
  walker->mColor = rgba(120, 220, 140);
  keyAt(walker, 0, [](ISceneNode& n) {
    n.mPosX = 340.0f;
    n.mPosY = 200.0f;
  });
  keyAt(walker, 48, [](ISceneNode& n) {
    n.mPosX = 600.0f;
    n.mPosY = 200.0f;
  });
  keyAt(walker, kCycleFrames, [](ISceneNode& n) {
    n.mPosX = 340.0f;
    n.mPosY = 200.0f;
  });
  setBezier(walker, "posY", 0, -260.0f);
  setBezier(walker, "posY", 1, 260.0f);
  setBezier(walker, "posX", 1, 200.0f);

  // The hand running through its four frames, again and again.
  SpriteSceneNode* hand = sprite(scene, "SceneHand", "hand", 736.0f, 120.0f);
  hand->loadAnimation("SceneHand");
  // The index runs up through the frames to the next key and back down to
  // the one after (4 is one past the last frame: it keeps the last one shown).
  AE::SpriteKeyValues handKey = hand->currentSpriteKeyValues();
  handKey.animFrameIndex = true;
  for (int i = 0; i * 24 <= kCycleFrames; ++i) {
    handKey.frameIndex = i % 2 == 1 ? 4 : 0;
    hand->setKeyframeValues(i * 24, handKey);
  }

  // A line typing itself out, and a localised caption styled by a preset.
  const std::wstring line = L"A scene tree types this line out, one character at a time.";
  TextSceneNode* typing = attach(scene, new TextSceneNode(kFont, line), "typing", 48.0f, 300.0f);
  typing->setSize(KR::Vector2<float>(420.0f, 80.0f));
  typing->mWordWrap = true;
  keyAt(typing, 0, [](TextSceneNode& n) { n.mMaxChar = 0; });
  keyAt(typing, 72, [&line](TextSceneNode& n) { n.mMaxChar = int32_t(line.size()); });
  keyAt(typing, kCycleFrames, [&line](TextSceneNode& n) { n.mMaxChar = int32_t(line.size()); });
  TextSceneNode* localised = attach(scene, new TextSceneNode(kFont, L"MOVIE_INTRO_LINE_1"), "caption", 112.0f, 640.0f);
  localised->setSize(KR::Vector2<float>(800.0f, 40.0f));
  localised->mLocaleEnable = true;
  localised->mPresetName = "scene_caption";
  localised->setupStyle(true);

  // A board as stencil mask: the band and the text show only inside it.
  SpriteSceneNode* mask = sprite(scene, "SceneBoard", "mask", 560.0f, 320.0f);
  mask->setSize(KR::Vector2<float>(160.0f, 160.0f));
  mask->mStencilMode = SpriteSceneNode::kStencilMask;
  SpriteSceneNode* band = sprite(mask, "SceneBand", "band", 0.0f, 60.0f);
  band->mStencilMode = SpriteSceneNode::kStencilMasked;
  band->mColor = rgba(255, 120, 200);
  keyAt(band, 0, [](ISceneNode& n) { n.mPosX = -260.0f; });
  keyAt(band, 48, [](ISceneNode& n) { n.mPosX = 160.0f; });
  keyAt(band, kCycleFrames, [](ISceneNode& n) { n.mPosX = -260.0f; });
  TextSceneNode* maskedText = attach(mask, new TextSceneNode(kFont, L"clipped by the mask"), "masked", 0.0f, 0.0f);
  maskedText->setSize(KR::Vector2<float>(300.0f, 30.0f));
  maskedText->mStencil = true;
  keyAt(maskedText, 0, [](ISceneNode& n) {
    n.mPosX = 100.0f;
    n.mPosY = 110.0f;
  });
  keyAt(maskedText, kCycleFrames, [](ISceneNode& n) {
    n.mPosX = -220.0f;
    n.mPosY = 20.0f;
  });

  // The mask itself is never drawn: a faint copy shows where it lies (a later
  // sibling at the same depth, so drawn behind the masked children).
  SpriteSceneNode* shadow = sprite(scene, "SceneBoard", "mask_shadow", 560.0f, 320.0f);
  shadow->setSize(KR::Vector2<float>(160.0f, 160.0f));
  shadow->mColor = rgba(255, 255, 255, 48);

  // Depth layers: farther discs follow the panning camera less.
  const float depths[3] = {4.0f, 2.0f, 1.0f};
  const KR::Color colours[3] = {rgba(90, 110, 200), rgba(140, 160, 230), rgba(200, 210, 255)};
  ISceneNode* layers = attach(scene, new ISceneNode(), "layers", 0.0f, 0.0f);
  for (int i = 0; i < 3; ++i) {
    SpriteSceneNode* disc = sprite(layers, "SceneDisc", "layer", 96.0f + 96.0f * float(i), 500.0f);
    disc->mPosZ = depths[i];
    disc->mColor = colours[i];
    disc->setSize(KR::Vector2<float>(72.0f, 72.0f));
  }

  // Markers: spin the parent once, walk the path backwards, type the line.
  AE::Marker* spin = new AE::Marker(kMarkers[0]);
  spin->addEntry(spinner, 0, 48, true, false);
  AE::Marker* walk = new AE::Marker(kMarkers[1]);
  walk->addEntry(walker, kCycleFrames, 0, false, false);
  AE::Marker* type = new AE::Marker(kMarkers[2]);
  type->addEntry(typing, 0, 72, false, false);
  type->addEntry(hand, 0, 24, false, true);
  for (AE::Marker* marker : {spin, walk, type}) {
    marker->addListener(this);
    scene->addMarker(marker);
  }

  for (ISceneNode* node : scene->mChildren) node->mLoop = true;
  scene->play(true);
  restartCameras(scene);
  scene->update(0.0f);
}

void SceneGraphShowcasePage::restartCameras(ISceneNode* tree) {
  for (const char* name : {"camera_b", "camera_a"}) {
    if (ISceneNode* camera = ISceneNode::findChild(name, tree)) camera->setTime(0.0f, false);
  }
}

int SceneGraphShowcasePage::getFrame() const { return int(std::floor(time * 24.0f + 0.001f)); }

void SceneGraphShowcasePage::advance(float dt) {
  if (!load()) return;
  time += dt;
  // Every cycle the cameras take turns again from frame 0.
  const int nowCycle = getFrame() / kCycleFrames;
  if (nowCycle != cycle) {
    cycle = nowCycle;
    restartCameras(root.get());
    if (clone) restartCameras(clone.get());
  }
  root->update(dt);
  if (clone) clone->update(dt);
}

void SceneGraphShowcasePage::playMarker(int index) {
  if (!load() || index < 0 || index > 2) return;
  if (AE::Marker* marker = root->getMarker(kMarkers[index])) {
    marker->play();
    status = KR::formatString("marker '%s' playing", kMarkers[index]);
  }
}

void SceneGraphShowcasePage::onMarker(AE::Marker* marker) {
  status = KR::formatString("marker '%s' complete", marker->mName.c_str());
}

void SceneGraphShowcasePage::cloneTree() {
  if (!load()) return;
  root->mScaleX = root->mScaleY = 0.5f;
  root->mPosX = 0.0f;
  root->mPosY = 192.0f;
  clone.reset(root->clone(nullptr));
  clone->mPosX = 512.0f;
  clone->mPosY = 192.0f;
  clone->play(true);
  restartCameras(clone.get());
  clone->setTime(root->mAnimation->mTime, false);
  status = "the tree was cloned";
}

void SceneGraphShowcasePage::update(float dt) {
  if (KR::InputManager::exists()) {
    KR::KeyboardDevice* keyboard = KR::InputManager::getInstance()->getKeyboardDevice();
    for (int i = 0; i < 3; ++i) {
      if (keyboard->wentDown(uint32_t('1' + i))) playMarker(i);
    }
    if (keyboard->wentDown(KR::Platform::kVkReturn)) cloneTree();
  }
  advance(dt);
}

void SceneGraphShowcasePage::draw() {
  if (!load()) return;
  if (heading.font) {
    heading.font->color = heading.color;
    heading.font->drawWString(KR::Rect(), KR::Vector2<float>(0.0f, 16.0f), L"Animated scene graph", false, 1, 0,
                              heading.xcoeff, heading.ycoeff, false, true, 1024.0f, 60.0f);
  }
  AE::renderScene(root.get());
  if (clone) AE::renderScene(clone.get());
  if (caption.font) {
    caption.font->color = caption.color;
    const AE::ISceneNode* active = root->getActiveCamera();
    const std::string line =
        KR::formatString("frame %d of %d, camera %s.  Keys 1-3: markers spin, walk, type.  Enter: clone.",
                         getFrame() % kCycleFrames, kCycleFrames, active ? active->mName.c_str() : "none");
    caption.font->drawString(KR::Rect(), KR::Vector2<float>(40.0f, 712.0f), line, false, 0, 0, 0.0f, 0.0f, false,
                             944.0f, 30.0f);
  }
}

void SceneGraphShowcasePage::render(GameApplication& application) {
  if (status != shownStatus && application.windowInfo && application.windowInfo->window) {
    shownStatus = status;
    application.windowInfo->window->setTitle(
        KR::formatString("%s - scene graph: %s", application.name.c_str(), status.c_str()));
  }
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
