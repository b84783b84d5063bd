#include "core/showcase/showcase_font_page.h"

#include <unistd.h>

#include <cmath>

#include "color.h"
#include "core/game_application.h"
#include "font.h"
#include "format_string.h"
#include "function.h"
#include "input_manager_win_mac.h"
#include "job_manager.h"
#include "matrix3.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "string_conversion.h"
#include "timer_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace HOG {

namespace {

const char* const kPresets = "font_presets_lua";

const wchar_t* const kParagraph =
    L"The lantern flickered as the clock in the hall struck noon. Every mirror showed a different room, "
    L"and none of them was this one.\nÀ propos: déjà vu, Straße, señor, façade, smørrebrød.";

void sleepTwoSeconds() { usleep(2000000); }

void outline(const KR::Rect& box) {
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  const KR::Color grey = KR::Color::fromChannels(90, 90, 110, 255);
  const KR::Vector2<float> c[4] = {
      {box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
  for (int i = 0; i < 4; ++i) rs->drawColoredLine(c[i], c[(i + 1) % 4], grey);
}

// Draws a preset's text in a box with the preset's own settings.
void drawInBox(const KR::FontPreset& preset, const std::wstring& text, const KR::Rect& box) {
  if (!preset.font) return;
  outline(box);
  preset.font->color = preset.color;
  preset.font->drawWString(box, KR::Vector2<float>(box.left, box.top), text, preset.wordWrap, preset.halign,
                           preset.valign, preset.xcoeff, preset.ycoeff, true, true, box.width(), box.height());
}

}  // namespace

FontShowcasePage::~FontShowcasePage() { release(); }

void FontShowcasePage::release() {
  if (!loaded) return;
  loaded = false;
  if (KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr()) {
    for (KR::FontPreset* preset : {&title_, &body, &centred, &right, &caption}) {
      fonts->releaseFont(preset->font);
      preset->font = nullptr;
    }
  }
}

bool FontShowcasePage::load() {
  if (loaded) return true;
  KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr();
  if (!fonts || !KR::RenderSystem::exists()) return false;
  fonts->loadFontPreset(kPresets, "title", &title_);
  fonts->loadFontPreset(kPresets, "body", &body);
  fonts->loadFontPreset(kPresets, "body_centred", &centred);
  fonts->loadFontPreset(kPresets, "body_right", &right);
  fonts->loadFontPreset(kPresets, "caption", &caption);
  loaded = true;
  return true;
}

void FontShowcasePage::update(float dt) {
  time += dt;
  if (!KR::InputManager::exists() || !KR::JobManager::exists()) return;
  if (KR::InputManager::getInstance()->getKeyboardDevice()->wentDown(KR::Platform::kVkReturn)) {
    KR::JobManager::getInstance()->addJob(new KR::Function<KR::Dummy>(&sleepTwoSeconds))->start();
  }
}

void FontShowcasePage::draw(KR::Font* overlayFont) {
  if (title_.font) {
    title_.font->color = title_.color;
    title_.font->drawWString(KR::Rect(), KR::Vector2<float>(0.0f, 30.0f), L"Bitmap fonts", false, 1, 0, title_.xcoeff,
                             title_.ycoeff, false, true, 1024.0f, 60.0f);
  }
  const std::wstring paragraph = kParagraph;
  drawInBox(body, paragraph, KR::Rect(40.0f, 110.0f, 340.0f, 330.0f));
  drawInBox(centred, paragraph, KR::Rect(362.0f, 110.0f, 662.0f, 330.0f));
  drawInBox(right, paragraph, KR::Rect(684.0f, 110.0f, 984.0f, 330.0f));

  // Other sizes and angles: the same font under a transform.
  if (body.font) {
    KR::UIFont* font = body.font;
    font->color = KR::Color::fromChannels(255, 200, 150, 255);
    const float sizes[3] = {0.6f, 1.0f, 1.6f};
    float y = 360.0f;
    for (float size : sizes) {
      const KR::Matrix3 m = KR::Matrix3::multiply(KR::Matrix3::translation(40.0f, y), KR::Matrix3::scaling(size, size));
      font->drawWStringTransformed(m, KR::Vector2<float>(900.0f, 60.0f),
                                   KR::toWideString(KR::formatString("Scaled %.1f times", double(size))), false, 0, 0,
                                   0.0f, 0.0f, false, KR::Rect(), true, 0);
      y += 40.0f * size;
    }
    const KR::Matrix3 turning =
        KR::Matrix3::multiply(KR::Matrix3::translation(760.0f, 440.0f), KR::Matrix3::rotation(12.0f * std::sin(time)));
    font->color = KR::Color::fromChannels(200, 255, 200, 255);
    font->drawWStringTransformed(turning, KR::Vector2<float>(220.0f, 40.0f), L"Turning text", false, 1, 1, 0.0f, 0.0f,
                                 false, KR::Rect(), false, 0);

    // Typed out: the glyph limit grows with time.
    const std::wstring typed = L"A letter appears, then another, until the line is complete.";
    font->color = KR::Color::fromChannels(255, 255, 255, 255);
    font->drawWStringTransformed(KR::Matrix3::translation(40.0f, 520.0f), KR::Vector2<float>(940.0f, 30.0f), typed,
                                 false, 0, 0, 0.0f, 0.0f, false, KR::Rect(), true,
                                 1 + int32_t(std::fmod(time * 12.0f, float(typed.size() + 20))));

    font->color = KR::Color::fromChannels(255, 230, 160, 255);
    font->drawWString(KR::Rect(), KR::Vector2<float>(40.0f, 570.0f),
                      L"\u3053\u3093\u306B\u3061\u306F\u3001\u4E16\u754C\u3002\u65E5\u672C\u8A9E\u306E\u30C6\u30AD"
                      L"\u30B9\u30C8\uFF01 \u4E2D\u6587\u5B57\uFF1F",
                      false, 0, 0, 0.0f, 0.0f, false, true, 940.0f, 30.0f);

    // The resolution level the window scale chose.
    const KR::UIFontMipLevel* level = font->selectMipLevel();
    if (!level) return;
    const float scale = KR::UIFont::getScreenScale();
    std::string info = KR::formatString("window scale %.2f: level %d of %u (drawn 1:1 at scale %.2f)", double(scale),
                                        int(level - font->levels), font->levelCount, double(level->scale));
    if (caption.font) {
      caption.font->color = caption.color;
      caption.font->drawString(KR::Rect(), KR::Vector2<float>(40.0f, 620.0f), info, false, caption.halign,
                               caption.valign, caption.xcoeff, caption.ycoeff, false, 940.0f, 30.0f);
      caption.font->drawString(KR::Rect(), KR::Vector2<float>(40.0f, 650.0f),
                               "Resize the window to switch levels; Enter starts a two-second job.", false, 0, 0, 0.0f,
                               0.0f, false, 940.0f, 30.0f);
    }
  }

  // The frame rate in the engine's own overlay font.
  if (overlayFont && KR::TimerManager::exists()) {
    const float dt = KR::TimerManager::getInstance()->getFrameTime();
    overlayFont->drawText(KR::Vector2<float>(0.0f, 0.0f),
                          KR::formatString("FPS %.1f", dt > 0.0f ? 1.0 / double(dt) : 0.0), 1.0f,
                          KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f));
  }
}

void FontShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this, &application] { draw(application.systemFont); });
}

}  // namespace HOG
