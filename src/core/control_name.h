// The name of a control of the main window ("编辑框2", "时钟3"; the window itself is
// "MainWindow"), GBK. Only the control vocabulary (core/control_roles.h) and the layout table's
// builder make one, so a plain string never stands where a control is meant and a misspelt role
// does not compile. A name reads as its bytes wherever it is data (a std::string or
// std::string_view), and compares with any string.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pv {

struct ctl;
class TableBuilder;
struct ControlNameTestAccess;

class ControlName {
  public:
    // The longest name of the window is 11 bytes ("超级列表框1").
    static constexpr std::size_t kCapacity = 15;

    // The empty name, which no control has.
    constexpr ControlName() = default;

    constexpr std::string_view view() const { return {bytes_, size_}; }
    constexpr bool empty() const { return size_ == 0; }
    std::string str() const { return std::string(view()); }
    operator std::string() const { return str(); }
    constexpr operator std::string_view() const { return view(); }

    friend constexpr bool operator==(const ControlName&, const ControlName&) = default;
    friend constexpr auto operator<=>(const ControlName&, const ControlName&) = default;
    friend constexpr bool operator==(const ControlName& a, std::string_view b) {
        return a.view() == b;
    }
    friend std::ostream& operator<<(std::ostream& out, const ControlName& name) {
        return out << name.view();
    }

  private:
    friend struct ctl;
    // The layout table's builder names a control by its kind's word and its number.
    friend class TableBuilder;
    friend struct ControlNameTestAccess;

    // A role's name, fixed when the program is compiled.
    template <std::size_t N>
    consteval explicit ControlName(const char (&name)[N])
        : ControlName(std::string_view(name, N - 1)) {}
    // Fails (at compile time when evaluated as a constant) for an empty name, a name longer
    // than kCapacity or one with a zero byte.
    constexpr explicit ControlName(std::string_view name) {
        if (name.empty() || name.size() > kCapacity || name.find('\0') != name.npos)
            throw std::invalid_argument("not a control name");
        for (std::size_t i = 0; i < name.size(); ++i)
            bytes_[i] = name[i];
        size_ = static_cast<std::uint8_t>(name.size());
    }

    char bytes_[kCapacity] = {};
    std::uint8_t size_ = 0;
};

}  // namespace pv

template <>
struct std::hash<pv::ControlName> {
    std::size_t operator()(const pv::ControlName& name) const noexcept {
        return std::hash<std::string_view>{}(name.view());
    }
};
