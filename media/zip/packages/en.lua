-- Package "en": the English resources that package "localization" stands for.
name = "en"
filelist = {
  { name = "strings_xml", filename = "/data/strings/strings_en.xml" },
}
