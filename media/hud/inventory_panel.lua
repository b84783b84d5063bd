-- The inventory strip along the bottom: its back, the held items' row of 250
-- slots (made here in a loop) with the two page buttons, and the brief line
-- that minigames and quests show instead.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.2 } } }
end

-- A square button: its back (the 120 x 48 "OkBack" scaled to 60 x 60) covers
-- the box its caption is centred in.
local function pageButton(id, x, caption)
  return { id = id, class = "UIWidget", position = { x, 20 },
           childs = { { id = "btn", class = "UIButton", states = { fadeIn("btn") }, position = { 0, 0 }, size = { 60, 60 }, text = caption,
                        fontPreset = "ui_demo_presets_lua:caption",
                        childs = { { id = id .. "_bg", class = "UISprite", states = { fadeIn(id .. "_bg") }, imagename = "ui_demo_sprites",
                                     tablename = "OkBack", scale = { 0.5, 1.25 }, color = { 190, 170, 130, 255 } } } } } }
end

local slots = {}
for n = 1, 250 do
  local id = "item" .. n
  slots[n] = {
    id = id, class = "UIWidget", position = { (n - 1) * 110, 0 }, size = { 100, 100 },
    states = { fadeIn(id) },
    childs = {
      { id = "itemBk", class = "UISprite", states = { fadeIn("itemBk") }, imagename = "ui_demo_sprites", tablename = "OkBack", scale = { 0.834, 2.084 },
        color = { 120, 100, 80, 200 } },
      { id = "count", class = "UILabel", states = { fadeIn("count") }, fontPreset = "ui_demo_presets_lua:caption", position = { 0, 70 },
        size = { 100, 30 }, text = "" },
      -- The caption's backing panel: the game fits its width to the item's name.
      { id = "caption_panel", class = "UISprite", states = { fadeIn("caption_panel") }, imagename = "ui_demo_sprites", tablename = "OkBack",
        position = { -20, -36 }, scale = { 1, 0.7 }, color = { 235, 220, 185, 230 } },
      { id = "caption", class = "UILabel", states = { fadeIn("caption") }, fontPreset = "ui_demo_presets_lua:dark", position = { -20, -34 },
        size = { 140, 30 }, text = "" },
      { id = "selection", class = "UIWidget", states = { fadeIn("selection") }, size = { 100, 100 } },
    },
  }
end

-- The hidden-object list: six lines in two columns of three, and the caption,
-- light on the dark strip and clear of the screen's lower edge.
local hosLines = { { id = "Count", class = "UILabel", states = { fadeIn("Count") }, fontPreset = "ui_demo_presets_lua:strip",
                     position = { 20, 35 }, size = { 200, 40 }, text = "" } }
for n = 1, 6 do
  local column, line = math.floor((n - 1) / 3), (n - 1) % 3
  hosLines[#hosLines + 1] = { id = "item" .. n, class = "UIWidget", position = { 260 + column * 460, 6 + line * 28 },
    childs = { { id = "text", class = "UILabel", states = { fadeIn("text") }, fontPreset = "ui_demo_presets_lua:strip", size = { 440, 28 },
                 text = "" } } }
end

InventoryPanel = {
  id = "InventoryPanel", class = "UIWidget", position = { 160, 940 }, modal = 0,
  states = { fadeIn("InventoryPanel") },
  childs = {
    { id = "panel_back", class = "UISprite", states = { fadeIn("panel_back") }, imagename = "ui_demo_sprites", tablename = "DialogBack",
      size = { 1200, 110 }, scale = { 2.6, 0.46 }, color = { 90, 70, 50, 230 } },
    { id = "objects_list", class = "UIWidget", position = { 0, 5 }, modal = 0, states = { fadeIn("objects_list") },
      childs = {
        { id = "scene_part", class = "UIWidget", states = { fadeIn("scene_part") },
          childs = { pageButton("left_btn", 10, "<"), pageButton("right_btn", 1130, ">") } },
        { id = "row", class = "UIWidget", states = { fadeIn("row") }, position = { 120, 0 }, childs = slots },
      } },
    { id = "hos_list", class = "UIWidget", position = { 0, 5 }, modal = 0, states = { fadeIn("hos_list") },
      childs = hosLines },
    { id = "brief", class = "UIWidget", position = { 0, 5 }, modal = 0, states = { fadeIn("brief") },
      -- The brief line wraps onto a second line rather than run under the "?" button.
      childs = { { id = "brief_text", class = "UILabel", states = { fadeIn("brief_text") }, fontPreset = "ui_demo_presets_lua:strip",
                   position = { 100, 20 }, size = { 1000, 60 }, wordWrap = 1, text = "" },
                 { id = "brief_more", class = "UIButton", states = { fadeIn("brief_more") }, position = { 1120, 20 },
                   size = { 60, 60 }, text = "?", fontPreset = "ui_demo_presets_lua:caption",
                   childs = { { id = "brief_more_bg", class = "UISprite", states = { fadeIn("brief_more_bg") },
                                imagename = "ui_demo_sprites", tablename = "OkBack", scale = { 0.5, 1.25 },
                                color = { 190, 170, 130, 255 } } } } },
      events = { { element = "brief_more", slot = "clicked", command = "showBriefWindow" } } },
  },
}
