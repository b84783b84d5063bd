#include <gtest/gtest.h>

#include "log_system.h"
#include "notification.h"
#include "singleton.h"
#include "support/test_support.h"
#include "timer_manager.h"

namespace {

class Widget : public KR::Singleton<Widget> {
 public:
  Widget() { setInstance(this); }
};

TEST(Singleton, InstanceLivesExactlyAsLongAsTheObject) {
  EXPECT_FALSE(Widget::exists());
  {
    Widget w;
    EXPECT_EQ(Widget::getInstance(), &w);
  }
  EXPECT_FALSE(Widget::exists());
}

TEST(SingletonDeathTest, MissingInstanceIsFatalWithTheTypeName) {
  EXPECT_EXIT(KR::Singleton<KR::TimerManager>::getInstance(), ::testing::ExitedWithCode(255),
              "Singleton not initialized: class KR::TimerManager(.|\n)*File:\n  singleton(.|\n)*Line:\n  40");
}

TEST(SingletonDeathTest, LogCallWithoutLogSystemIsFatal) {
  ASSERT_FALSE(KR::LogSystem::exists());
  EXPECT_EXIT(KR::log("hello %d", 1), ::testing::ExitedWithCode(255), "class KR::LogSystem");
}

TEST(LogSystem, WritersReceiveFormattedTextAndRemovalStopsThem) {
  KR::Test::LogCapture capture;
  KR::log("value %d of %s", 7, "seven");
  EXPECT_TRUE(capture.contains("value 7 of seven"));
}

struct Recorder : KR::NotificationListener {
  std::vector<uint32_t> codes;
  void onNotification(const KR::Notification& n) override { codes.push_back(n.code); }
};

TEST(Notification, DispatchReachesListenersInOrderAndSurvivesSelfRemoval) {
  KR::EngineNotificationDispatcher dispatcher;
  Recorder a, b;
  struct Leaver : KR::NotificationListener {
    KR::NotificationDispatcher* d = nullptr;
    int seen = 0;
    void onNotification(const KR::Notification&) override {
      ++seen;
      d->removeListener(this);
    }
  } leaver;
  leaver.d = &dispatcher;
  dispatcher.addListener(&a);
  dispatcher.addListener(&leaver);
  dispatcher.addListener(&b);
  dispatcher.dispatch({KR::kNotificationActivated});
  dispatcher.dispatch({KR::kNotificationDeactivated});
  EXPECT_EQ(a.codes, (std::vector<uint32_t>{2, 3}));
  EXPECT_EQ(b.codes, (std::vector<uint32_t>{2, 3}));
  EXPECT_EQ(leaver.seen, 1);
  EXPECT_EQ(KR::EngineNotificationDispatcher::getInstance(), &dispatcher);
}

}  // namespace
