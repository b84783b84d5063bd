-- The guide box's pictures: the widget demo's rounded panel stretched to the
-- box and to its buttons.
GuideBack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {420, 170} }
GuideButton = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {110, 44} }
