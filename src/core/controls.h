// Controls of the main window, reached by their names, which only the control vocabulary of
// core/control_roles.h makes (ctl::kBackThreePlanBox is "编辑框2"), so a misspelt control does
// not compile. Every text is GBK. Callable from any thread: each call is one request to the
// window. Unknown names and indexes out of range read as empty and are ignored
// on writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/control_roles.h"

namespace pv {

using GridRows = std::vector<std::vector<std::string>>;

// What a reader that follows an edit box change by change gets back: the bytes from the offset
// it asked for when the box has only grown by appends since it read the box last, else the
// whole content. `run` names the content since its last whole write; an append keeps it.
struct ContentSince {
    std::uint64_t run = 0;  // 0: the box cannot tell, so every read is whole
    bool appendedOnly = false;
    std::size_t size = 0;  // of the whole content
    std::string bytes;     // from the offset asked for, or all of it
};

class Controls {
  public:
    virtual ~Controls() = default;

    // Content of an edit box, caption of a label, button or hyperlink box, or of the window.
    virtual std::string text(ControlName name) = 0;
    // Writing an edit box raises its content-changed event once, after the content is in place.
    virtual void setText(ControlName name, const std::string& text) = 0;
    // Adds at the end of an edit box's content; raises the content-changed event too.
    virtual void appendText(ControlName name, const std::string& text) = 0;
    // The content of an edit box from `offset` on, when it still belongs to content run `run` and
    // holds at least `offset` bytes; otherwise all of it. A handler that runs on every append
    // reads only what the append added.
    virtual ContentSince contentSince(ControlName name, std::uint64_t /*run*/,
                                      std::size_t /*offset*/) {
        ContentSince whole;
        whole.bytes = text(name);
        whole.size = whole.bytes.size();
        return whole;
    }

    virtual bool visible(ControlName name) = 0;
    virtual void setVisible(ControlName name, bool visible) = 0;

    // Timer period in ms; 0 means stopped. Setting the value a timer already has changes
    // nothing (a running timer keeps its phase); a negative value counts as 0; 0 stops the
    // timer; any other value starts it afresh.
    virtual int period(ControlName name) = 0;
    virtual void setPeriod(ControlName name, int ms) = 0;

    // List view cells, rows and columns from 0.
    virtual int itemCount(ControlName name) = 0;
    virtual std::string itemText(ControlName name, int row, int column = 0) = 0;
    virtual void setItemText(ControlName name, int row, int column, const std::string& text) = 0;

    // The whole content of a grid, row 0 being its header row, replaced in one request so that
    // overlapping writers never leave half a result behind.
    virtual void setGridRows(ControlName name, const GridRows& rows) = 0;
    virtual GridRows gridRows(ControlName name) = 0;
    virtual void setGridColumnWidth(ControlName name, int column, int width) = 0;

    // Runs `calls` (calls to this facade) as one request to the window: a worker waits once for
    // all of them, and no other request runs between them. A facade that is not a window's runs
    // them on the calling thread.
    virtual void inOneRequest(const std::function<void(Controls&)>& calls) { calls(*this); }
};

}  // namespace pv
