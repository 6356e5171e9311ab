// Regular expressions over GBK text with 1-based match and group indexes. The syntax and
// matching rules follow ECMAScript: "." never takes a line break, "\d" and "\w" are ASCII,
// quantifiers may be lazy. Subject and pattern are matched as characters, not bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pv {

class RegexObject {
  public:
    RegexObject() = default;
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // A pattern that matches nothing is a success. False when the pattern is invalid or the
    // engine gives up (its match limit, memory): then no match is kept and the failure is logged.
    bool create(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                bool multiLine = true, bool global = true, bool quoteMarker = false);
    int matchCount() const;
    std::string matchText(int index) const;
    std::string subMatchText(int index, int group) const;
    // The number of capture groups of the first match; 0 without a match.
    int subMatchCount() const;
    // The pattern given to the last create, "" before any.
    std::string pattern() const;
    // The stored subject with the matches replaced; "$1", "$&", "$`", "$'" and "$$" expand.
    std::string replace(std::string_view replacement) const;

  private:
    // Start and end of group `group` of match `match` (from 0), as UTF-8 byte offsets; the start
    // is kUnset for a group that took no part.
    std::size_t groupStart(std::size_t match, std::size_t group) const {
        return offsets_[(match * stride() + group) * 2];
    }
    std::size_t groupEnd(std::size_t match, std::size_t group) const {
        return offsets_[(match * stride() + group) * 2 + 1];
    }
    std::size_t stride() const { return static_cast<std::size_t>(groupCount_) + 1; }
    std::string spanText(std::size_t match, std::size_t group) const;

    static constexpr std::size_t kUnset = ~std::size_t{0};
    bool hasEngine_ = false;
    bool valid_ = false;
    bool global_ = true;
    std::string pattern_;  // GBK
    // The subject as given, kept only where it does not come back byte for byte from its UTF-8
    // form (broken bytes, a zero byte): replace gives it back when nothing matched.
    bool keepsGbk_ = false;
    std::string subjectGbk_;
    std::string subjectUtf8_;
    int groupCount_ = 0;
    std::size_t matchCount_ = 0;
    // Every match's groups (group 0 the whole match), start and end, match after match.
    std::vector<std::size_t> offsets_;
};

}  // namespace pv
