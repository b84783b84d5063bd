-- The hint button above the HUD's buttons; its caption reads "HINT", or
-- "SKIP" inside a minigame.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

HintPanel = {
  id = "HintPanel", class = "UIWidget", position = { 1410, 925 }, modal = 0,
  states = { fadeIn("HintPanel") },
  childs = {
    { id = "hint_btn", class = "UIButton", position = { 0, 0 },
      childs = {
        { id = "hint_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack", size = { 250, 52 },
          color = { 170, 200, 150, 255 } },
        { id = "caption", class = "UILabel", fontPreset = "ui_demo_presets_lua:caption", position = { 0, 0 },
          size = { 250, 52 }, text = "HINT" },
      } },
  },
  events = { { element = "hint_btn", slot = "clicked", command = "hintBtnClicked" } },
}
