-- Picture descriptions of the sprite page of the showcase (Lua spelling).
-- Load with SpriteManager<Sprite>::createSprite("demo_sprites", <table>, "default")
-- or, for the fast sprite, SpriteManager<FastSprite>::createSprite.

-- Four frames of the sheet: the hand points up, right, down and left.
-- Drawn at three times the sheet's 32 x 32 frames.
DemoClock = {
  Pos = {64, 80},
  Image0 = "demo_sprite_sheet", SrcRect0 = {0, 0, 32, 32},
  Image1 = "demo_sprite_sheet", SrcRect1 = {32, 0, 64, 32},
  Image2 = "demo_sprite_sheet", SrcRect2 = {64, 0, 96, 32},
  Image3 = "demo_sprite_sheet", SrcRect3 = {96, 0, 128, 32},
  Size = {96, 96},
}

-- Turns about its top-left corner: rotCenter is relative to Pos, unscaled.
DemoSpinner = {
  Pos = {320, 128},
  Image0 = "demo_sprite_sheet", Package0 = "default", SrcRect0 = {32, 0, 64, 32},
  Size = {64, 64},
  rotCenter = {0, 0},
  Angle = 30,
}

-- A 4 x 4 grid whose middle vertex and right edge are pulled out of place;
-- the listed vertices carry their own colours.
DemoMesh = {
  Pos = {448, 48},
  Image0 = "demo_sprite_grid",
  Size = {160, 160},
  Color = {255, 255, 255, 255},
  Mesh = {
    sizeX = 4, sizeY = 4,
    Vertecies = {
      { x = 2, y = 2, Pos = {100, 60}, Color = {255, 240, 120, 255} },
      { x = 4, y = 1, Pos = {176, 40}, Color = {255, 255, 255, 255} },
      { x = 4, y = 3, Pos = {176, 120}, Color = {255, 255, 255, 255} },
      { x = 0, y = 4, Pos = {-16, 176}, Color = {120, 200, 255, 255} },
    },
  },
}

-- The same disc in the three blend modes.
DemoAlphaDisc = { Image0 = "demo_sprite_disc", Size = {96, 96}, Color = {255, 110, 40, 170}, BlendMode = "alpha" }
DemoColorDisc = { Image0 = "demo_sprite_disc", Size = {96, 96}, Color = {255, 110, 40, 170}, BlendMode = "color" }
DemoAddDisc = { Image0 = "demo_sprite_disc", Size = {96, 96}, Color = {255, 110, 40, 170}, BlendMode = "add" }

-- A fast sprite: the last frame of the sheet, small and slightly see-through.
DemoFast = {
  Image0 = "demo_sprite_sheet", SrcRect0 = {96, 0, 128, 32},
  Size = {28, 28},
  Color = {255, 255, 255, 230},
}
