-- The main menu: the backdrop and title with the current player's name (the
-- scene main_menu_scene_xml, node "player_name"), Play, Options, Profiles and
-- Quit. The link buttons exist for the menu to hide.
local function fadeIn(id)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = 1, duration = 0.3 } } }
end

local function button(id, y, caption)
  return { id = id, class = "UIButton", position = { 720, y }, text = caption, fontPreset = "ui_demo_presets_lua:caption",
           childs = { { id = id .. "_bg", class = "UISprite", imagename = "ui_demo_sprites", tablename = "ButtonBack",
                        color = { 210, 200, 170, 255 }, states = { fadeIn(id .. "_bg") } } },
           states = { fadeIn(id) } }
end

MainMenu = {
  id = "MainMenu", class = "UIWidget", position = { 0, 0 }, modal = 0,
  states = { fadeIn("MainMenu") },
  childs = {
    { id = "menu_scene", class = "UISceneNode", scene = "main_menu_scene_xml", position = { 0, 0 },
      states = { fadeIn("menu_scene") } },
    button("play_btn", 420, "Play"), button("options_btn", 500, "Options"),
    button("profile_btn", 580, "Profiles"), button("exit_btn", 660, "Quit"),
    button("MoreGamesButton", 740, "More games"), button("rateBtn", 820, "Rate"),
  },
  events = {
    { element = "play_btn", slot = "clicked", command = "mainMenuPlay" },
    { element = "options_btn", slot = "clicked", command = "mainMenuOptions" },
    { element = "profile_btn", slot = "clicked", command = "mainMenuProfile" },
    { element = "exit_btn", slot = "clicked", command = "mainMenuExit" },
    { element = "MoreGamesButton", slot = "clicked", command = "mainMenuMoreGames" },
    { element = "rateBtn", slot = "clicked", command = "ratePushed" },
  },
}
