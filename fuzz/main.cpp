// The driver of every target: AFL++'s persistent loop over inputs in shared memory, or, given
// file names, each file once (to replay a finding under a debugger).
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "harness.h"

// What afl-cc's macros would declare; the two marker strings tell afl-fuzz that this program
// starts its fork server itself and runs many inputs per process.
extern "C" {
int __afl_persistent_loop(unsigned int);
void __afl_manual_init(void);
extern unsigned int* __afl_fuzz_len;
extern unsigned char* __afl_fuzz_ptr;
__attribute__((used)) int __afl_sharedmem_fuzzing = 1;
}
__attribute__((used)) static volatile const char* kPersistentMark = "##SIG_AFL_PERSISTENT##";
__attribute__((used)) static volatile const char* kDeferredMark = "##SIG_AFL_DEFER_FORKSRV##";

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            const std::string data{std::istreambuf_iterator<char>(in), {}};
            fuzzOne(data);
        }
        return 0;
    }
    (void)kPersistentMark;
    (void)kDeferredMark;
    __afl_manual_init();
    static char fallback[1 << 16];
    while (__afl_persistent_loop(10000)) {
        if (__afl_fuzz_ptr) {
            fuzzOne({reinterpret_cast<const char*>(__afl_fuzz_ptr), *__afl_fuzz_len});
        } else {  // outside afl-fuzz: standard input
            const ssize_t n = read(0, fallback, sizeof fallback);
            fuzzOne({fallback, n > 0 ? static_cast<std::size_t>(n) : 0});
        }
    }
    return 0;
}
