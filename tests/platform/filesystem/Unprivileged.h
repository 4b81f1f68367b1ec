// Permission checks that also mean something when the tests run as root.
//
// Root ignores file and folder permissions, so a check of "a read-only
// folder gives the permission error" would pass for the wrong reason or not
// at all. As root, the check runs in a child process that has given root up
// and become the unprivileged user nobody.
#pragma once

#include <gtest/gtest.h>
#include <grp.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

inline void BecomeNobody()
{
    constexpr uid_t kNobody = 65534;
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
        std::_Exit(2);
}

// Expects check() to be true for an unprivileged user. Everything check
// touches must be reachable by every user.
inline void ExpectAsUnprivilegedUser(const std::function<bool()>& check)
{
    if (geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    EXPECT_EXIT(
        {
            BecomeNobody();
            std::_Exit(check() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
