#pragma once
// Named single-instance guard across processes of one user. Only the process
// that acquired a name holds it: a process forked from it closes its copies of
// the lock and the request socket at once (it would otherwise keep the name
// for as long as it lives).
#include <string>

namespace KR {
namespace Platform {

class SingleInstanceGuard {
 public:
  // The lock file and request socket live under $XDG_RUNTIME_DIR, or /tmp
  // with the user id in the name.
  explicit SingleInstanceGuard(const std::string& name);
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // True when this process now holds the name. False when another process
  // holds it; that process has then been asked to raise its window.
  bool acquire();
  bool held() const { return lockFd >= 0; }
  // Holder side: true once for every request that arrived since the last call.
  bool takeRaiseRequest();

  const std::string& lockPath() const { return lockFile; }

 private:
  std::string lockFile;
  std::string socketFile;
  int lockFd = -1;
  int listenFd = -1;
};

// The guard that pumpEvents polls for raise requests (null: none).
void setActiveInstanceGuard(SingleInstanceGuard* guard);
SingleInstanceGuard* activeInstanceGuard();

}  // namespace Platform
}  // namespace KR
