-- The notebook's controls: the arrows that turn a spread and the button that
-- closes the book.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

local function button(id, x, y, caption)
  return { id = id, class = "UIButton", position = { x, y }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                        color = { 210, 200, 170, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

NotebookControls = {
  id = "NotebookControls", class = "UIWidget", position = { 180, 932 }, modal = 0,
  states = { fadeIn("NotebookControls") },
  childs = { button("notebookLeft", 0, 0, "<<"), button("notebookRight", 1200, 0, ">>"),
             button("notebookClose", 600, 0, "Close") },
  events = {
    { element = "notebookLeft", slot = "clicked", command = "notebookListLeft" },
    { element = "notebookRight", slot = "clicked", command = "notebookListRight" },
    { element = "notebookClose", slot = "clicked", command = "notebookPushed" },
  },
}
