#include "publisher/visit_counter.h"

#include "publisher_fixture.h"

using namespace pv;
using namespace pv::test;

namespace {

TEST(VisitCounter, AppendsTheDigitsOfTheCounterImagesInOrder) {
    const std::string prefix = "http://img.counter.example";
    const std::string script =
        "document.write('<img src=\"" + prefix + "/img/43/1.gif\"><img src=\"" + prefix +
        "/img/43/2.gif\">');\r\ndocument.write('<img src=\"" + prefix +
        "/IMG/43/9.gif\">"
        "<img src=\"http://elsewhere.example/img/43/8.gif\"><img src=\"" +
        prefix + "/img/43/0.gif\"><img src=\"" + prefix + "/img/43/7.gif\">');";
    Handlers h;
    const auto server = site({{"/count/count.asp?id=1032&sx=1&ys=43", page(script)}});
    h.app.settings.counterSite = server->url("");
    h.app.settings.counterId = "1032";
    h.app.settings.counterImagePrefix = prefix;
    h.controls.setText(ctl::kDrawPanelCaption, "第 1 期");
    h.controls.setText(ctl::kCounterWorkLabel, "访问：");

    requestVisitCounter(h.app);
    EXPECT_EQ(h.controls.text(ctl::kDrawPanelCaption), "  ");
    EXPECT_EQ(h.controls.text(ctl::kCounterWorkLabel), "访问：1207");
    requestVisitCounter(h.app);  // nothing clears the caption
    EXPECT_EQ(h.controls.text(ctl::kCounterWorkLabel), "访问：12071207");
}

TEST(VisitCounter, LazyGroupsOnDeeperPaths) {
    const std::string p = "http://i.example";
    EXPECT_EQ(counterDigits(p + "/img/s/a/b/3.gif " + p + "/img/s/4.gif", p), "a/b/34");
    // The prefix is matched as written, its dots standing for any character.
    EXPECT_EQ(counterDigits("http://iXexample/img/s/5Xgif", p), "5");
    EXPECT_EQ(counterDigits("", p), "");
    EXPECT_EQ(counterDigits(p + "/img/s/6.gif", "http://bad(prefix"), std::nullopt);
}

}  // namespace
