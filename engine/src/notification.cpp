#include "notification.h"

#include <algorithm>

namespace KR {

void NotificationDispatcher::addListener(NotificationListener* listener) { listeners.push_back(listener); }

void NotificationDispatcher::removeListener(NotificationListener* listener) {
  listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void NotificationDispatcher::dispatch(const Notification& notification) {
  // A copy, so that a listener may remove itself while being told.
  std::vector<NotificationListener*> current = listeners;
  for (NotificationListener* listener : current) listener->onNotification(notification);
}

}  // namespace KR
