-- The brief window: a minigame's or quest's task in large print, opened by the
-- inventory strip's "?" button ("showBriefWindow") and closed by its OK
-- ("closeBriefWindow"). It stands centred above the middle of the screen,
-- where close-ups keep the things their task is about.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

BriefWindow = {
  id = "BriefWindow", class = "UIWidget", position = { 610, 170 },
  states = { fadeIn("BriefWindow") },
  childs = {
    { id = "brief_window_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "DialogBack",
      color = { 240, 225, 190, 255 }, states = { fadeIn("brief_window_bg") } },
    { id = "brief_window_text", class = "UILabel", fontPreset = "ui_demo_presets_lua:dark", position = { 30, 30 },
      size = { 400, 130 }, text = "", states = { fadeIn("brief_window_text") } },
    { id = "brief_ok", class = "UIButton", position = { 170, 175 }, text = "OK", fontPreset = "ui_demo_presets_lua:caption",
      childs = { { id = "brief_ok_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                   states = { fadeIn("brief_ok_bg") } } },
      states = { fadeIn("brief_ok") } },
  },
  events = { { element = "brief_ok", slot = "clicked", command = "closeBriefWindow" } },
}
