#include "core/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>
#include <string>

#include "core/code_page.h"
#include "core/log.h"
#include "core/text.h"

namespace pv {
namespace {

struct CodeDeleter {
    void operator()(pcre2_code* c) const { pcre2_code_free(c); }
};
struct ContextDeleter {
    void operator()(pcre2_compile_context* c) const { pcre2_compile_context_free(c); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* m) const { pcre2_match_data_free(m); }
};
struct MatchContextDeleter {
    void operator()(pcre2_match_context* c) const { pcre2_match_context_free(c); }
};
struct JitStackDeleter {
    void operator()(pcre2_jit_stack* s) const { pcre2_jit_stack_free(s); }
};

// A pattern that backtracks without end gives up here (tens of milliseconds compiled, under a
// second interpreted) instead of holding its thread.
constexpr uint32_t kMatchLimit = 10'000'000;
// The compiled matcher's own stack is 32 KiB, a few thousand levels of backtracking; a group
// repeated over a long line needs more. 8 MiB holds about 250,000 levels, and the interpreter
// (used where the matcher cannot be compiled) gets as many through its heap limit, in KiB.
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 8 * 1024 * 1024;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;

std::string engineMessage(int code) {
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0) return "error";
    return reinterpret_cast<const char*>(buffer);
}

void logEngineError(std::string_view what, const std::string& patternUtf8, int code) {
    std::string message = "regular expression \"";
    message.append(patternUtf8).append("\" ").append(what).append(": ");
    message.append(engineMessage(code)).append(" (").append(std::to_string(code)).append(")");
    logFailure(message);
}

// Offset just behind the character that starts at `pos` in valid UTF-8, taking CR LF as one
// step the way the newline convention does.
std::size_t nextCharacter(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return pos + 1;
    if (s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n') return pos + 2;
    ++pos;
    while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80)
        ++pos;
    return pos;
}

}  // namespace

bool RegexObject::create(std::string_view pattern, std::string_view subject, bool caseSensitive,
                         bool multiLine, bool global, bool quoteMarker) {
    hasEngine_ = true;
    valid_ = false;
    global_ = global;
    matchCount_ = 0;
    offsets_.clear();
    groupCount_ = 0;
    pattern_ = quoteMarker ? replaceText(pattern, "#引号", "\"") : std::string(pattern);
    // The converters always produce valid UTF-8 (invalid input becomes U+FFFD), so the engine
    // may skip its own validity check on every call.
    keepsGbk_ = !gbkToUtf8Into(subject, subjectUtf8_);
    if (keepsGbk_)
        subjectGbk_.assign(subject);
    else
        subjectGbk_ = std::string();
    const std::string patternUtf8 = gbkToUtf8(pattern_);

    std::unique_ptr<pcre2_compile_context, ContextDeleter> context(
        pcre2_compile_context_create(nullptr));
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> matchContext(
        pcre2_match_context_create(nullptr));
    if (!context || !matchContext) {
        logEngineError("not compiled", patternUtf8, PCRE2_ERROR_NOMEMORY);
        return false;
    }
    // ANYCRLF keeps CR out of "." as well as LF, so ".+" never ends in a stray CR.
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_match_limit(matchContext.get(), kMatchLimit);
    pcre2_set_heap_limit(matchContext.get(), kHeapLimitKiB);
    uint32_t options = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY;
    if (!caseSensitive) options |= PCRE2_CASELESS;
    if (multiLine) options |= PCRE2_MULTILINE;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    std::unique_ptr<pcre2_code, CodeDeleter> code(
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(patternUtf8.data()), patternUtf8.size(), options,
                      &error, &errorOffset, context.get()));
    if (!code) {
        logEngineError("is invalid at " + std::to_string(errorOffset), patternUtf8, error);
        return false;
    }
    pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);  // falls back to the interpreter
    uint32_t captures = 0;
    const int info = pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr));
    if (info != 0 || !data) {
        logEngineError("not compiled", patternUtf8, info != 0 ? info : PCRE2_ERROR_NOMEMORY);
        return false;
    }
    groupCount_ = static_cast<int>(captures);

    const auto* s = reinterpret_cast<PCRE2_SPTR>(subjectUtf8_.data());
    const std::size_t length = subjectUtf8_.size();
    std::unique_ptr<pcre2_jit_stack, JitStackDeleter> jitStack;
    auto match = [&](std::size_t offset, uint32_t flags) {
        int rc = pcre2_match(code.get(), s, length, offset, flags, data.get(), matchContext.get());
        if (rc == PCRE2_ERROR_JIT_STACKLIMIT && !jitStack) {
            // Most patterns never need it, so the large stack is made on first demand.
            jitStack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
            if (!jitStack) return rc;
            pcre2_jit_stack_assign(matchContext.get(), nullptr, jitStack.get());
            rc = pcre2_match(code.get(), s, length, offset, flags, data.get(), matchContext.get());
        }
        return rc;
    };
    std::size_t offset = 0;
    uint32_t flags = PCRE2_NO_UTF_CHECK;
    while (offset <= length) {
        const int rc = match(offset, flags);
        if (rc == PCRE2_ERROR_NOMATCH) {
            if (!(flags & PCRE2_NOTEMPTY_ATSTART)) break;
            // An empty match stood here: try again one character further on.
            flags = PCRE2_NO_UTF_CHECK;
            offset = nextCharacter(subjectUtf8_, offset);
            continue;
        }
        // Any other failure (a limit, memory) leaves the matches unknown: report no collection
        // rather than the ones found so far. 0 (too small a match block) cannot happen with a
        // block made from the pattern, and would leave the whole match unset.
        if (rc <= 0) {
            logEngineError("stopped", patternUtf8, rc);
            matchCount_ = 0;
            offsets_.clear();
            return false;
        }
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
        for (uint32_t g = 0; g <= captures; ++g) {
            const bool set = static_cast<int>(g) < rc && ov[2 * g] != PCRE2_UNSET;
            offsets_.push_back(set ? ov[2 * g] : kUnset);
            offsets_.push_back(set ? ov[2 * g + 1] : kUnset);
        }
        ++matchCount_;
        if (!global) break;
        offset = ov[1];
        flags = PCRE2_NO_UTF_CHECK;
        if (ov[0] == ov[1]) flags |= PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
    }
    valid_ = true;
    return true;
}

int RegexObject::matchCount() const {
    return static_cast<int>(matchCount_);
}

std::string RegexObject::spanText(std::size_t match, std::size_t group) const {
    const std::size_t begin = groupStart(match, group);
    if (begin == kUnset) return {};
    return utf8ToGbk(std::string_view(subjectUtf8_).substr(begin, groupEnd(match, group) - begin));
}

std::string RegexObject::matchText(int index) const {
    if (index < 1 || index > matchCount()) return {};
    return spanText(static_cast<std::size_t>(index - 1), 0);
}

std::string RegexObject::subMatchText(int index, int group) const {
    if (index < 1 || index > matchCount() || group < 1 || group > groupCount_) return {};
    return spanText(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(group));
}

int RegexObject::subMatchCount() const {
    return matchCount_ == 0 ? 0 : groupCount_;
}

std::string RegexObject::pattern() const {
    return hasEngine_ ? pattern_ : std::string();
}

std::string RegexObject::replace(std::string_view replacement) const {
    if (!valid_ || matchCount_ == 0) return keepsGbk_ ? subjectGbk_ : utf8ToGbk(subjectUtf8_);
    const std::string r = gbkToUtf8(replacement);
    const std::string_view s = subjectUtf8_;
    std::string out;
    std::size_t copied = 0;
    for (std::size_t m = 0; m < matchCount_; ++m) {
        const std::size_t begin = groupStart(m, 0);
        const std::size_t end = groupEnd(m, 0);
        out.append(s.substr(copied, begin - copied));
        for (std::size_t i = 0; i < r.size(); ++i) {
            if (r[i] != '$' || i + 1 >= r.size()) {
                out.push_back(r[i]);
                continue;
            }
            char c = r[i + 1];
            if (c == '$') {
                out.push_back('$');
                ++i;
            } else if (c == '&') {
                out.append(s.substr(begin, end - begin));
                ++i;
            } else if (c == '`') {
                out.append(s.substr(0, begin));
                ++i;
            } else if (c == '\'') {
                out.append(s.substr(end));
                ++i;
            } else if (c >= '0' && c <= '9') {
                // Two digits when they name a group, else one; "$0" and unknown groups stay.
                int one = c - '0';
                int two = (i + 2 < r.size() && r[i + 2] >= '0' && r[i + 2] <= '9')
                              ? one * 10 + (r[i + 2] - '0')
                              : -1;
                int group = (two >= 1 && two <= groupCount_) ? two : one;
                if (group < 1 || group > groupCount_) {
                    out.push_back('$');
                    continue;
                }
                const std::size_t g = static_cast<std::size_t>(group);
                if (groupStart(m, g) != kUnset)
                    out.append(s.substr(groupStart(m, g), groupEnd(m, g) - groupStart(m, g)));
                i += group == two ? 2 : 1;
            } else {
                out.push_back('$');
            }
        }
        copied = end;
    }
    out.append(s.substr(copied));
    return utf8ToGbk(out);
}

}  // namespace pv
