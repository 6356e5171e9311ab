#include "publisher/announcement.h"

namespace pv {

void loadAnnouncement(App&) {}
void checkForUpdate(App&) {}

}  // namespace pv
