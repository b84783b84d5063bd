#pragma once
// Particle effects that the game's screens keep for themselves: taken from the
// particle system by file name, advanced and drawn by their holder, and given
// back when the holder is done. A held effect is claimed at once, so the
// particle system never advances or reaps it behind the holder's back.
//
//   KR::ParticleFX* fx = createHeldEffect("hint_flash_fx", false);  // null: no such effect
//   fx->update(dt); fx->render();                                    // every frame
//   releaseHeldEffect(&fx);                                          // fx is null again
#include <string>

namespace KR {
class ParticleFX;
}

namespace HOG {

// Null for an empty name, a file that cannot be read or no particle system.
// `playing` false leaves the effect waiting for its start().
KR::ParticleFX* createHeldEffect(const std::string& fileName, bool playing);
// Back to the particle system (which deletes its effects when it goes first); the pointer is cleared.
void releaseHeldEffect(KR::ParticleFX** effect);
// Every emitter's emission rate multiplied by `scale` (0 stops new particles).
void setEmitRateScale(KR::ParticleFX* effect, float scale);

}  // namespace HOG
