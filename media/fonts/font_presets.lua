-- Text styles: font, colour {r, g, b, a}, alignment (0 left/top, 1 centred,
-- 2 right/bottom), word wrap (a number, non-zero wraps) and the coefficients
-- of the font's letter and line spacing.
title = {
  font = "font_title_fnt",
  color = { 255, 214, 120, 255 },
  halign = 1,
  valign = 0,
  wordWrap = 1,
  xcoeff = 0,
  ycoeff = 0,
}

body = {
  font = "font2_fnt",
  color = { 235, 235, 235, 255 },
  halign = 0,
  valign = 0,
  wordWrap = 1,
  xcoeff = 0,
  ycoeff = 0.4,
}

body_centred = {
  font = "font2_fnt",
  color = { 150, 220, 255, 255 },
  halign = 1,
  valign = 1,
  wordWrap = 1,
  xcoeff = 0.2,
  ycoeff = 0,
}

body_right = {
  font = "font2_fnt",
  color = { 170, 255, 170, 255 },
  halign = 2,
  valign = 2,
  wordWrap = 1,
  xcoeff = 0,
  ycoeff = 0,
}

caption = {
  color = { 200, 200, 200, 255 },
}

subtitle = {
  font = "font2_fnt",
  color = { 255, 255, 255, 255 },
  halign = 1,
  valign = 2,
  wordWrap = 1,
  xcoeff = 0,
  ycoeff = 0.2,
}

-- Text presets of scene nodes: a caption and a typed line.
scene_caption = {
  font = "font2_fnt",
  color = { 255, 236, 200, 255 },
  halign = 1,
  valign = 1,
  wordWrap = 1,
  xcoeff = 0,
  ycoeff = 0,
}

scene_typing = {
  font = "font2_fnt",
  color = { 170, 230, 255, 255 },
  halign = 0,
  valign = 0,
  wordWrap = 1,
  xcoeff = 0.1,
  ycoeff = 0,
}
