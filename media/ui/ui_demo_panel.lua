-- A panel of the widget demo, placed twice on the screen through "instance".
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.3 } } }
end

panel = {
  id = "panel", class = "UIWidget",
  states = { fadeIn("panel") },
  childs = {
    { id = "panel_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "PanelBack",
      color = { 200, 215, 240, 255 }, states = { fadeIn("panel_bg") } },
    { id = "panel_text", class = "UILabel", fontPreset = "ui_demo_presets_lua:dark", position = { 30, 24 },
      size = { 320, 130 }, states = { fadeIn("panel_text") },
      text = "A panel from its own UI file. Both panels are this table, built once for each use." },
  },
}
