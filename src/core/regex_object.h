// Regular expressions over GBK text with 1-based match and group indexes. The syntax and
// matching rules follow ECMAScript: "." never takes a line break, "\d" and "\w" are ASCII,
// quantifiers may be lazy. Subject and pattern are matched as characters, not bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    using Span = std::optional<std::pair<std::size_t, std::size_t>>;  // UTF-8 byte offsets
    struct Match {
        std::vector<Span> groups;  // group 0 is the whole match
    };

    std::string spanText(const Span& span) const;

    bool hasEngine_ = false;
    bool valid_ = false;
    bool global_ = true;
    std::string pattern_;     // GBK
    std::string subjectGbk_;  // what replace works on when there is no match
    std::string subjectUtf8_;
    int groupCount_ = 0;
    std::vector<Match> matches_;
};

}  // namespace pv
