-- The hint and map buttons above the HUD's buttons; the hint button's
-- caption reads "HINT", or "SKIP" inside a minigame. The panel's scene shows
-- the charge under the hint button and draws and animates the map button.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

HintPanel = {
  id = "HintPanel", class = "UIWidget", position = { 1410, 925 }, modal = 0,
  states = { fadeIn("HintPanel") },
  childs = {
    -- The charge bar, the full button's rim and the map button (hint_panel_xml), under the buttons.
    { id = "hint_scene", class = "UISceneNode", scene = "hint_panel_xml", position = { 0, 0 }, states = { fadeIn("hint_scene") } },
    { id = "hint_btn", class = "UIButton", states = { fadeIn("hint_btn") }, position = { 0, 0 },
      childs = {
        { id = "hint_bg", class = "UISprite", states = { fadeIn("hint_bg") }, imagename = "ui_demo_sprites", tablename = "OkBack",
          color = { 170, 200, 150, 255 } },
        { id = "caption", class = "UILabel", states = { fadeIn("caption") }, fontPreset = "ui_demo_presets_lua:caption", position = { 0, 0 },
          size = { 120, 48 }, text = "HINT" },
      } },
    -- The panel's scene draws the map button and animates it; the button is only its click area.
    { id = "map_btn", class = "UIButton", states = { fadeIn("map_btn") }, position = { 130, 0 },
      childs = { { id = "map_area", class = "UISprite", size = { 120, 48 } } } },
  },
  events = {
    { element = "hint_btn", slot = "clicked", command = "hintBtnClicked" },
    { element = "map_btn", slot = "clicked", command = "mapBtnClicked" },
  },
}
