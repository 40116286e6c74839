#include "net/SignIn.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SignInTest, BasicCredentialsAreReadOnlyFromAWellFormedHeader)
{
    // "anna:se:cret" and "nocolon" in Base64.
    const auto anna = basicCredentials("Basic YW5uYTpzZTpjcmV0");
    ASSERT_TRUE(anna);
    EXPECT_EQ(anna->user, "anna");
    EXPECT_EQ(anna->password, "se:cret");
    EXPECT_FALSE(basicCredentials("Basic bm9jb2xvbg=="));
    EXPECT_FALSE(basicCredentials("Basic OnNlY3JldA==")) << "no user (\":secret\")";
    EXPECT_FALSE(basicCredentials("Bearer YW5uYTpzZWNyZXQ="));
    EXPECT_FALSE(basicCredentials("basic"));
    EXPECT_FALSE(basicCredentials(""));
    EXPECT_FALSE(basicCredentials("Basic " + std::string(8192, 'Q')));
}

TEST(SignInTest, NoServiceUserOrGroupLetsAnyoneIn)
{
    EXPECT_FALSE(pamAccepts("", {.user = "root", .password = "x"}));
    EXPECT_FALSE(pamAccepts("login", {.user = "", .password = "x"}));
    EXPECT_FALSE(pamAccepts("login", {.user = "marquill-no-such-user", .password = "x"}));
    EXPECT_TRUE(isGroupMember("root", 0));
    EXPECT_FALSE(isGroupMember("root", 54321));
    EXPECT_FALSE(isGroupMember("marquill-no-such-user", 0));
}

} // namespace
