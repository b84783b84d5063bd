-- The credits: authors_scene_xml rolls the names up the screen; Back (or Esc)
-- leaves through "changeState".
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.4 } } }
end

authors_wnd = {
  id = "authors_wnd", class = "UIWidget", position = { 0, 0 },
  states = { fadeIn("authors_wnd") },
  childs = {
    { id = "authors_scene", class = "UISceneNode", scene = "authors_scene_xml", position = { 0, 0 },
      states = { fadeIn("authors_scene") } },
    { id = "authors_back", class = "UIButton", position = { 1500, 960 }, text = "Back",
      fontPreset = "ui_demo_presets_lua:caption",
      childs = { { id = "authors_back_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                   color = { 220, 210, 180, 255 }, states = { fadeIn("authors_back_bg") } } },
      states = { fadeIn("authors_back") } },
  },
  events = { { element = "authors_back", slot = "clicked", command = "changeState" } },
}
