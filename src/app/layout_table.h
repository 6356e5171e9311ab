// The layout table of the main window: every control with its name, kind, identifier,
// container, position, size, visibility, initial content and look. Pure data; the window is
// built from it and tests check it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/control_roles.h"

namespace pv {

enum class ControlKind {
    Button,
    Timer,
    Label,
    EditBox,
    TabControl,
    TransparentLabel,
    ListView,
    Grid,
    ShapeBox,
    HyperlinkBox,
};

struct FontSpec {
    std::string family;  // GBK, e.g. "微软雅黑"; empty: the window's default font
    int pixelSize = 0;   // 0: the default size
    bool bold = false;
};

struct ControlSpec {
    ControlName name;  // GBK control name, e.g. "按钮25"
    ControlKind kind = ControlKind::Button;
    std::uint32_t id = 0;   // unique in the window: a base per kind plus the name's number
    ControlName container;  // the containing control; empty for the window itself
    int page = 0;           // 0-based page when the container is a tab control
    int left = 0, top = 0, width = 0, height = 0;  // relative to the container's client area
    bool visible = true;
    std::string text;      // caption of a button or label, content of an edit box (GBK)
    FontSpec font;         // set only where the layout names one
    bool centred = false;  // labels: the caption in the middle of the control, not at its left
    std::uint32_t textColor = 0x000000;  // 0xRRGGBB
    std::uint32_t backColor = 0xFFFFFF;  // 0xRRGGBB
    bool hasColors = false;              // false: the style's own colours
    bool multiLine = false;
    bool verticalScrollBar = false;
    int period = 0;                          // timers, in ms
    std::vector<std::string> pageCaptions;   // tab controls
    std::vector<std::string> columnHeaders;  // list view
    std::vector<int> columnWidths;           // list view
    // List view cells by row and column. Column 0 holds only the path of the page on the plan
    // page site ("/detail/1193.html"); the window puts Settings::planPageSite in front of it.
    std::vector<std::vector<std::string>> rows;
};

struct WindowSpec {
    std::string caption;  // GBK
    int left = 50, top = 50;
    int outerWidth = 861, outerHeight = 638;
};

struct LayoutRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// Builds a table in order. Names and identifiers follow from the kind and the number. The
// reference add() hands out stays valid until take(), however many controls follow it.
class TableBuilder {
  public:
    ControlSpec& add(ControlKind kind, int number, ControlName container, int page, LayoutRect r,
                     std::string text = {});
    ControlSpec& hidden(ControlKind kind, int number, ControlName container, LayoutRect r);
    void timers(int first, int last, ControlName container, int page);
    // The same from a control's name, whose kind and number it carries.
    ControlSpec& add(ControlName name, ControlName container, int page, LayoutRect r,
                     std::string text = {});
    ControlSpec& hidden(ControlName name, ControlName container, LayoutRect r);
    void timers(const std::vector<ControlName>& names, ControlName container, int page);
    std::vector<ControlSpec> take();

  private:
    std::deque<ControlSpec> table_;
};

// The kind a control name starts with ("编辑框2" is an edit box); nullopt for no kind's word.
std::optional<ControlKind> kindOfName(const std::string& name);

const WindowSpec& windowSpec();
// Containers come before their contents.
const std::vector<ControlSpec>& layoutTable();
// nullptr when there is no control of that name.
const ControlSpec* findControl(ControlName name);

}  // namespace pv
