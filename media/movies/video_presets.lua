-- Text styles of the movies: the SKIP label in the top-right corner and the
-- subtitle lines (which always wrap, whatever wordWrap says).
skip = {
  font = "font2_fnt",
  color = { 255, 255, 255, 255 },
  halign = 0,
  valign = 0,
  wordWrap = 0,
  xcoeff = 0,
  ycoeff = 0,
}

-- Centred in the band at the screen's foot, which the cut scenes darken: clear
-- of the edge and light on dark.
subtitle = {
  font = "font2_fnt",
  color = { 255, 240, 200, 255 },
  halign = 1,
  valign = 1,
  wordWrap = 1,
  xcoeff = 0,
  ycoeff = 0.2,
}
