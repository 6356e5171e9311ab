// Compiled once per case by control_name_compile.cmake: case 0 must compile, and every other
// case must fail on the line marked with its number.
#include "core/controls.h"

namespace {

[[maybe_unused]] int use(pv::ControlName name) {
    return int(name.view().size());
}

}  // namespace

[[maybe_unused]] int check() {
#if CASE == 0
    constexpr pv::ControlName box = pv::ctl::kBackThreePlanBox;
    static_assert(box == "编辑框2" && pv::ctl::button(216) == "按钮216");
    static_assert(pv::ctl::timer(3) == "时钟3" && pv::ctl::timer(40) != pv::ctl::timer(4));
    pv::Controls* controls = nullptr;
    if (controls) controls->setText(pv::ctl::kBackThreeNumbersBox, "x");
    return use(box) + use(pv::ctl::timer(7));
#elif CASE == 1
    return use(pv::ctl::kBackThreePlanBxo);  // fails: 1
#elif CASE == 2
    return use("编辑框2");  // fails: 2
#elif CASE == 3
    return use(pv::ControlName{"编辑框2"});  // fails: 3
#elif CASE == 4
    constexpr pv::ControlName none = pv::ctl::button(217);  // fails: 4
    return use(none);
#elif CASE == 5
    constexpr pv::ControlName none = pv::ctl::timer(0);  // fails: 5
    return use(none);
#elif CASE == 6
    pv::Controls* controls = nullptr;
    return int(controls->text("编辑框2").size());  // fails: 6
#endif
}
