-- The widget demo screen of the showcase. Every widget that should appear
-- lists an "onIdle" state: a freshly loaded tree is hidden until shown, and
-- showing enters "onIdle" throughout the tree.

local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.3 } } }
end

-- A button with a stretched background, an icon and a caption. Its states
-- move, fade and tint its children: the icon slides right under the pointer
-- and turns red while pressed.
local function button(id, x, y, caption, extra)
  local bg, icon = id .. "_bg", id .. "_icon"
  local t = {
    id = id, class = "UIButton", position = { x, y },
    text = caption, fontPreset = "ui_demo_presets_lua:caption", captionOrder = 1,
    childs = {
      { id = bg, class = "UISprite", imagename = "ui_demo_sprites", tablename = "ButtonBack", states = { fadeIn(bg) } },
      { id = icon, class = "UISprite", imagename = "ui_demo_sprites", tablename = "Icon", position = { 10, 12 },
        color = { 90, 140, 255, 255 }, states = { fadeIn(icon) } },
    },
    states = {
      { id = "onIdle", propertyChanges = {
        { target = id, property = "transparency", value = 1, duration = 0.3 },
        { target = bg, property = "color", value = { 255, 255, 255, 255 }, duration = 0.2 },
        { target = icon, property = "offset", value = { 0, 0 }, duration = 0.2 },
        { target = icon, property = "color", value = { 255, 255, 255, 255 }, duration = 0.2 },
        { target = icon, property = "scale", value = { 1, 1 }, duration = 0.2 } } },
      { id = "onSelect", propertyChanges = {
        { target = bg, property = "color", value = { 255, 236, 160, 255 }, duration = 0.15 },
        { target = icon, property = "offset", value = { 8, 0 }, duration = 0.15 },
        { target = icon, property = "transparency", value = 0.6, duration = 0.15 },
        { target = icon, property = "scale", value = { 1, 1 }, duration = 0.15 } } },
      { id = "onPress", propertyChanges = {
        { target = bg, property = "color", value = { 170, 200, 255, 255 }, duration = 0.1 },
        { target = icon, property = "offset", value = { 8, 2 }, duration = 0.1 },
        { target = icon, property = "transparency", value = 1, duration = 0.1 },
        { target = icon, property = "color", value = { 255, 80, 80, 255 }, duration = 0.1 } } },
      { id = "onDisable", propertyChanges = {
        { target = id, property = "transparency", value = 1, duration = 0.3 },
        { target = bg, property = "transparency", value = 0.5, duration = 0.3 },
        { target = bg, property = "color", value = { 120, 120, 120, 255 }, duration = 0.3 },
        { target = icon, property = "transparency", value = 0.3, duration = 0.3 },
        { target = "caption", property = "transparency", value = 0.5, duration = 0.3 } } },
    },
  }
  for k, v in pairs(extra or {}) do t[k] = v end
  return t
end

-- The panel file is used twice; each use places it and adds its own child.
local function panel(id, x, y, child, extra)
  local t = { id = id, class = "UIWidget", instance = "#ui_demo_panel_lua:panel", position = { x, y },
              childs = { child }, states = { fadeIn(id) } }
  for k, v in pairs(extra or {}) do t[k] = v end
  return t
end

widgets_demo = {
  id = "widgets_demo", class = "UIWidget",
  related = { { filename = "ui_demo_dialog_lua", id = "dialog" } },
  states = { fadeIn("widgets_demo") },
  childs = {
    { id = "title", class = "UILabel", text = "#UI_DEMO_TITLE", fontPreset = "font_presets_lua:title",
      position = { 0, 24 }, size = { 1024, 60 }, states = { fadeIn("title") } },
    button("open_dialog", 110, 120, "Open dialog"),
    button("show_right", 392, 120, "Show panel 2"),
    button("disabled", 674, 120, "Disabled", { enabled = 0 }),
    panel("left_panel", 110, 240,
          button("hide_right", 70, 170, "Hide panel 2")),
    panel("right_panel", 534, 240,
          { id = "right_note", class = "UILabel", text = "The same panel file, loaded a second time.",
            fontPreset = "ui_demo_presets_lua:dark", position = { 30, 180 }, size = { 320, 60 },
            states = { fadeIn("right_note") } },
          { modal = 0 }),
    { id = "help", class = "UILabel", fontPreset = "ui_demo_presets_lua:note", position = { 110, 540 },
      size = { 810, 160 }, states = { fadeIn("help") },
      text = "Hover a button to select it, press to see onPress. A press dragged off a button clicks nothing. "
          .. "The dialog is modal: the screen below takes no input until its OK hides it. "
          .. "Right and Left turn the pages." },
  },
  events = {
    { element = "open_dialog", slot = "clicked", command = "show:dialog" },
    { element = "show_right", slot = "clicked", command = "show: right_panel" },
    { element = "hide_right", slot = "clicked", command = "hide:right_panel" },
  },
}
