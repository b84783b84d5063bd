-- Sprites of the front end's windows.
MenuBackdrop = { Image0 = "menu_backdrop", SrcRect0 = {0, 0, 512, 320}, Size = {1680, 1050} }
Shade = { Image0 = "demo_ui_panel", SrcRect0 = {0, 0, 64, 64}, Size = {1680, 1050}, Color = {0, 0, 0, 160} }
