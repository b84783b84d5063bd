-- The gardener's dialogue buttons, bottom right: "Next" goes on to the next
-- line, "Skip" jumps over the lines to the next thing the player must do.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.2 } } }
end

local function button(id, x, caption)
  return { id = id, class = "UIButton", position = { x, 0 }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                        color = { 210, 200, 170, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

Talk01UI = {
  id = "Talk01UI", class = "UIWidget", position = { 0, 0 }, modal = 0,
  states = { fadeIn("Talk01UI") },
  childs = {
    { id = "talk01_buttons", class = "UIWidget", position = { 1340, 960 },
      childs = { button("next_btn", 0, "Next"), button("skip_btn", 160, "Skip") } },
  },
}
