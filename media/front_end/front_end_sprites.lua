-- Sprites of the front end's windows.
MenuBackdrop = { Image0 = "menu_backdrop", SrcRect0 = {0, 0, 512, 320}, Size = {1680, 1050} }
-- The panel picture's flat middle only: a plain rectangle, without the rounded corners.
Shade = { Image0 = "demo_ui_panel", SrcRect0 = {20, 20, 24, 24}, Size = {1680, 1050} }
-- The profile list's scroll bar, as tall as the list.
ListBarTrack = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {16, 240} }
ListBarFill = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {16, 240} }
ListSelection = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {336, 28}, Color = {120, 170, 255, 150} }
