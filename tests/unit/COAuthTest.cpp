#include "platform/COAuthProviders.h"
#include "platform/COAuthSasl.h"
#include "tests/support/CMemorySettingsStore.h"

#include <gtest/gtest.h>

// The examples the mechanisms are published with: Google's for XOAUTH2, RFC 7628's for
// OAUTHBEARER.
TEST(COAuthSasl, EncodesThePublishedExamples) {
    EXPECT_EQ(COAuthSasl::xoauth2("someuser@example.com",
                                  "ya29.vF9dft4qmTc2Nvb3RlckBhdHRhdmlzdGEuY29tCg"),
              "dXNlcj1zb21ldXNlckBleGFtcGxlLmNvbQFhdXRoPUJlYXJlciB5YTI5LnZGOWRmdDRxbVRjMk52YjNSbG"
              "NrQmhkSFJoZG1semRHRXVZMjl0Q2cBAQ==");
    EXPECT_EQ(COAuthSasl::oauthBearer("user@example.com", "server.example.com", 143,
                                      "vF9dft4qmTc2Nvb3RlckBhbHRhdmlzdGEuY29tCg=="),
              "bixhPXVzZXJAZXhhbXBsZS5jb20sAWhvc3Q9c2VydmVyLmV4YW1wbGUuY29tAXBvcnQ9MTQzAWF1dGg9Qm"
              "VhcmVyIHZGOWRmdDRxbVRjMk52YjNSbGNrQmhiSFJoZG1semRHRXVZMjl0Q2c9PQEB");
    // The GS2 header's own separators in an account are escaped; a control character, which
    // would end a field early, gives no message at all.
    EXPECT_EQ(COAuthSasl::challengeText(COAuthSasl::oauthBearer("a,b=c", "h", 1, "t")),
              "n,a=a=2Cb=3Dc, host=h port=1 auth=Bearer t  ");
    EXPECT_EQ(COAuthSasl::xoauth2("anna\x01"
                                  "auth=Bearer x",
                                  "t"),
              "");
    EXPECT_EQ(COAuthSasl::xoauth2("anna", "t\r\nQUIT"), "");
    EXPECT_EQ(COAuthSasl::challengeText("eyJzdGF0dXMiOiI0MDEifQ==\r\n"), "{\"status\":\"401\"}");
    EXPECT_EQ(COAuthSasl::challengeText("not base64"), "");
}

TEST(COAuthProviders, KnownServersAndSettingsEntriesDecideWhoSignsInWithoutPassword) {
    CMemorySettingsStore store;
    COAuthProviders providers(store);
    EXPECT_TRUE(providers.signsInWithOAuth("Outlook.Office365.com.", ""));
    EXPECT_TRUE(providers.signsInWithOAuth("smtp.gmail.com", ""));
    EXPECT_FALSE(providers.signsInWithOAuth("smtp.gmail.com", "typed"));
    EXPECT_FALSE(providers.signsInWithOAuth("pop.example.org", ""));

    // Built in: the addresses and scopes; the client id is the user's to give.
    auto microsoft = providers.forServer("smtp-mail.outlook.com");
    ASSERT_TRUE(microsoft);
    EXPECT_EQ(microsoft->tokenUrl, "https://login.microsoftonline.com/common/oauth2/v2.0/token");
    std::string error;
    EXPECT_FALSE(COAuthProviders::usable(*microsoft, error));
    EXPECT_NE(error.find("OAuth.microsoft.ClientId"), std::string::npos) << error;
    store.strings["OAuth.microsoft.ClientId"] = "my-app";
    EXPECT_TRUE(COAuthProviders::usable(*providers.forServer("pop-mail.outlook.com"), error));

    // An entry of the settings names its servers, and comes before the built-in ones.
    store.strings[COAuthProviders::kListKey] = "corp bad/name";
    store.strings["OAuth.corp.Servers"] = "pop.corp.example outlook.office365.com";
    store.strings["OAuth.corp.AuthorizationUrl"] = "http://127.0.0.1:8080/authorize";
    store.strings["OAuth.corp.TokenUrl"] = "http://id.corp.example/token";
    store.strings["OAuth.corp.ClientId"] = "corp-app";
    auto corp = providers.forServer("outlook.office365.com");
    ASSERT_TRUE(corp);
    EXPECT_EQ(corp->name, "corp");
    EXPECT_TRUE(providers.signsInWithOAuth("POP.corp.example", ""));
    // Plain http goes to this machine only: the code and the tokens cross no network in clear.
    EXPECT_FALSE(COAuthProviders::usable(*corp, error));
    EXPECT_NE(error.find("http://id.corp.example/token"), std::string::npos) << error;
    store.strings["OAuth.corp.TokenUrl"] = "http://localhost.evil.example/token";
    EXPECT_FALSE(COAuthProviders::usable(*providers.forServer("pop.corp.example"), error));
    store.strings["OAuth.corp.TokenUrl"] = "https://id.corp.example/token";
    EXPECT_TRUE(COAuthProviders::usable(*providers.forServer("pop.corp.example"), error));
}
