-- The profile list over user_dialog_scene_xml: the list "userList" (placed at
-- the node "/root_group/scroll_area", sized by it, eight lines of 30 in sight),
-- scrolled by its bar "progressbar" (placed at "/root_group/scroll", as tall
-- as the list, whose marker "move" follows it) or by the wheel, and Create,
-- Delete, OK and Exit.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.2 } } }
end

local function button(id, x, y, caption)
  return { id = id, class = "UIButton", position = { x, y }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "OkBack",
                        color = { 220, 210, 180, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

UserDialog = {
  id = "UserDialog", class = "UIWidget", position = { 0, 0 },
  states = { fadeIn("UserDialog") },
  childs = {
    { id = "users_scene", class = "UISceneNode", scene = "user_dialog_scene_xml", position = { 0, 0 },
      states = { fadeIn("users_scene") } },
    { id = "userList", class = "UIListView", position = { 0, 0 }, size = { 344, 240 }, lineHeight = 30,
      progressBar = "progressbar", fontPreset = "ui_demo_presets_lua:dark", selectionImagename = "front_end_sprites",
      selectionTablename = "ListSelection", states = { fadeIn("userList") } },
    { id = "progressbar", class = "UIProgressBar", position = { 0, 0 }, orientation = 1, bar = "progressbar_fill",
      thumb = "progressbar_knob", lrOffsets = { 0, 0 }, states = { fadeIn("progressbar") },
      childs = {
        { id = "progressbar_track", class = "UISprite", imagename = "front_end_sprites", tablename = "ListBarTrack",
          color = { 60, 60, 80, 255 }, states = { fadeIn("progressbar_track") } },
        { id = "progressbar_fill", class = "UISprite", imagename = "front_end_sprites", tablename = "ListBarFill",
          color = { 110, 160, 255, 255 }, states = { fadeIn("progressbar_fill") } },
        { id = "progressbar_knob", class = "UISprite", size = { 16, 28 } },
      } },
    button("create_btn", 600, 690, "Create"), button("delete_btn", 730, 690, "Delete"),
    button("users_ok_btn", 860, 690, "OK"), button("users_exit_btn", 990, 690, "Exit"),
  },
  events = {
    { element = "create_btn", slot = "clicked", command = "userDialog_btnCreateClicked" },
    { element = "delete_btn", slot = "clicked", command = "userDialog_btnDeleteClicked" },
    { element = "users_ok_btn", slot = "clicked", command = "userDialog_btnOkClicked" },
    { element = "users_exit_btn", slot = "clicked", command = "userDialog_btnExitClicked" },
  },
}
