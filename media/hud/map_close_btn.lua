-- The locations map's close button, top right.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.2 } } }
end

MapCloseBtn = {
  id = "MapCloseBtn", class = "UIWidget", position = { 1500, 40 }, modal = 0,
  states = { fadeIn("MapCloseBtn") },
  childs = {
    { id = "map_close", class = "UIButton", text = "Close", fontPreset = "ui_demo_presets_lua:caption",
      states = { fadeIn("map_close") },
      childs = { { id = "map_close_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                   color = { 210, 200, 170, 255 }, states = { fadeIn("map_close_bg") } } } },
  },
  events = { { element = "map_close", slot = "clicked", command = "mapCloseBtnPressed" } },
}
