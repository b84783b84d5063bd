-- The notebook's paper: the locations' soft-rimmed sheet, stretched and tinted
-- into the book, its pages, tab and cover.
Paper = { Image0 = "paper", SrcRect0 = {0, 0, 256, 256}, Size = {256, 256} }
