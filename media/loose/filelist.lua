-- The package index: for each platform directory of config.lua, the package
-- list files to read. Each package list names a package and maps entry names
-- to content paths. The build appends the lists it generates for entries that
-- other content areas register (see media/README.md).
directories = {
  common = {
    { "/packages/default.lua" },
    { "/packages/en.lua" },
  },
}
