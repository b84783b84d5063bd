#include "core/game_state/extensions/hos_item_disapperence_effect_manager.h"

#include <algorithm>
#include <cmath>

#include "core/game_state/views/held_particle_effect.h"
#include "lua_script_2.h"
#include "particle_fx.h"
#include "rect.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

KR::Vector2<float> rotateAbout(const KR::Vector2<float>& point, const KR::Vector2<float>& pivot, float degrees) {
  const float radians = degrees * 3.14159265f / 180.0f;
  const float c = std::cos(radians), s = std::sin(radians);
  const float dx = point.x - pivot.x, dy = point.y - pivot.y;
  return KR::Vector2<float>(pivot.x + dx * c - dy * s, pivot.y + dx * s + dy * c);
}

float random01() { return float(KR::sharedRandom()) / 32767.0f; }

KR::SpriteManager<KR::Sprite>* sprites() { return KR::SpriteManager<KR::Sprite>::getInstancePtr(); }

}  // namespace

HOSItemDisapperenceEffectManager::HOSItemDisapperenceEffectManager() {
  setInstance(this);
  KR::XmlDataReader reader;
  if (reader.open("default", "hos_item_disapperence_effect_manager_xml") && reader.enterChild("Config")) {
    reader.readString("ParticleFXFilename", &particleFXFilename);
    float wind = 0.0f;
    if (reader.readFloat("WindPower", &wind)) windPower = wind;
  }
  for (Slot& slot : slots) {
    slot.pieces.resize(size_t(kMaxSide) * kMaxSide);
    if (KR::SpriteManager<KR::Sprite>* manager = sprites())
      slot.sprite = manager->createSpriteFromTextureObject(nullptr);
  }
}

HOSItemDisapperenceEffectManager::~HOSItemDisapperenceEffectManager() {
  for (Slot& slot : slots) releaseHeldEffect(&slot.effect);
  if (KR::SpriteManager<KR::Sprite>* manager = sprites())
    for (Slot& slot : slots)
      if (slot.sprite) manager->destroySprite(slot.sprite);
}

int32_t HOSItemDisapperenceEffectManager::start(const KR::Sprite* sprite, const KR::Vector2<float>& topLeft,
                                                const KR::Vector2<float>& pivot, float angle) {
  if (!sprite) return -1;
  int32_t free = -1;
  for (int i = 0; i < kSlots && free < 0; ++i)
    if (!slots[i].active) free = i;
  if (free < 0) return -1;
  if (slots[free].sprite) slots[free].sprite->assign(*sprite);
  KR::Rect source;
  sprite->getFirstFrameRect(&source);
  const KR::Vector2<float> size = sprite->getSize();
  return startGrid(size.x, size.y, source.left, source.top, source.right, source.bottom, topLeft, pivot, angle);
}

int32_t HOSItemDisapperenceEffectManager::startGrid(float width, float height, float left, float top, float right,
                                                    float bottom, const KR::Vector2<float>& topLeft,
                                                    const KR::Vector2<float>& pivot, float angle) {
  Slot* slot = nullptr;
  for (Slot& s : slots)
    if (!s.active) {
      slot = &s;
      break;
    }
  if (!slot) return -1;
  const uint32_t side = quality == 1 ? kLowQualitySide : kMaxSide;
  slot->columns = std::min(uint32_t(std::max(width, 0.0f)), side);
  slot->rows = std::min(uint32_t(std::max(height, 0.0f)), side);
  slot->centre = rotateAbout(KR::Vector2<float>(topLeft.x + width / 2, topLeft.y + height / 2), pivot, angle);
  slot->active = true;
  slot->elapsed = 0.0f;
  slot->lifetime = kLifetime;
  if (!slot->effect) slot->effect = createHeldEffect(particleFXFilename, false);
  if (slot->effect) {
    slot->effect->start();
    slot->effect->mPosition = slot->centre;
  }
  const uint32_t columns = slot->columns, rows = slot->rows;
  slot->basePieceWidth = slot->pieceWidth = columns ? width / float(columns) : 0.0f;
  slot->basePieceHeight = slot->pieceHeight = rows ? height / float(rows) : 0.0f;
  for (uint32_t r = 0; r < rows; ++r) {
    for (uint32_t c = 0; c < columns; ++c) {
      Piece& p = slot->pieces[size_t(r) * columns + c];
      const float u = float(c) / float(columns), v = float(r) / float(rows);
      p.texLeft = left + u * (right - left);
      p.texTop = top + v * (bottom - top);
      p.texRight = p.texLeft + (right - left) / float(columns);
      p.texBottom = p.texTop + (bottom - top) / float(rows);
      const KR::Vector2<float> at =
          rotateAbout(KR::Vector2<float>(topLeft.x + u * width, topLeft.y + v * height), pivot, angle);
      p.x = p.startX = at.x;
      p.y = p.startY = at.y;
      p.rotation = angle;
      // A single row has no row term: its pieces sweep by column only.
      const float rowTerm = rows > 1 ? float(r) / float(rows - 1) : 0.0f;
      p.delay = 0.5f * (rowTerm + float(columns - 1 - c) / float(columns));
      p.vx = 256.0f + 126.0f * random01();
      p.vy = 2.0f * (slot->centre.y - p.startY) / kLifetime;
      p.age = 0.0f;
      p.lifetime = kLifetime;
      p.colour = KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f);
    }
  }
  return int32_t(slot - slots);
}

void HOSItemDisapperenceEffectManager::advance(Slot& slot, float dt) {
  if (slot.effect) slot.effect->update(dt);
  slot.elapsed += dt;
  if (slot.elapsed > slot.lifetime) {
    slot.active = false;
    if (slot.sprite) slot.sprite->setTexture(nullptr);
    return;
  }
  const size_t count = size_t(slot.columns) * slot.rows;
  for (size_t i = 0; i < count; ++i) {
    Piece& p = slot.pieces[i];
    p.delay -= dt;
    p.age += dt;
    if (p.delay >= 0.0f) continue;
    const float band = random01() * 100.0f;
    if (std::fabs(p.y - slot.centre.y) <= band / 10.0f) {
      p.vx = 64.0f;
      p.vy = 50.0f * std::sin(3.14f * p.x);
    }
    p.x += p.vx * dt;
    p.y += p.vy * dt;
    if (std::fabs(p.x - p.startX) > 10.0f) {
      const float shrink = 5.0f * dt / (slot.lifetime * 0.5f * 10000.0f);
      if (slot.pieceWidth > slot.basePieceWidth / 2) slot.pieceWidth -= slot.basePieceWidth * shrink;
      if (slot.pieceHeight > slot.basePieceHeight / 2) slot.pieceHeight -= slot.basePieceHeight * shrink;
    }
    const float alpha = 1.0f - std::min(1.2f * p.age / p.lifetime, 1.0f);
    p.colour = KR::Color::fromFloats(1.0f, 1.0f, 1.0f, alpha);
  }
}

void HOSItemDisapperenceEffectManager::update(float dt) {
  for (Slot& slot : slots)
    if (slot.active) advance(slot, dt);
}

void HOSItemDisapperenceEffectManager::draw() {
  for (Slot& slot : slots) {
    if (!slot.active || !slot.sprite) continue;
    KR::Sprite* sprite = slot.sprite;
    const size_t count = size_t(slot.columns) * slot.rows;
    for (size_t i = 0; i < count; ++i) {
      const Piece& p = slot.pieces[i];
      sprite->setSize(KR::Vector2<float>(slot.pieceWidth, slot.pieceHeight));
      sprite->setPosition(p.x, p.y);
      sprite->setMeshColor(p.colour);
      sprite->setFrameRect(0, KR::Rect(p.texLeft, p.texTop, p.texRight, p.texBottom), true);
      if (std::fabs(sprite->mAngle - p.rotation) >= 0.001f) {
        sprite->mAngle = p.rotation;
        sprite->mDirty = true;
      }
      sprite->updateVertices();
      sprite->render();
    }
  }
  // Over every slot's pieces.
  for (Slot& slot : slots)
    if (slot.active && slot.effect) slot.effect->render();
}

void HOSItemDisapperenceEffectManager::stopAll() {
  for (Slot& slot : slots) slot.active = false;
}

}  // namespace HOG
