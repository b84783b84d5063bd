-- The "Controls" screen of the showcase, an options-like screen: a scroll
-- area clipped by the stencil buffer whose content is dragged, flung and
-- springs back, with a progress bar as its scroll bar (the wheel steps it);
-- a kinetic slider, a check box, a list of lines with a selection, a text
-- edit whose Enter shows the name in a label, a button made of a scene and a
-- particle widget.

local function idle(id, alpha)
  return { id = "onIdle", propertyChanges = { { target = id, property = "transparency", value = alpha or 1, duration = 0.25 } } }
end

local function picture(id, tablename, x, y, extra)
  local t = { id = id, class = "UISprite", imagename = "ui_controls_sprites", tablename = tablename,
              position = { x or 0, y or 0 }, states = { idle(id) } }
  for k, v in pairs(extra or {}) do t[k] = v end
  return t
end

-- One option of the scrolled column: a button that tints while pressed.
local function option(i)
  local id = "option" .. i
  return {
    id = id, class = "UIButton", position = { 20, 16 + (i - 1) * 68 },
    text = "Option " .. i, fontPreset = "ui_demo_presets_lua:caption", captionOrder = 1,
    childs = { picture(id .. "_bg", "OptionBack") },
    states = {
      idle(id),
      { id = "onSelect", propertyChanges = {
        { target = id .. "_bg", property = "color", value = { 255, 236, 160, 255 }, duration = 0.1 } } },
      { id = "onPress", propertyChanges = {
        { target = id .. "_bg", property = "color", value = { 170, 200, 255, 255 }, duration = 0.05 } } },
    },
  }
end

local function label(id, text, x, y, w, h, preset)
  return { id = id, class = "UILabel", text = text, fontPreset = preset or "ui_demo_presets_lua:note",
           position = { x, y }, size = { w, h }, states = { idle(id) } }
end

local options = {}
for i = 1, 8 do options[i] = option(i) end

controls_demo = {
  id = "controls_demo", class = "UIWidget", states = { idle("controls_demo") },
  childs = {
    label("controls_title", "Controls", 0, 20, 1024, 50, "font_presets_lua:title"),
    picture("area_back", "AreaBack", 60, 100, { color = { 40, 46, 70, 255 } }),
    { id = "area", class = "UIScrollArea", position = { 60, 100 }, size = { 420, 400 }, progressBar = "area_bar",
      dragScrolling = 1, clipping = 1, maskImagename = "ui_controls_sprites", maskTablename = "AreaMask",
      states = { idle("area") }, childs = options },
    { id = "area_bar", class = "UIProgressBar", position = { 492, 100 }, orientation = 1, bar = "area_bar_fill",
      thumb = "area_bar_knob", lrOffsets = { 0, 0 }, step = 0.15, states = { idle("area_bar") },
      childs = {
        picture("area_bar_track", "BarTrack", 0, 0, { color = { 60, 60, 80, 255 } }),
        picture("area_bar_fill", "BarFill", 0, 0, { color = { 110, 160, 255, 255 } }),
        picture("area_bar_knob", "Knob", -6, 0, { color = { 255, 220, 120, 255 } }),
      } },

    label("volume_label", "Volume (kinetic slider)", 560, 100, 400, 30),
    { id = "volume", class = "UIProgressBar", position = { 560, 136 }, kinetic = 1, kineticSpeed = 1,
      bar = "volume_fill", thumb = "volume_knob", lrOffsets = { 0, 0 }, states = { idle("volume") },
      childs = {
        picture("volume_track", "SliderTrack", 0, 0, { color = { 60, 60, 80, 255 } }),
        picture("volume_fill", "SliderFill", 0, 0, { color = { 120, 230, 140, 255 } }),
        picture("volume_knob", "Knob", 0, -6, { color = { 255, 255, 255, 255 } }),
      } },

    label("music_label", "Music", 612, 188, 200, 30),
    { id = "music", class = "UICheckBox", position = { 560, 180 }, thumb = "music_tick", states = { idle("music") },
      childs = {
        picture("music_face", "BoxFace", 0, 0, { color = { 200, 200, 220, 255 } }),
        picture("music_tick", "BoxTick", 8, 8, { color = { 60, 160, 60, 255 } }),
      } },

    picture("saves_back", "ListBack", 560, 240, { color = { 205, 210, 230, 255 } }),
    { id = "saves", class = "UIListView", position = { 560, 240 }, size = { 360, 150 }, lineHeight = 30,
      fontPreset = "ui_demo_presets_lua:dark", selectionImagename = "ui_controls_sprites",
      selectionTablename = "Selection", states = { idle("saves") } },

    label("name_label", "Your name (Enter to confirm)", 560, 404, 400, 30),
    { id = "name", class = "UITextEdit", position = { 560, 436 }, maxLength = 12, filterSpecialCharacters = 1,
      fontPreset = "ui_demo_presets_lua:caption", states = { idle("name") },
      childs = { picture("name_back", "EditBack", 0, 0, { color = { 230, 230, 240, 255 } }) } },
    label("greeting", "", 560, 490, 400, 30),

    { id = "scene_button", class = "UISceneNode", scene = "ui_controls_button_xml", position = { 60, 540 },
      states = { idle("scene_button"),
                 { id = "onSelect", propertyChanges = {
                   { target = "scene_button", property = "transparency", value = 1, duration = 0.1 } } } } },
    { id = "sparkles", class = "UIParticleFX", filename = "sparkles_fx", position = { 800, 640 },
      states = { idle("sparkles") } },
    label("controls_help", "Drag or fling the options, the wheel steps the bar on the right; "
          .. "a press that turns into a drag clicks nothing. Right and Left turn the pages.",
          60, 660, 660, 80),
  },
  events = {
    { element = "name", slot = "textEntered", command = "controlsNameEntered" },
  },
}
