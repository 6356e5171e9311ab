#include "app/layout_table.h"

#include <unordered_map>

namespace pv {

const WindowSpec& windowSpec() {
    static const WindowSpec spec{"岚枫阁免费版+大底v1.41"};
    return spec;
}

const std::vector<ControlSpec>& layoutTable() {
    static const std::vector<ControlSpec> table;
    return table;
}

const ControlSpec* findControl(const std::string& name) {
    static const auto index = [] {
        std::unordered_map<std::string, const ControlSpec*> byName;
        for (const ControlSpec& c : layoutTable())
            byName.emplace(c.name, &c);
        return byName;
    }();
    auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

}  // namespace pv
