-- Pictures of the controls and scene-list demos: the rounded panel picture
-- stretched to each size (widgets and scenes tint it) and the white disc.
OptionBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {380, 56} }
AreaMask = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {420, 400} }
AreaBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {420, 400} }
BarTrack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {16, 400} }
BarFill = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {16, 400} }
Knob = { Image0 = "demo_sprite_disc", SrcRect0 = {0, 0, 32, 32}, Size = {28, 28} }
SliderTrack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {300, 16} }
SliderFill = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {300, 16} }
BoxFace = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {40, 40} }
BoxTick = { Image0 = "demo_sprite_disc", SrcRect0 = {0, 0, 32, 32}, Size = {24, 24} }
ListBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {360, 150} }
Selection = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {352, 28}, Color = {120, 170, 255, 150} }
EditBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {300, 44} }
-- Scene lists: frames, masks (stencil only, never drawn), items, bars and dots.
ListFrame = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {660, 150} }
ListMask = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {640, 130} }
BookFrame = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {590, 150} }
BookMask = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {570, 130} }
ItemBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {180, 110} }
ItemIcon = { Image0 = "demo_sprite_disc", SrcRect0 = {0, 0, 32, 32}, Size = {40, 40} }
StripTrack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {640, 8} }
StripThumb = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {40, 24} }
PageDot = { Image0 = "demo_sprite_disc", SrcRect0 = {0, 0, 32, 32}, Size = {20, 20} }
PageButton = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {60, 40} }
