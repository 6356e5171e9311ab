// Edge coverage for AFL++ from GCC's own instrumentation. Every basic block of the code under
// test calls __sanitizer_cov_trace_pc (-fsanitize-coverage=trace-pc); each pair of successive
// blocks becomes one counter of AFL++'s map, the way its classic instrumentation counts edges.
// AFL++'s runtime (afl-compiler-rt.o) supplies the map, the fork server and persistent mode.
// This file itself is compiled without the instrumentation.
#include <stdint.h>

extern uint8_t* __afl_area_ptr;

enum { kMapSize = 1 << 16 };  // AFL++'s default map size, which its runtime reports
static __thread uintptr_t previous;

void __sanitizer_cov_trace_pc(void) {
    const uintptr_t pc = (uintptr_t)__builtin_return_address(0);
    const uintptr_t current = ((pc >> 4) ^ (pc << 8)) & (kMapSize - 1);
    __afl_area_ptr[current ^ previous]++;
    previous = current >> 1;
}
