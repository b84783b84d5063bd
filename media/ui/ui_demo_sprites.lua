-- Pictures of the widget demo: one rounded panel picture stretched to each
-- size (widgets tint it), and the white disc as an icon.
ButtonBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {240, 56} }
PanelBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {380, 250} }
DialogBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {460, 240} }
OkBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {120, 48} }
Icon = { Image0 = "demo_sprite_disc", SrcRect0 = {0, 0, 32, 32}, Size = {32, 32} }
