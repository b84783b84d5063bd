#include "core/showcase/showcase_sprite_page.h"

#include <cmath>

#include "color.h"
#include "core/game_application.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr int kRingSize = 24;
// The clip window the big grid slides through.
const KR::Rect kClipWindow(720.0f, 300.0f, 960.0f, 460.0f);

KR::SpriteManager<KR::Sprite>* sprites() { return KR::SpriteManager<KR::Sprite>::getInstancePtr(); }
KR::SpriteManager<KR::FastSprite>* fastSprites() { return KR::SpriteManager<KR::FastSprite>::getInstancePtr(); }

}  // namespace

SpriteShowcasePage::~SpriteShowcasePage() { release(); }

void SpriteShowcasePage::release() {
  if (!loaded) return;
  loaded = false;
  if (KR::SpriteManager<KR::Sprite>* manager = sprites()) {
    for (KR::Sprite* sprite : {clock, spinner, mesh, clipped, backdrop}) manager->destroySprite(sprite);
    for (KR::Sprite* sprite : flags) manager->destroySprite(sprite);
    for (KR::Sprite* sprite : discs) manager->destroySprite(sprite);
  }
  if (KR::SpriteManager<KR::FastSprite>* manager = fastSprites()) {
    for (KR::FastSprite* sprite : ring) manager->destroySprite(sprite);
    manager->destroySprite(marker);
  }
  ring.clear();
}

bool SpriteShowcasePage::load() {
  if (loaded) return true;
  if (!sprites() || !fastSprites() || !KR::TextureManager::exists() || !KR::RenderSystem::exists()) return false;
  KR::SpriteManager<KR::Sprite>& manager = *sprites();

  // Lua descriptions.
  clock = manager.createSprite("demo_sprites", "DemoClock", "default");
  clockFrames = clock->mFrames;
  spinner = manager.createSprite("demo_sprites", "DemoSpinner", "default");
  mesh = manager.createSprite("demo_sprites", "DemoMesh", "default");
  const char* const discNames[3] = {"DemoAlphaDisc", "DemoColorDisc", "DemoAddDisc"};
  for (int i = 0; i < 3; ++i) {
    discs[i] = manager.createSprite("demo_sprites", discNames[i], "default");
    discs[i]->setPosition(84.0f + 120.0f * float(i), 572.0f);
  }

  // The XML description, then three copies for the mirrors.
  flags[0] = manager.createSpriteFromTextureObject(nullptr);
  KR::XmlDataReader reader;
  if (reader.open("default", "demo_sprites_xml") && reader.enterChild("DemoFlag")) flags[0]->loadFromXml(reader);
  for (int i = 1; i < 4; ++i) flags[i] = manager.createSpriteCopy(flags[0]);
  for (int i = 0; i < 4; ++i) {
    flags[i]->setPosition(64.0f + 160.0f * float(i), 300.0f);
    flags[i]->mMirrorH = (i & 1) != 0;
    flags[i]->mMirrorV = (i & 2) != 0;
  }

  // Pictures straight from textures.
  clipped = manager.createSpriteFromTexture("demo_sprite_grid", "default");
  clipped->setScale(KR::Vector2<float>(4.0f, 4.0f));
  clipped->mClipRect = kClipWindow;
  clipped->mClipEnabled = true;
  backdrop = manager.createSpriteFromTexture("demo_sprite_grid", "default");
  backdrop->setPosition(64.0f, 556.0f);
  backdrop->setScale(KR::Vector2<float>(6.0f, 2.0f));

  for (int i = 0; i < kRingSize; ++i)
    ring.push_back(fastSprites()->createSprite("demo_sprites", "DemoFast", "default"));
  marker = fastSprites()->createSpriteFromImage("demo_sprite_disc", "default");
  marker->mSize = KR::Vector2<float>(10.0f, 10.0f);
  marker->setColor(KR::Color::fromChannels(255, 40, 40, 255));
  loaded = true;
  return true;
}

void SpriteShowcasePage::draw() {
  if (!load()) return;
  // Several frames: a new one every quarter second.
  const size_t frame = size_t(time * 4.0f) % clockFrames.size();
  clock->setFrameRect(0, clockFrames[frame], true);
  clock->updateVertices();
  clock->render();

  // Rotation about rotCenter (the top-left corner, marked red).
  spinner->mAngle = time * 60.0f;
  spinner->mDirty = true;
  spinner->updateVertices();
  spinner->render();
  marker->mPosition = spinner->mPosition + spinner->mRotationCenter - KR::Vector2<float>(5.0f, 5.0f);
  marker->draw();

  // The mesh: its middle vertex circles around its described place.
  mesh->setMeshVertexPosition(
      KR::Vector2<float>(100.0f + 20.0f * std::cos(time * 2.0f), 60.0f + 20.0f * std::sin(time * 2.0f)), 2, 2);
  mesh->updateVertices();
  mesh->render();

  // Mirrors: as described, left-right, top-bottom, both.
  for (KR::Sprite* flag : flags) {
    flag->updateVertices();
    flag->render();
  }

  // Clipping: the big grid slides to and fro behind the clip window.
  clipped->setPosition(kClipWindow.left - 64.0f + 60.0f * std::sin(time * 0.8f), kClipWindow.top - 40.0f);
  clipped->updateVertices();
  clipped->render();
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstance();
  const KR::Vector2<float> corners[4] = {{kClipWindow.left, kClipWindow.top},
                                         {kClipWindow.right, kClipWindow.top},
                                         {kClipWindow.right, kClipWindow.bottom},
                                         {kClipWindow.left, kClipWindow.bottom}};
  for (int i = 0; i < 4; ++i) renderSystem->drawLine(corners[i], corners[(i + 1) % 4]);

  // Blend modes over the backdrop: alpha, color, add.
  backdrop->updateVertices();
  backdrop->render();
  for (KR::Sprite* disc : discs) {
    disc->updateVertices();
    disc->render();
  }

  // Fast sprites: a turning ring, each tinted by its place.
  for (int i = 0; i < kRingSize; ++i) {
    KR::FastSprite* sprite = ring[size_t(i)];
    const float angle = time * 0.7f + float(i) * 6.2831853f / float(kRingSize);
    sprite->mPosition = KR::Vector2<float>(720.0f + 110.0f * std::cos(angle), 610.0f + 90.0f * std::sin(angle));
    sprite->mAngle = angle * 57.29578f;
    const float hue = float(i) / float(kRingSize) * 6.2831853f;
    sprite->setColor(KR::Color::fromFloats(0.6f + 0.4f * std::sin(hue), 0.6f + 0.4f * std::sin(hue + 2.1f),
                                           0.6f + 0.4f * std::sin(hue + 4.2f), 0.9f));
    sprite->draw();
  }
}

void SpriteShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
