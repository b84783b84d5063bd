#include "core/showcase/showcase_animation_page.h"

#include <algorithm>

#include "color.h"
#include "core/game_application.h"
#include "fast_sprite.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "keyframe_container.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace HOG {

namespace {

const char* const kWalk = "demo_sprite_walk_anim";
const char* const kPresets = "font_presets_lua";
constexpr float kWalkerSize = 40.0f;
constexpr int kPathSamples = 96;
constexpr int kTrailPoints = 24;
constexpr float kTrailSeconds = 0.8f;

float readNumber(KR::LuaScript& script, const char* name, float fallback) {
  script.pushField(name);
  float value = fallback;
  if (!script.toFloat(&value)) value = fallback;
  script.pop();
  return value;
}

void polyline(const std::vector<KR::Vector2<float>>& points, const KR::Color& color) {
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  for (size_t i = 1; i < points.size(); ++i) rs->drawColoredLine(points[i - 1], points[i], color);
}

}  // namespace

AnimationShowcasePage::~AnimationShowcasePage() { release(); }

void AnimationShowcasePage::release() {
  if (!loaded) return;
  loaded = false;
  // The trail draws through the band: forget it before the band goes.
  ribbon.init(nullptr, 0.0f, 0, KR::Vector2<float>());
  if (KR::SpriteManager<KR::Sprite>* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr()) {
    sprites->destroySprite(walker);
    sprites->destroySprite(band);
  }
  if (KR::SpriteManager<KR::FastSprite>* fastSprites = KR::SpriteManager<KR::FastSprite>::getInstancePtr())
    fastSprites->destroySprite(dot);
  walker = band = nullptr;
  dot = nullptr;
  if (KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr()) {
    for (KR::FontPreset* preset : {&heading, &caption}) {
      fonts->releaseFont(preset->font);
      preset->font = nullptr;
    }
  }
}

bool AnimationShowcasePage::load() {
  if (loaded) return true;
  KR::SpriteManager<KR::Sprite>* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr();
  KR::SpriteManager<KR::FastSprite>* fastSprites = KR::SpriteManager<KR::FastSprite>::getInstancePtr();
  KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr();
  if (!sprites || !fastSprites || !fonts || !KR::TextureManager::exists() || !KR::RenderSystem::exists()) return false;
  loaded = true;

  // The playback settings decide smoothing, which new tracks take when bound.
  {
    KR::LuaScript script;
    if (script.getState() && script.loadScript(kWalk, "default") && script.openTable("DemoPlayback")) {
      script.getBool("smooth", &smooth);
      script.getBool("loop", &loopRange);
      startMarker = readNumber(script, "startMarker", -1.0f);
      endMarker = readNumber(script, "endMarker", -1.0f);
      script.closeTable();
    } else {
      KR::log("ERROR: no DemoPlayback in %s\n", kWalk);
    }
  }
  animation.smoothNewTracks = smooth;
  animation.bindVector2Parameter("pos", &position);
  animation.bindFloatTarget("alpha", &alpha);
  KR::bindPosAndU(animation, ribbon);
  if (!animation.loadFromScript(kWalk, "default", "DemoSpriteWalk")) KR::log("ERROR: no DemoSpriteWalk in %s\n", kWalk);

  // Guides: the keys as described, the path as played, the marker points.
  const KR::Animation::IContainer* track = animation.findTrack("pos");
  const uint32_t frames = animation.getFrameCount();
  if (track && track->getKeyCount() >= frames) {
    for (uint32_t i = 0; i < frames; ++i) keys.push_back(*animation.getVector2Value("pos", i));
  }
  if (frames > 0) {
    const float total = animation.getTotalDuration();
    for (int i = 0; i <= kPathSamples; ++i) path.push_back(sample(total * float(i) / float(kPathSamples)));
    markerPoints[0] = sample(std::max(startMarker, 0.0f));
    markerPoints[1] = sample(std::max(endMarker, 0.0f));
  }
  animation.time = 0.0f;
  animation.update(0.0f);

  walker = sprites->createSpriteFromTexture("demo_sprite_disc", "default");
  walker->setSize(KR::Vector2<float>(kWalkerSize, kWalkerSize));
  // The trail's picture: the RGB demo picture squeezed into a band 2 x 8 wide.
  band = sprites->createSpriteFromTexture("demo_rgb", "default");
  band->setSize(KR::Vector2<float>(128.0f, 8.0f));
  ribbon.init(band, kTrailSeconds, kTrailPoints, position);
  ribbon.reset(position);
  dot = fastSprites->createSpriteFromImage("demo_sprite_disc", "default");
  dot->mSize = KR::Vector2<float>(12.0f, 12.0f);

  fonts->loadFontPreset(kPresets, "title", &heading);
  fonts->loadFontPreset(kPresets, "caption", &caption);
  return true;
}

KR::Vector2<float> AnimationShowcasePage::sample(float at) {
  const float saved = animation.time;
  animation.time = at;
  animation.update(0.0f);
  const KR::Vector2<float> result = position;
  animation.time = saved;
  animation.update(0.0f);
  return result;
}

void AnimationShowcasePage::switchDirection() {
  if (startMarker < 0.0f || endMarker < 0.0f) return;
  const float low = std::min(startMarker, endMarker), high = std::max(startMarker, endMarker);
  mode = mode == Mode::Backwards ? Mode::Forwards : Mode::Backwards;
  animation.startMarker = mode == Mode::Backwards ? high : low;
  animation.endMarker = mode == Mode::Backwards ? low : high;
  animation.loop = loopRange;
  animation.time = std::clamp(animation.time, low, high);
}

void AnimationShowcasePage::advance(float dt) {
  if (!load()) return;
  animation.update(dt);
  if (mode == Mode::WholeWalk && animation.isFinished() && startMarker >= 0.0f && endMarker >= 0.0f) {
    // The walk is over: from now on the stretch between the markers, as the
    // playback settings give it (the start marker above the end one plays it
    // backwards).
    mode = startMarker > endMarker ? Mode::Backwards : Mode::Forwards;
    animation.startMarker = startMarker;
    animation.endMarker = endMarker;
    animation.loop = loopRange;
    animation.time = startMarker;
    animation.update(0.0f);
  }
  ribbon.update(dt);
}

void AnimationShowcasePage::update(float dt) {
  if (KR::InputManager::exists() &&
      KR::InputManager::getInstance()->getKeyboardDevice()->wentDown(KR::Platform::kVkReturn))
    switchDirection();
  advance(dt);
}

void AnimationShowcasePage::draw() {
  if (!load()) return;
  if (heading.font) {
    heading.font->color = heading.color;
    heading.font->drawWString(KR::Rect(), KR::Vector2<float>(0.0f, 24.0f), L"Frame animation", false, 1, 0,
                              heading.xcoeff, heading.ycoeff, false, true, 1024.0f, 60.0f);
  }

  // The keys as described (grey zigzag) and the smoothed path (blue).
  polyline(keys, KR::Color::fromChannels(90, 90, 100, 255));
  polyline(path, KR::Color::fromChannels(70, 130, 230, 255));
  dot->setColor(KR::Color::fromChannels(150, 150, 160, 255));
  for (const KR::Vector2<float>& key : keys) {
    dot->mPosition = key - KR::Vector2<float>(6.0f, 6.0f);
    dot->draw();
  }
  dot->setColor(KR::Color::fromChannels(255, 90, 90, 255));
  for (const KR::Vector2<float>& marker : markerPoints) {
    if (path.empty()) break;
    dot->mPosition = marker - KR::Vector2<float>(6.0f, 6.0f);
    dot->draw();
  }

  ribbon.draw();
  walker->setPosition(position.x - kWalkerSize * 0.5f, position.y - kWalkerSize * 0.5f);
  walker->setMeshColor(KR::Color::fromFloats(1.0f, 0.85f, 0.4f, std::clamp(alpha, 0.0f, 1.0f)));
  walker->updateVertices();
  walker->render();

  if (caption.font) {
    const char* state = mode == Mode::WholeWalk   ? "the whole walk, forwards"
                        : mode == Mode::Backwards ? "backwards between the markers"
                                                  : "forwards between the markers";
    caption.font->color = caption.color;
    const std::string lines[3] = {
        KR::formatString("time %.2f s of %.2f s: %s", double(animation.time), double(animation.getTotalDuration()),
                         state),
        KR::formatString("start marker %.1f s, end marker %.1f s, loop %s, smoothing %s", double(startMarker),
                         double(endMarker), loopRange ? "on" : "off", smooth ? "on" : "off"),
        "Grey: the keys; blue: the path played; red: the markers. Enter switches direction."};
    for (int i = 0; i < 3; ++i)
      caption.font->drawString(KR::Rect(), KR::Vector2<float>(40.0f, 640.0f + 30.0f * float(i)), lines[i], false, 0, 0,
                               0.0f, 0.0f, false, 944.0f, 30.0f);
    if (!path.empty()) {
      caption.font->drawString(KR::Rect(), markerPoints[0] + KR::Vector2<float>(-50.0f, 12.0f), "start", false, 0, 0,
                               0.0f, 0.0f, false, 100.0f, 30.0f);
      caption.font->drawString(KR::Rect(), markerPoints[1] + KR::Vector2<float>(-20.0f, 12.0f), "end", false, 0, 0,
                               0.0f, 0.0f, false, 100.0f, 30.0f);
    }
  }
}

void AnimationShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
