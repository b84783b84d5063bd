-- The hint and map buttons above the HUD's buttons. The panel's scene draws
-- both, the hint button's caption ("HINT", or "SKIP" inside a minigame) and
-- the charge under it.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

HintPanel = {
  id = "HintPanel", class = "UIWidget", position = { 1410, 925 }, modal = 0,
  states = { fadeIn("HintPanel") },
  childs = {
    -- The charge bar, the hint button with its rim and the map button (hint_panel_xml).
    { id = "hint_scene", class = "UISceneNode", scene = "hint_panel_xml", position = { 0, 0 }, states = { fadeIn("hint_scene") } },
    -- The panel's scene draws both buttons (the hint button with its caption) and
    -- animates them; the buttons are only their click areas.
    { id = "hint_btn", class = "UIButton", states = { fadeIn("hint_btn") }, position = { 0, 0 },
      childs = { { id = "hint_area", class = "UISprite", size = { 120, 48 } } } },
    { id = "map_btn", class = "UIButton", states = { fadeIn("map_btn") }, position = { 130, 0 },
      childs = { { id = "map_area", class = "UISprite", size = { 120, 48 } } } },
  },
  events = {
    { element = "hint_btn", slot = "clicked", command = "hintBtnClicked" },
    { element = "map_btn", slot = "clicked", command = "mapBtnClicked" },
  },
}
