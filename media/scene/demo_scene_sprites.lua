-- Sprite descriptions of the scene-graph page of the showcase, Lua spelling.
-- While sprite sheets are on, the scene nodes read the same descriptions from
-- the sheet "demo_scene_sxml" first and fall back to these tables.
--
-- "Animation" lists the frames a sprite node runs through: each entry's
-- "SrcRect0" is a source rectangle {left, top, right, bottom} in texels.

-- The hand of the sprite sheet turning through its four directions.
SceneHand = {
  Image0 = "demo_sprite_sheet", SrcRect0 = {0, 0, 32, 32},
  Size = {64, 64},
  Animation = {
    Frames = {
      { duration = 0.25, SrcRect0 = {0, 0, 32, 32} },
      { duration = 0.25, SrcRect0 = {32, 0, 64, 32} },
      { duration = 0.25, SrcRect0 = {64, 0, 96, 32} },
      { duration = 0.25, SrcRect0 = {96, 0, 128, 32} },
    },
  },
}

-- A soft disc for the parent, the path walker and the depth layers.
SceneDisc = { Image0 = "demo_sprite_disc", Size = {48, 48} }

-- The checker board: the stencil mask and the sheared children.
SceneBoard = { Image0 = "demo_sprite_grid", SrcRect0 = {0, 0, 64, 64}, Size = {96, 96} }

-- Only in this script (the sheet lacks it): the Lua description serves.
SceneBand = { Image0 = "demo_sprite_grid", SrcRect0 = {0, 0, 64, 16}, Size = {256, 24} }
