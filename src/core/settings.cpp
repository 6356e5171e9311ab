#include "core/settings.h"

#include "settings_defaults.h"

namespace pv {

Settings Settings::defaults() {
    return Settings{PLANVIEWER_DEFAULT_PLAN_SERVER,
                    PLANVIEWER_DEFAULT_PLAN_PAGE_SITE,
                    PLANVIEWER_DEFAULT_DRAW_SITE,
                    PLANVIEWER_DEFAULT_PUBLISHER_SITE,
                    PLANVIEWER_DEFAULT_COUNTER_SITE,
                    PLANVIEWER_DEFAULT_COUNTER_ID,
                    PLANVIEWER_DEFAULT_COUNTER_IMAGE_PREFIX,
                    PLANVIEWER_DEFAULT_BLOG_SITE};
}

}  // namespace pv
