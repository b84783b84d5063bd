-- The hint and map buttons above the HUD's buttons; the hint button's
-- caption reads "HINT", or "SKIP" inside a minigame.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

HintPanel = {
  id = "HintPanel", class = "UIWidget", position = { 1410, 925 }, modal = 0,
  states = { fadeIn("HintPanel") },
  childs = {
    { id = "hint_btn", class = "UIButton", states = { fadeIn("hint_btn") }, position = { 0, 0 },
      childs = {
        { id = "hint_bg", class = "UISprite", states = { fadeIn("hint_bg") }, imagename = "ui_demo_sprites", tablename = "OkBack",
          color = { 170, 200, 150, 255 } },
        { id = "caption", class = "UILabel", states = { fadeIn("caption") }, fontPreset = "ui_demo_presets_lua:caption", position = { 0, 0 },
          size = { 120, 48 }, text = "HINT" },
      } },
    { id = "map_btn", class = "UIButton", states = { fadeIn("map_btn") }, position = { 130, 0 }, text = "Map", fontPreset = "ui_demo_presets_lua:caption",
      childs = { { id = "map_bg", class = "UISprite", states = { fadeIn("map_bg") }, imagename = "ui_demo_sprites", tablename = "OkBack",
                   color = { 150, 180, 210, 255 } } } },
  },
  events = {
    { element = "hint_btn", slot = "clicked", command = "hintBtnClicked" },
    { element = "map_btn", slot = "clicked", command = "mapBtnClicked" },
  },
}
