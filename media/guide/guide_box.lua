-- The guide box: a short text beside the place the player should use, and up
-- to three buttons, each of which ends the step on show. The game places the
-- box and its buttons itself.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

local function button(id, caption)
  return { id = id, class = "UIButton", position = { 0, 0 }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           states = { fadeIn(id) },
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "guide_box_sprites", tablename = "GuideButton",
                        color = { 190, 215, 160, 255 }, states = { fadeIn(id .. "_bg") } } } }
end

GuideBox = {
  id = "GuideBox", class = "UIWidget", position = { 0, 0 }, modal = 0,
  states = { fadeIn("GuideBox") },
  childs = {
    { id = "guide_bg", class = "UISprite", imagename = "guide_box_sprites", tablename = "GuideBack",
      color = { 250, 240, 205, 255 }, states = { fadeIn("guide_bg") } },
    { id = "text", class = "UILabel", fontPreset = "ui_demo_presets_lua:dark", position = { 24, 22 },
      size = { 372, 80 }, text = "", states = { fadeIn("text") } },
    button("button1", "OK"),
    button("button2", "Next"),
    button("button3", "Skip"),
  },
  events = {
    { element = "button1", slot = "clicked", command = "guideButtonClicked" },
    { element = "button2", slot = "clicked", command = "guideButtonClicked" },
    { element = "button3", slot = "clicked", command = "guideButtonClicked" },
  },
}
