#include "check/check_row.h"

namespace pv {

std::string hitRateText(int hits, int decided) {
    std::string text = std::to_string(hits) + "/" + std::to_string(decided);
    if (decided > 0) text += " " + std::to_string(hits * 100 / decided) + "%";
    return text;
}

std::string siteRecordText(SiteRecord record) {
    switch (record) {
        case SiteRecord::Agrees:
            return "一致";
        case SiteRecord::Disagrees:
            return "不符";
        case SiteRecord::Unknown:
            break;
    }
    return "—";
}

}  // namespace pv
