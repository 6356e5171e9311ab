#include "draw/countdown.h"

namespace pv {

void countdownTick(App&) {}
void nightTriggerTick(App&) {}

}  // namespace pv
