-- The pause menu: resume, options, back to the main menu.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.2 } } }
end

local function button(id, y, caption)
  return { id = id, class = "UIButton", position = { 110, y }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "ButtonBack",
                        color = { 200, 210, 230, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

InGameMenu = {
  id = "InGameMenu", class = "UIWidget", position = { 610, 330 },
  states = { fadeIn("InGameMenu") },
  childs = {
    { id = "menu_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "DialogBack",
      size = { 460, 390 }, scale = { 1, 390 / 240 }, color = { 70, 80, 110, 255 }, states = { fadeIn("menu_bg") } },
    button("resume_btn", 40, "Resume"), button("options_btn", 150, "Options"), button("exit_btn", 260, "Main menu"),
  },
  events = {
    { element = "resume_btn", slot = "clicked", command = "hideWindow" },
    { element = "options_btn", slot = "clicked", command = "showOptions" },
    { element = "exit_btn", slot = "clicked", command = "exitGame" },
  },
}
