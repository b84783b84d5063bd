-- The notebook: a book over the whole play screen. The diary's element holds
-- the parents of its left and right pages (each page is a "PageLeft" or
-- "PageRight" widget made when the diary needs another spread; records are
-- laid out from a page's top left corner), the page numbers, the diary's tab
-- at the book's top edge and its cover, shown until the diary is first opened.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

-- The paper picture (256 x 256, soft at its rounded rim) stretched to w x h.
local function back(id, x, y, w, h, color)
  return { id = id, class = "UISprite", imagename = "notebook_sprites", tablename = "Paper", position = { x, y },
           size = { w, h }, scale = { w / 256, h / 256 }, color = color, states = { fadeIn(id) } }
end

local function number(id, x)
  return { id = id, class = "UILabel", fontPreset = "ui_demo_presets_lua:dark", position = { x, 740 }, size = { 80, 40 },
           text = "", states = { fadeIn(id) } }
end

-- One page: its paper (reaching past the records' corner) and a ribbon of colour at its outer edge.
local function page(id, edgeX)
  return { id = id, class = "UIWidget", position = { 0, 0 }, states = { fadeIn(id) },
           childs = { back(id .. "_paper", -30, -40, 620, 740, { 245, 235, 210, 255 }),
                      back(id .. "_edge", edgeX, -40, 12, 740, { 190, 160, 110, 255 }) } }
end

PageLeft = page("page_left", -30)
PageRight = page("page_right", 578)

Notebook = {
  id = "Notebook", class = "UIWidget", position = { 180, 125 }, modal = 0,
  states = { fadeIn("Notebook") },
  childs = {
    back("book_back", 0, 0, 1320, 800, { 120, 80, 50, 255 }),
    { id = "diary", class = "UIWidget", position = { 0, 0 }, states = { fadeIn("diary") },
      childs = {
        { id = "left_pages", class = "UIWidget", position = { 60, 70 } },
        { id = "right_pages", class = "UIWidget", position = { 720, 70 } },
        number("left_page_number", 320),
        number("right_page_number", 960),
        { id = "diary_tab", class = "UIButton", position = { 1140, -44 }, text = "Diary",
          fontPreset = "ui_demo_presets_lua:caption", states = { fadeIn("diary_tab") },
          childs = { back("diary_tab_bg", 0, 0, 120, 48, { 170, 60, 50, 255 }) } },
        { id = "diary_cover", class = "UIWidget", position = { 0, 0 }, states = { fadeIn("diary_cover") },
          childs = { back("diary_cover_bg", 10, 10, 1300, 780, { 110, 40, 35, 255 }),
                     { id = "diary_cover_title", class = "UILabel", fontPreset = "ui_demo_presets_lua:caption",
                       position = { 560, 360 }, size = { 200, 60 }, text = "Diary",
                       states = { fadeIn("diary_cover_title") } } } },
      } },
  },
}
