#include "platform/single_instance.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace KR {
namespace Platform {

namespace {

SingleInstanceGuard* gActiveGuard = nullptr;

// The descriptors of the names this process holds, for forked children to
// close: a child shares the lock's open file, so a child that outlives the
// game (a message box it forked) would otherwise keep the name.
constexpr int kHeldSlots = 8;
std::atomic<int> gHeldDescriptors[kHeldSlots * 2];

void rememberDescriptor(int fd) {
  for (std::atomic<int>& slot : gHeldDescriptors) {
    int free = -1;
    if (slot.compare_exchange_strong(free, fd)) return;
  }
}

void forgetDescriptor(int fd) {
  for (std::atomic<int>& slot : gHeldDescriptors) {
    int held = fd;
    if (slot.compare_exchange_strong(held, -1)) return;
  }
}

// Async-signal-safe only.
void closeHeldDescriptorsInChild() {
  for (std::atomic<int>& slot : gHeldDescriptors) {
    const int fd = slot.exchange(-1);
    if (fd >= 0) close(fd);
  }
}

void installForkHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (std::atomic<int>& slot : gHeldDescriptors) slot.store(-1);
    pthread_atfork(nullptr, nullptr, closeHeldDescriptorsInChild);
  });
}

std::string runtimeFolder(std::string& suffix) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info;
  if (runtime && runtime[0] && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
    suffix.clear();
    return runtime;
  }
  // /tmp is shared between users: the user id keeps the names apart.
  suffix = "-" + std::to_string(static_cast<unsigned long>(getuid()));
  return "/tmp";
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof(address));
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard(const std::string& name) {
  std::string suffix;
  std::string folder = runtimeFolder(suffix);
  lockFile = folder + "/" + name + suffix + ".lock";
  socketFile = folder + "/" + name + suffix + ".sock";
}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (gActiveGuard == this) gActiveGuard = nullptr;
  if (listenFd >= 0) {
    forgetDescriptor(listenFd);
    close(listenFd);
    unlink(socketFile.c_str());
  }
  // Closing the descriptor drops the lock; the file itself stays, so that a
  // racing starter never locks a file that is about to vanish.
  if (lockFd >= 0) {
    forgetDescriptor(lockFd);
    close(lockFd);
  }
}

bool SingleInstanceGuard::acquire() {
  if (lockFd >= 0) return true;
  int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    // Without a lock file there is no way to tell; run rather than refuse.
    return true;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    // A lock that cannot be taken for any other reason than another holder
    // (a file system without locks, say) tells nothing: run rather than refuse.
    if (error != EWOULDBLOCK) return true;
    // Someone holds the name: ask it to come to the front.
    sockaddr_un address;
    int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client >= 0) {
      if (fillAddress(socketFile, address) &&
          connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        const char request = 'R';
        ssize_t written = write(client, &request, 1);
        (void)written;
      }
      close(client);
    }
    return false;
  }
  installForkHandler();
  lockFd = fd;
  rememberDescriptor(fd);
  // A socket left by a holder that died is stale: the lock proves it.
  unlink(socketFile.c_str());
  sockaddr_un address;
  int server = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (server >= 0) {
    if (fillAddress(socketFile, address) && bind(server, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        listen(server, 4) == 0) {
      listenFd = server;
      rememberDescriptor(server);
    } else {
      close(server);
    }
  }
  return true;
}

bool SingleInstanceGuard::takeRaiseRequest() {
  if (listenFd < 0) return false;
  bool requested = false;
  for (;;) {
    int client = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) break;
    // Any connection asks for the window; the byte itself is not needed.
    requested = true;
    close(client);
  }
  return requested;
}

void setActiveInstanceGuard(SingleInstanceGuard* guard) { gActiveGuard = guard; }
SingleInstanceGuard* activeInstanceGuard() { return gActiveGuard; }

}  // namespace Platform
}  // namespace KR
