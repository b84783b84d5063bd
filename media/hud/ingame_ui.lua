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

-- The casket above the map button: it opens the amulets. The HUD scene draws
-- and animates it (its node "/root_group/casket_btn_controller"); the button
-- is only its click area.
local casket = { id = "casket_btn", class = "UIButton", position = { 130, -130 }, states = { fadeIn("casket_btn") },
                 childs = { { id = "casket_area", class = "UISprite", size = { 120, 48 } } } }
-- The HUD scene, placed at the HUD's corner, under the buttons: the casket
-- and the book button's glow.
local scene = { id = "hud_scene", class = "UISceneNode", scene = "ingame_hud_xml", position = { 0, 0 },
                states = { fadeIn("hud_scene") } }
-- The book left of the hint button: it opens the notebook.
local book = button("book_btn", 0, "Book")
book.position = { -130, -130 }

InGame = {
  id = "InGame", class = "UIWidget", position = { 1410, 990 }, modal = 0,
  states = { fadeIn("InGame") },
  childs = { scene, button("back_btn", 0, "Back"), button("menu_btn", 130, "Menu"), casket, book },
  events = {
    { element = "menu_btn", slot = "clicked", command = "menuClicked" },
    { element = "back_btn", slot = "clicked", command = "goBackwardButtonClicked" },
    { element = "casket_btn", slot = "clicked", command = "casketClicked" },
    { element = "book_btn", slot = "clicked", command = "notebookPushed" },
  },
}
