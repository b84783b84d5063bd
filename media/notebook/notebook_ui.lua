-- The notebook: a book over the whole play screen with the diary's two pages
-- (records are laid out on them from their top left corners), the page
-- numbers under them and the cover shown before the first record.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

-- The demo panel's picture (380 x 250) stretched to w x h.
local function back(id, x, y, w, h, color)
  return { id = id, class = "UISprite", imagename = "ui_demo_sprites", tablename = "PanelBack", position = { x, y },
           size = { w, h }, scale = { w / 380, h / 250 }, color = color, states = { fadeIn(id) } }
end

local function number(id, x)
  return { id = id, class = "UILabel", fontPreset = "ui_demo_presets_lua:dark", position = { x, 740 }, size = { 80, 40 },
           text = "", states = { fadeIn(id) } }
end

Notebook = {
  id = "Notebook", class = "UIWidget", position = { 300, 120 }, modal = 0,
  states = { fadeIn("Notebook") },
  childs = {
    back("book_back", 0, 0, 1320, 800, { 120, 80, 50, 255 }),
    { id = "diary", class = "UIWidget", position = { 0, 0 }, states = { fadeIn("diary") },
      childs = {
        back("diary_paper_left", 30, 30, 620, 740, { 245, 235, 210, 255 }),
        back("diary_paper_right", 670, 30, 620, 740, { 245, 235, 210, 255 }),
        { id = "left_pages", class = "UIWidget", position = { 60, 70 } },
        { id = "right_pages", class = "UIWidget", position = { 720, 70 } },
        number("left_page_number", 320),
        number("right_page_number", 960),
      } },
  },
}
