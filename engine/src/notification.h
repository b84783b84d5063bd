#pragma once
#include <cstdint>
#include <vector>

#include "singleton.h"

namespace KR {

enum NotificationCode : uint32_t {
  kNotificationDeviceReset = 1,
  kNotificationActivated = 2,
  kNotificationDeactivated = 3,
};

struct Notification {
  uint32_t code = 0;
};

class NotificationListener {
 public:
  virtual ~NotificationListener() = default;
  virtual void onNotification(const Notification& notification) = 0;
};

class NotificationDispatcher {
 public:
  virtual ~NotificationDispatcher() = default;
  // Listeners are not owned; they are told in the order they were added.
  void addListener(NotificationListener* listener);
  void removeListener(NotificationListener* listener);
  void dispatch(const Notification& notification);

 private:
  std::vector<NotificationListener*> listeners;
};

class EngineNotificationDispatcher : public NotificationDispatcher, public Singleton<EngineNotificationDispatcher> {
 public:
  EngineNotificationDispatcher() { setInstance(this); }
};

}  // namespace KR
