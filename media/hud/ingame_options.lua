-- The options window as play opens it from the pause menu; "Hide" closes it.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.2 } } }
end

OptionsWindow = {
  id = "OptionsWindow", class = "UIWidget", position = { 610, 405 },
  states = { fadeIn("OptionsWindow") },
  childs = {
    { id = "options_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "DialogBack",
      color = { 200, 190, 160, 255 }, states = { fadeIn("options_bg") } },
    { id = "options_text", class = "UILabel", fontPreset = "ui_demo_presets_lua:dark", position = { 30, 30 },
      size = { 400, 100 }, text = "Options", states = { fadeIn("options_text") } },
    { id = "options_ok", class = "UIButton", position = { 170, 170 }, text = "OK",
      fontPreset = "ui_demo_presets_lua:caption",
      childs = { { id = "options_ok_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                   states = { fadeIn("options_ok_bg") } } },
      states = { fadeIn("options_ok") } },
  },
  events = { { element = "options_ok", slot = "clicked", command = "Hide" } },
}
