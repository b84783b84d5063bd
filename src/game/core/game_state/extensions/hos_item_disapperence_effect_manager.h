#pragma once
// The found-item dissolve: a copy of the found item's sprite cut into a grid
// of pieces (up to 64 x 64, 16 x 16 on the low-quality setting) that leave one
// after another, sweeping from the top right to the bottom left, blow to the
// right, drift to the item's centre line, shrink to half and fade out over 1.7
// s. Eight dissolves run at once at most; a ninth is skipped. All storage is
// made with the manager, so a dissolve allocates nothing. When the
// configuration names a particle effect ("ParticleFXFilename"), each dissolve
// also plays it on the item's centre; a slot takes its effect from the
// particle system at its first dissolve and keeps it.
//
// The play state owns the one instance; the hidden-object scene starts
// dissolves and forwards its update and draw. Main thread only.
//
//   int slot = manager->start(itemSprite, topLeft, pivot, angle);  // -1: none
//   manager->update(dt);
//   manager->draw();
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "singleton.h"
#include "vector2.h"

namespace KR {
class ParticleFX;
class Sprite;
}  // namespace KR

namespace HOG {

class HOSItemDisapperenceEffectManager : public KR::Singleton<HOSItemDisapperenceEffectManager> {
 public:
  static constexpr int kSlots = 8;
  static constexpr uint32_t kMaxSide = 64, kLowQualitySide = 16;
  static constexpr float kLifetime = 1.7f;

  struct Piece {
    float x = 0, y = 0;
    float texLeft = 0, texTop = 0, texRight = 0, texBottom = 0;
    float delay = 0;
    float vx = 0, vy = 0;
    float startX = 0, startY = 0;
    float age = 0;
    float lifetime = kLifetime;
    KR::Color colour;
    float rotation = 0;
  };
  struct Slot {
    std::vector<Piece> pieces;  // kMaxSide * kMaxSide, row-major
    KR::Sprite* sprite = nullptr;
    bool active = false;
    float elapsed = 0;
    float lifetime = kLifetime;
    float pieceWidth = 0, pieceHeight = 0;
    float basePieceWidth = 0, basePieceHeight = 0;
    uint32_t columns = 0, rows = 0;
    KR::Vector2<float> centre;
    KR::ParticleFX* effect = nullptr;  // owned; null without a configured effect
  };

  // Reads "hos_item_disapperence_effect_manager_xml" (section "Config"); the
  // slots' sprites are made when a sprite manager exists.
  HOSItemDisapperenceEffectManager();
  ~HOSItemDisapperenceEffectManager() override;
  HOSItemDisapperenceEffectManager(const HOSItemDisapperenceEffectManager&) = delete;
  HOSItemDisapperenceEffectManager& operator=(const HOSItemDisapperenceEffectManager&) = delete;

  // The slot started, or -1 (no sprite, all slots busy). The grid follows
  // the sprite's size; without a sprite manager only the pieces move.
  int32_t start(const KR::Sprite* sprite, const KR::Vector2<float>& topLeft, const KR::Vector2<float>& pivot,
                float angle);
  // The same from a size and source rectangle (what start reads of the sprite).
  int32_t startGrid(float width, float height, float left, float top, float right, float bottom,
                    const KR::Vector2<float>& topLeft, const KR::Vector2<float>& pivot, float angle);
  void update(float dt);
  void draw();
  // Ends every dissolve (a view change, a loaded game).
  void stopAll();

  const Slot& getSlot(int index) const { return slots[index]; }
  int32_t quality = 0;  // 1: the low grid
  std::string particleFXFilename;
  float windPower = 512.0f;

 private:
  void advance(Slot& slot, float dt);

  Slot slots[kSlots];
};

}  // namespace HOG
