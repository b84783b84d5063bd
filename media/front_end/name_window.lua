-- The two name windows over name_window_scene_xml: the text field "textedit"
-- (placed at the node "/root_group/trigger"), OK (the handler name the main
-- menu's configuration gives each) and, for the one opened from the profile
-- list, Cancel ("closeClick").
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.2 } } }
end

local function button(id, x, caption)
  return { id = id, class = "UIButton", position = { x, 575 }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                        color = { 220, 210, 180, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

local function window(table, ok, cancel)
  local childs = {
    { id = "name_scene", class = "UISceneNode", scene = "name_window_scene_xml", position = { 0, 0 },
      states = { fadeIn("name_scene") } },
    { id = "textedit", class = "UITextEdit", position = { 0, 0 }, maxLength = 16, filterSpecialCharacters = 1,
      fontPreset = "ui_demo_presets_lua:caption", states = { fadeIn("textedit") },
      childs = { { id = "textedit_back", class = "UISprite", imagename = "ui_controls_sprites", tablename = "EditBack",
                   color = { 235, 235, 240, 255 }, states = { fadeIn("textedit_back") } } } },
  }
  local events = { { element = "name_ok", slot = "clicked", command = ok },
                   { element = "textedit", slot = "textEntered", command = ok } }
  if cancel then
    childs[#childs + 1] = button("name_ok", 660, "OK")
    childs[#childs + 1] = button("name_cancel", 900, "Cancel")
    events[#events + 1] = { element = "name_cancel", slot = "clicked", command = "closeClick" }
  else
    childs[#childs + 1] = button("name_ok", 780, "OK")
  end
  return { id = table, class = "UIWidget", position = { 0, 0 }, states = { fadeIn(table) }, childs = childs,
           events = events }
end

EnterProfileName = window("EnterProfileName", "nameWindowOk", true)
FirstEnterProfileName = window("FirstEnterProfileName", "firstNameWindowOk", false)
