#pragma once
// The demo particle effects and the picture sheet they draw with.
//
// Effects (file name: what it shows):
//   fountain_fx  a box emitter spraying dots up against gravity, colour and
//                size changing over each particle's life
//   sparkles_fx  stars in a disc, each spinning at its own rate, added blending
//   vortex_fx    a point emitter in global coordinates: particles pushed out,
//                orbiting the centre and pulled back by a gravity point
//   flock_fx     arrows from a quadrilateral, steered by curves over their life
//                and turned to face where they fly
//   comet_fx     a comet's head drawn as tails, shedding sparks, along a
//                looping path ("comet_path_anim")
// and the play screens' effects:
//   notebook_top_fx, notebook_bottom_fx  short bursts (stars rising, dots
//                falling) that end by themselves: a record pushed to the notebook
//   hint_flash_fx       stars bursting and a glow where a hint points (its end)
//   hint_sparks_fx      sparks left behind by each flying hint ribbon
//   blackout_screen_fx  dark blots over the whole scene while missed clicks are punished
//   item_found_fx       a puff of stars blown away with a found item
// Sprites come from the Lua description "particle_sprites" (tables ParticleDot,
// ParticleStar, ParticleArrow, ParticleTail) over the sheet "particle_sheet".
#include <string>
#include <vector>

#include "image_maker.h"

namespace KR {

class ParticleFX;

namespace Tools {

struct DemoEffect {
  std::string fileName;  // entry name in package "default"
  ParticleFX* (*make)();
};

const std::vector<DemoEffect>& demoEffects();

ParticleFX* makeFountain();
ParticleFX* makeSparkles();
ParticleFX* makeVortex();
ParticleFX* makeFlock();
ParticleFX* makeComet();
ParticleFX* makeNotebookTop();
ParticleFX* makeNotebookBottom();
ParticleFX* makeHintFlash();
ParticleFX* makeHintSparks();
ParticleFX* makeBlackoutScreen();
ParticleFX* makeItemFound();

// The effect as an effect file: document "root" holding the pointer "ParticleFX".
// The particle classes must be registered with the object factory.
std::string effectFileText(ParticleFX& effect);

// 128 x 32: a soft dot, a four-pointed star, an arrow pointing right and a
// strip fading in from the left (the tails' texture), 32 x 32 each.
RgbaPicture makeParticleSheet();

}  // namespace Tools
}  // namespace KR
