-- The HUD: the menu and go-back buttons in the lower right corner, beside the
-- inventory strip's end, and the amulets casket above them.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

local function button(id, x, caption)
  return { id = id, class = "UIButton", position = { x, 0 }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                        color = { 210, 200, 170, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

-- The casket above the map button: it opens the amulets.
local casket = button("casket_btn", 130, "Casket")
casket.position = { 130, -130 }
-- The book left of the hint button: it opens the notebook.
local book = button("book_btn", 0, "Book")
book.position = { -130, -130 }

InGame = {
  id = "InGame", class = "UIWidget", position = { 1410, 990 }, modal = 0,
  states = { fadeIn("InGame") },
  -- The HUD's scene first, under the buttons: the book button's glow ("ingame_ui_scene_xml").
  childs = { { id = "hud_scene", class = "UISceneNode", scene = "ingame_ui_scene_xml",
               states = { fadeIn("hud_scene") } },
             button("back_btn", 0, "Back"), button("menu_btn", 130, "Menu"), casket, book },
  events = {
    { element = "menu_btn", slot = "clicked", command = "menuClicked" },
    { element = "back_btn", slot = "clicked", command = "goBackwardButtonClicked" },
    { element = "casket_btn", slot = "clicked", command = "casketClicked" },
    { element = "book_btn", slot = "clicked", command = "notebookPushed" },
  },
}
