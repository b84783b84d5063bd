-- Frame description of the demo sprite's walk across the screen.
--
-- Load with Animation::loadFromScript("demo_sprite_walk_anim", "default", "DemoSpriteWalk")
-- after binding the parameters "pos" (position, design pixels) and "alpha".
-- The walk is meant to be shown smoothed (smoothNewTracks set before binding),
-- so the sprite rounds the corners of the zigzag instead of turning sharply.
--
-- DemoPlayback holds the demo's own settings for the play range: it first plays
-- the whole walk, then walks back from the far corner to the middle and loops
-- over that stretch in reverse (startMarker > endMarker plays backwards).

DemoSpriteWalk = {
  Animation = {
    loop = 0,
    speedCoef = 1.0,
    Frames = {
      { duration = 0.5, pos = {  64, 384 }, alpha = 0.0 },
      { duration = 0.5, pos = { 224, 192 }, alpha = 1.0 },
      { duration = 0.5, pos = { 384, 576 }, alpha = 1.0, loopCoeff = 0.5 },
      { duration = 0.5, pos = { 544, 192 }, alpha = 1.0 },
      { duration = 0.5, pos = { 704, 576 }, alpha = 1.0, loopCoeff = 0.5 },
      { duration = 0.5, pos = { 864, 192 }, alpha = 1.0 },
      { duration = 1.0, pos = { 960, 384 }, alpha = 0.5 },
    },
  },
}

DemoPlayback = {
  smooth = 1,
  -- seconds into the walk
  startMarker = 3.0,
  endMarker = 1.0,
  loop = 1,
}
