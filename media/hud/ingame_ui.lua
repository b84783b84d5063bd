-- The HUD: the menu and go-back buttons in the lower right corner, over the
-- inventory strip's end.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

local function button(id, x, caption)
  return { id = id, class = "UIButton", position = { x, 0 }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                        color = { 210, 200, 170, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

InGame = {
  id = "InGame", class = "UIWidget", position = { 1410, 990 }, modal = 0,
  states = { fadeIn("InGame") },
  childs = { button("back_btn", 0, "Back"), button("menu_btn", 130, "Menu") },
  events = {
    { element = "menu_btn", slot = "clicked", command = "menuClicked" },
    { element = "back_btn", slot = "clicked", command = "goBackwardButtonClicked" },
  },
}
