#include "platform/network/TransportSecurity.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TransportSecurity, AllowsHttpsAnywhereAndHttpOnlyOnThisMachine) {
    const struct {
        const char *url;
        bool allowed;
    } cases[] = {
        {"https://updates.example.com", true},
        {"HTTPS://updates.example.com", true},
        {"https://127.0.0.1", true},
        {"http://127.0.0.1:8080", true},
        {"http://127.4.5.6", true},
        {"http://[::1]:9", true},
        {"http://LocalHost", true},
        {"http://updates.example.com", false},
        {"http://10.0.0.1", false},
        {"http://localhost.example.com", false},
        {"ftp://127.0.0.1", false},
        {"127.0.0.1", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(isSecureOrLoopbackURL(QUrl(QString::fromLatin1(c.url), QUrl::StrictMode)),
                  c.allowed)
            << c.url;
    }
}

} // namespace
} // namespace platform
