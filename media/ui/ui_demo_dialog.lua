-- The modal dialog of the widget demo: loaded with the screen through
-- "related", shown by "show:dialog" and hidden by its OK ("hide:dialog").
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

dialog = {
  id = "dialog", class = "UIWidget", position = { 282, 250 },
  states = { fadeIn("dialog") },
  childs = {
    { id = "dialog_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "DialogBack",
      color = { 255, 230, 200, 255 }, states = { fadeIn("dialog_bg") } },
    { id = "dialog_text", class = "UILabel", fontPreset = "ui_demo_presets_lua:dark", position = { 30, 30 },
      size = { 400, 100 }, states = { fadeIn("dialog_text") },
      text = "A modal dialog. Nothing below it takes input until it is hidden." },
    { id = "dialog_ok", class = "UIButton", position = { 170, 160 }, text = "OK",
      fontPreset = "ui_demo_presets_lua:caption",
      childs = { { id = "dialog_ok_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                   states = { fadeIn("dialog_ok_bg") } } },
      states = {
        { id = "onIdle", propertyChanges = {
          { target = "dialog_ok", property = "transparency", value = 1, duration = 0.25 },
          { target = "dialog_ok_bg", property = "color", value = { 150, 200, 150, 255 }, duration = 0.2 } } },
        { id = "onSelect", propertyChanges = {
          { target = "dialog_ok_bg", property = "color", value = { 120, 230, 120, 255 }, duration = 0.15 } } },
        { id = "onPress", propertyChanges = {
          { target = "dialog_ok_bg", property = "color", value = { 60, 160, 60, 255 }, duration = 0.1 } } },
      } },
  },
  events = { { element = "dialog_ok", slot = "clicked", command = "hide:dialog" } },
}
