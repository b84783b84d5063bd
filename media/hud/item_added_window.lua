-- The window that announces a newly found item: its name, its icon (the HUD
-- centres it on "image") and OK.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

ItemAddedWindow = {
  id = "ItemAddedWindow", class = "UIWidget", position = { 610, 400 },
  states = { fadeIn("ItemAddedWindow") },
  childs = {
    { id = "item_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "DialogBack",
      color = { 240, 225, 190, 255 }, states = { fadeIn("item_bg") } },
    { id = "image", class = "UISprite", position = { 230, 110 }, states = { fadeIn("image") } },
    { id = "itemName", class = "UILabel", fontPreset = "ui_demo_presets_lua:caption", position = { 30, 20 },
      size = { 400, 40 }, text = "", states = { fadeIn("itemName") } },
    { id = "item_ok", class = "UIButton", position = { 170, 170 }, text = "OK", fontPreset = "ui_demo_presets_lua:caption",
      childs = { { id = "item_ok_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                   states = { fadeIn("item_ok_bg") } } },
      states = { fadeIn("item_ok") } },
  },
  events = { { element = "item_ok", slot = "clicked", command = "closeItemAddedWindow" } },
}
