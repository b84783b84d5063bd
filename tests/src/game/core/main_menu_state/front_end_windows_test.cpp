// The front end's windows when their UI could not be loaded (a missing or
// damaged UI file): they do not load, and their buttons and updates change no
// player, delete nothing and crash on nothing, with or without the profile
// store.
#include <gtest/gtest.h>

#include "core/main_menu_state/enter_profile_name_window.h"
#include "core/main_menu_state/options_window.h"
#include "core/main_menu_state/profile_system.h"
#include "core/main_menu_state/user_dialog.h"
#include "support/test_support.h"

TEST(FrontEndWindows, WithoutTheirUiTheyLeaveEveryPlayerAsTheyAre) {
  KR::Test::LogCapture log;
  HOG::UserDialog dialog;
  HOG::OptionsWindow options;
  options.setUIFiles("options_ui", "OptionsWindow");
  HOG::EnterProfileNameWindow name;
  name.setUIFiles("enter_name_ui", "EnterProfileName", "nameOk");
  // No store: nothing to act on.
  dialog.refreshList();
  dialog.onDelete();
  dialog.onOk();
  dialog.onConfirmDelete();

  const std::string folder = KR::Test::scratchDir("front-end-windows-without-ui") + "/";
  HOG::ProfileSystem profiles(folder);
  ASSERT_TRUE(profiles.createProfile(L"Ann"));
  ASSERT_TRUE(profiles.createProfile(L"Bo"));
  ASSERT_EQ(profiles.getCurrentIndex(), 1);
  dialog.refreshList();
  dialog.update();
  dialog.onDelete();
  dialog.onConfirmDelete();
  dialog.onOk();  // no line chosen: "Bo" stays current
  EXPECT_EQ(profiles.getProfileCount(), 2u);
  EXPECT_EQ(profiles.getCurrentIndex(), 1);

  name.load();
  options.load();
  EXPECT_FALSE(name.loaded);
  EXPECT_FALSE(options.loaded);
  name.show();
  EXPECT_FALSE(name.shown);
  name.onOk();
  name.close();
  options.show();
  options.update(0.1f);  // as the pause menu updates it every frame
  options.onHide();
  EXPECT_FALSE(options.isShown());
  EXPECT_EQ(profiles.getProfileCount(), 2u);
}
