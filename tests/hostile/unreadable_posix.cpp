// POSIX: an unreadable file is one without read permission. The superuser
// reads it all the same, so while it is refused the process's effective user
// is the unprivileged "nobody" (its real user stays, so it can come back).
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "unreadable.h"

namespace {

const uid_t kNobody = 65534;
std::string refused;
bool droppedUser = false;

}  // namespace

uint32_t beginUnreadable(const char *path) {
  if (chmod(path, 0) != 0) return 0;
  refused = path;
  if (geteuid() == 0) {
    if (seteuid(kNobody) != 0) {
      chmod(path, 0644);
      refused.clear();
      return 0;
    }
    droppedUser = true;
  }
  return PL_ERROR_ACCESS_DENIED;
}

void endUnreadable(void) {
  if (droppedUser && seteuid(0) == 0) droppedUser = false;
  if (!refused.empty()) chmod(refused.c_str(), 0644);
  refused.clear();
}
