-- Text styles of the widget demo (read from the font package like every preset).
caption = { font = "font2_fnt", color = { 30, 34, 60, 255 }, halign = 1, valign = 1, wordWrap = 0 }
note = { font = "font2_fnt", color = { 235, 235, 235, 255 }, halign = 0, valign = 0, wordWrap = 1, ycoeff = 0.3 }
dark = { font = "font2_fnt", color = { 40, 40, 60, 255 }, halign = 1, valign = 0, wordWrap = 1, ycoeff = 0.3 }
-- Light text on the dark inventory strip: the hidden-object list and the brief line.
strip = { font = "font2_fnt", color = { 245, 230, 190, 255 }, halign = 1, valign = 1, wordWrap = 0 }
