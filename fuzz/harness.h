// What every fuzz target shares: one call per input, a reader that turns the input's bytes into
// arguments, and a check that stops the run when an invariant breaks.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Runs one input. Any crash, sanitizer report, failed check or hang is a finding.
void fuzzOne(std::string_view data);

// Arguments read off the front of the input: numbers from single bytes, texts as a length byte
// followed by that many bytes. A short input gives zeros and empty texts.
class Draw {
  public:
    explicit Draw(std::string_view data) : data_(data) {}

    int byte() {
        if (data_.empty()) return 0;
        const auto b = static_cast<unsigned char>(data_[0]);
        data_.remove_prefix(1);
        return b;
    }
    bool flag() { return byte() & 1; }
    // A number in [lo, hi].
    int number(int lo, int hi) { return lo + byte() % (hi - lo + 1); }
    std::string_view text() {
        const std::size_t length = static_cast<std::size_t>(byte());
        const std::size_t n = std::min(length, data_.size());
        const std::string_view t = data_.substr(0, n);
        data_.remove_prefix(n);
        return t;
    }
    std::string_view rest() {
        const std::string_view t = data_;
        data_ = {};
        return t;
    }

  private:
    std::string_view data_;
};

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)
