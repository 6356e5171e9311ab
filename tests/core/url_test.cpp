#include "core/url.h"

#include <gtest/gtest.h>

using namespace pv;

TEST(Url, SplitsAddressesWithAndWithoutScheme) {
    EXPECT_EQ(urlHost("Host.EXAMPLE"), "host.example");
    EXPECT_EQ(urlPort("Host.EXAMPLE"), 80);
    EXPECT_EQ(urlPath("Host.EXAMPLE"), "/");

    const char* secure = "https://Host.Example:8443/A/b?q=1";
    EXPECT_EQ(urlHost(secure), "host.example");
    EXPECT_EQ(urlHost(secure, true), "host.example:8443");
    EXPECT_EQ(urlPort(secure), 8443);
    EXPECT_EQ(urlPath(secure), "/A/b?q=1");

    EXPECT_EQ(urlHost("HTTPS://host"), "host");
    EXPECT_EQ(urlPort("HTTPS://host"), 443);
    EXPECT_EQ(urlPath("HTTPS://host"), "/");

    EXPECT_EQ(urlHost("host/x"), "host");
    EXPECT_EQ(urlPort("host/x"), 80);
    EXPECT_EQ(urlPath("host/x"), "/x");

    EXPECT_EQ(urlPath("http://127.0.0.1:2200/TeamContent/97.txt "), "/TeamContent/97.txt ");
    EXPECT_EQ(urlPort("http://127.0.0.1:2200/TeamContent/97.txt"), 2200);
}

TEST(Url, MalformedAddressesGiveSomeAnswerNeverAnError) {
    EXPECT_EQ(urlPort("http://host:abc/"), 0);
    EXPECT_EQ(urlPort("http://host:81x/"), 81);
    // An inner address in the query of a scheme-less address wins the host.
    EXPECT_EQ(urlHost("host?u=http://other/"), "other");
    EXPECT_EQ(urlHost(""), "");
    EXPECT_EQ(urlPath(""), "/");
    EXPECT_EQ(urlPort(""), 80);
}
