-- The "Scene lists" screen of the showcase: a strip list that follows drags,
-- glides, takes the wheel and has a draggable thumb, and a book list that
-- snaps to pages and turns with its buttons and its page bar. Both are made
-- of scenes (media/scenes/ui_strip_list.xml, ui_book_list.xml) and filled
-- with items of one item scene.

local function idle(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.25 } } }
end

local function items(prefix, count)
  local t = {}
  for i = 1, count do t[i] = { scene = "ui_list_item_xml", id = prefix .. i } end
  return t
end

scene_lists_demo = {
  id = "scene_lists_demo", class = "UIWidget", states = { idle("scene_lists_demo") },
  childs = {
    { id = "lists_title", class = "UILabel", text = "Scene lists", fontPreset = "font_presets_lua:title",
      position = { 0, 20 }, size = { 1024, 50 }, states = { idle("lists_title") } },
    { id = "strip", class = "UISceneList", scene = "ui_strip_list_xml", type = "strip", scrolling = 3,
      orient = "hor", position = { 190, 120 }, items = items("strip item ", 10), states = { idle("strip") } },
    { id = "book", class = "UISceneList", scene = "ui_book_list_xml", type = "book", scrolling = 3,
      orient = "hor", position = { 225, 400 }, items = items("book item ", 9), states = { idle("book") } },
    { id = "lists_help", class = "UILabel", fontPreset = "ui_demo_presets_lua:note", position = { 190, 640 },
      size = { 660, 100 }, states = { idle("lists_help") },
      text = "Drag, fling or wheel the strip, or drag its thumb. The book snaps to pages; its buttons turn "
          .. "on press, its dots on a click. Clicked items show in the title bar." },
  },
}
