// Which handler each event of a control calls. The window looks handlers up here and runs them
// on its own thread.
#pragma once

#include <functional>
#include <vector>

#include "core/program_state.h"
#include "draw/countdown.h"

namespace pv {

enum class ControlEvent {
    Click,           // buttons
    Tick,            // timers
    ContentChanged,  // edit boxes
};

using Handler = std::function<void(App&)>;

struct EventBinding {
    ControlName control;
    ControlEvent event = ControlEvent::Click;
    Handler handler;
};

// What a draw sets going: a worker scrapes the draw list, then the page cache is refreshed.
DrawTrigger drawTrigger();

const std::vector<EventBinding>& eventBindings();
// nullptr when the event of that control has no handler.
const Handler* findHandler(ControlName control, ControlEvent event);

}  // namespace pv
