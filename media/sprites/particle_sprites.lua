-- Picture descriptions of the demo particle effects, over the sheet
-- "particle_sheet" (four 32 x 32 frames, made at build time by particle_maker).
-- Emitters name a table here with mSpriteFileName = "particle_sprites" and
-- mSpriteTableName = <table>; particles are drawn centred, at their scale.

-- A soft round dot: fountains, the vortex and the comet's sparks.
ParticleDot = { Image0 = "particle_sheet", SrcRect0 = {0, 0, 32, 32}, Size = {24, 24} }

-- A four-pointed star for sparkles.
ParticleStar = { Image0 = "particle_sheet", SrcRect0 = {32, 0, 64, 32}, Size = {32, 32} }

-- An arrow pointing right (angle 0): auto-rotated particles face their way.
ParticleArrow = { Image0 = "particle_sheet", SrcRect0 = {64, 0, 96, 32}, Size = {24, 24} }

-- The tails' strip: fading in from the left, where a tail ends, to the head.
ParticleTail = { Image0 = "particle_sheet", SrcRect0 = {96, 0, 128, 32}, Size = {32, 32} }
