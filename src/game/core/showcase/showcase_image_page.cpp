#include "core/showcase/showcase_image_page.h"

#include <algorithm>

#include "application.h"
#include "color.h"
#include "config_manager.h"
#include "core/game_application.h"
#include "design_coords.h"
#include "format_string.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace HOG {

const ImageShowcasePage::Picture ImageShowcasePage::kPictures[kPictureCount] = {
    {"demo_rgb", L"PNG, RGB", L"demo_rgb in data.krp"},
    {"demo_rgba", L"PNG, RGB + alpha", L"demo_rgba in data.krp"},
    {"demo_grey", L"PNG, grey", L"demo_grey in data.krp"},
    {"demo_palette", L"PNG, palette", L"demo_palette in data.krp"},
    {"demo_dxt5", L"DDS, DXT5", L"demo_dxt5 in data.zip"},
    {"demo_tiles", L"KRT", L"demo_tiles, a loose file"},
};

namespace {

const char* const kPresets = "font_presets_lua";
// Each picture is scaled to fit this box, centred in its cell.
constexpr float kBoxWidth = 192.0f;
constexpr float kBoxHeight = 160.0f;
constexpr float kCellWidth = 300.0f;
constexpr float kCellHeight = 270.0f;

KR::Rect cellRect(int i) {
  const float left = 37.0f + 325.0f * float(i % 3);
  const float top = 84.0f + 280.0f * float(i / 3);
  return KR::Rect(left, top, left + kCellWidth, top + kCellHeight);
}

KR::Rect boxRect(int i) {
  const KR::Rect cell = cellRect(i);
  const float left = cell.left + (kCellWidth - kBoxWidth) * 0.5f;
  const float top = cell.top + 20.0f;
  return KR::Rect(left, top, left + kBoxWidth, top + kBoxHeight);
}

void outline(const KR::Rect& box, const KR::Color& color) {
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  const KR::Vector2<float> c[4] = {
      {box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
  for (int i = 0; i < 4; ++i) rs->drawColoredLine(c[i], c[(i + 1) % 4], color);
}

// The frame along the edge of the design area, with a mark in each corner:
// letterboxing shows bars outside it, cropping cuts it off.
void drawDesignFrame() {
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  const float w = float(KR::RenderSystem::getDesignWidth());
  const float h = float(KR::RenderSystem::getDesignHeight());
  const KR::Color edge = KR::Color::fromChannels(255, 200, 60, 255);
  outline(KR::Rect(0.5f, 0.5f, w - 0.5f, h - 0.5f), edge);
  outline(KR::Rect(3.5f, 3.5f, w - 3.5f, h - 3.5f), edge);
  const float arm = 40.0f;
  const KR::Vector2<float> corners[4] = {{8.0f, 8.0f}, {w - 8.0f, 8.0f}, {w - 8.0f, h - 8.0f}, {8.0f, h - 8.0f}};
  for (const KR::Vector2<float>& c : corners) {
    const float dx = c.x < w * 0.5f ? arm : -arm;
    const float dy = c.y < h * 0.5f ? arm : -arm;
    rs->drawColoredLine(c, KR::Vector2<float>(c.x + dx, c.y), edge);
    rs->drawColoredLine(c, KR::Vector2<float>(c.x, c.y + dy), edge);
    rs->drawColoredLine(c, KR::Vector2<float>(c.x + dx, c.y + dy), edge);
  }
}

void drawText(const KR::FontPreset& preset, const std::wstring& text, const KR::Rect& box, uint32_t halign) {
  if (!preset.font) return;
  preset.font->color = preset.color;
  preset.font->drawWString(box, KR::Vector2<float>(box.left, box.top), text, preset.wordWrap, halign, preset.valign,
                           preset.xcoeff, preset.ycoeff, false, true, box.width(), box.height());
}

}  // namespace

std::string ImageShowcasePage::describeFit() {
  if (!KR::ConfigManager::exists() || !KR::RenderSystem::exists()) return std::string();
  const KR::PlatformConfig* platform = KR::ConfigManager::getInstance()->getCurrentPlatform();
  const uint32_t fitType = platform ? platform->fullscreenFitType : 0;
  const WindowInfo& window = KR::RenderSystem::getInstance()->getWindowInfo();
  const KR::Viewport2D view = KR::calcViewport(window);
  const char* kind = (fitType == 1 || fitType == 2) ? "fill" : "letterbox";
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  const bool cropped = view.offset.x < -0.5f || view.offset.y < -0.5f;
  const bool barred = view.offset.x > 0.5f || view.offset.y > 0.5f;
  return KR::formatString("Window %d x %d, fit type %u (%s): design area %d x %d drawn %.0f x %.0f at %.0f, %.0f%s",
                          int(window.mWndWidth), int(window.mWndHeight), unsigned(fitType), kind, int(w), int(h),
                          double(view.size.x), double(view.size.y), double(view.offset.x), double(view.offset.y),
                          cropped ? ", cropped" : (barred ? ", with bars" : ""));
}

ImageShowcasePage::~ImageShowcasePage() { release(); }

void ImageShowcasePage::release() {
  if (!loaded) return;
  loaded = false;
  if (KR::SpriteManager<KR::Sprite>* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr()) {
    for (int i = 0; i < kPictureCount; ++i) {
      sprites->destroySprite(quads[i]);
      sprites->destroySprite(panels[i]);
      quads[i] = panels[i] = nullptr;
    }
  }
  if (KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr()) {
    for (KR::FontPreset* preset : {&heading, &label, &caption}) {
      fonts->releaseFont(preset->font);
      preset->font = nullptr;
    }
  }
}

bool ImageShowcasePage::load() {
  if (loaded) return true;
  KR::SpriteManager<KR::Sprite>* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr();
  KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr();
  if (!sprites || !fonts || !KR::TextureManager::exists() || !KR::RenderSystem::exists()) return false;

  for (int i = 0; i < kPictureCount; ++i) {
    const KR::Rect box = boxRect(i);
    // A dim checker board behind the picture, so that its transparency shows
    // (the grid's coloured edge rows are left out).
    KR::Sprite* panel = sprites->createSpriteFromTexture("demo_sprite_grid", "default");
    panel->setFrameRect(0, KR::Rect(8.0f, 8.0f, 64.0f, 64.0f), true);
    panel->setSize(KR::Vector2<float>(kBoxWidth + 16.0f, kBoxHeight + 16.0f));
    panel->setPosition(box.left - 8.0f, box.top - 8.0f);
    panel->setMeshColor(KR::Color::fromChannels(90, 90, 105, 255));
    panels[i] = panel;

    KR::Sprite* quad = sprites->createSpriteFromTexture(kPictures[i].name, "default");
    const KR::Vector2<float> size = quad->getSize();
    const float scale = (size.x > 0.0f && size.y > 0.0f) ? std::min(kBoxWidth / size.x, kBoxHeight / size.y) : 1.0f;
    const float w = size.x * scale, h = size.y * scale;
    const float left = box.left + (kBoxWidth - w) * 0.5f, top = box.top + (kBoxHeight - h) * 0.5f;
    quad->setScale(KR::Vector2<float>(scale, scale));
    quad->setPosition(left, top);
    quadRects[i] = KR::Rect(left, top, left + w, top + h);
    quads[i] = quad;
  }
  fonts->loadFontPreset(kPresets, "title", &heading);
  fonts->loadFontPreset(kPresets, "body_centred", &label);
  fonts->loadFontPreset(kPresets, "caption", &caption);
  loaded = true;
  return true;
}

void ImageShowcasePage::draw() {
  if (!load()) return;
  drawText(heading, L"Pictures in design coordinates", KR::Rect(0.0f, 24.0f, 1024.0f, 80.0f), 1);
  const KR::Color frame = KR::Color::fromChannels(110, 110, 135, 255);
  for (int i = 0; i < kPictureCount; ++i) {
    panels[i]->updateVertices();
    panels[i]->render();
    quads[i]->updateVertices();
    quads[i]->render();
    const KR::Rect cell = cellRect(i);
    outline(cell, frame);
    const float y = boxRect(i).bottom + 16.0f;
    drawText(label, kPictures[i].format, KR::Rect(cell.left, y, cell.right, y + 30.0f), 1);
    drawText(caption, kPictures[i].container, KR::Rect(cell.left, y + 34.0f, cell.right, y + 60.0f), 1);
  }
  drawDesignFrame();
  if (caption.font) {
    caption.font->color = caption.color;
    const char* const lines[3] = {nullptr, "Resize the window or press Alt+Enter for full screen to see the fit.",
                                  "The yellow frame marks the edge of the design area."};
    for (int i = 0; i < 3; ++i) {
      caption.font->drawString(KR::Rect(), KR::Vector2<float>(60.0f, 648.0f + 30.0f * float(i)),
                               lines[i] ? std::string(lines[i]) : describeFit(), false, 0, 0, 0.0f, 0.0f, false, 904.0f,
                               30.0f);
    }
  }
}

void ImageShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
