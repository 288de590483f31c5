#include "platform/AppSettings.h"
#include "support/CMemorySettingsStore.h"

#include <gtest/gtest.h>

TEST(AppSettings, DefaultsThenStoredValuesInTheirOrder) {
    CMemorySettingsStore store;
    AppSettings s;
    s.read(store);
    EXPECT_EQ(store.reads,
              (std::vector<std::string>{"Helo", "Port", "DNS", "Lines", "Smtpserver", "Smtpport",
                                        "Address", "QuickLogin", "Timeout", "Pipelining"}));
    EXPECT_EQ(s.helo, "nada");
    EXPECT_EQ(s.port, 110);
    EXPECT_EQ(s.dns, "");
    EXPECT_EQ(s.lines, 50);
    EXPECT_EQ(s.smtpServer, "");
    EXPECT_EQ(s.smtpPort, 25);
    EXPECT_EQ(s.address, "");
    EXPECT_EQ(s.quickLogin, 1000);
    EXPECT_EQ(s.timeout, 5);
    EXPECT_EQ(s.pipelining, 1);
    EXPECT_TRUE(store.writes.empty());

    store.ints["Port"] = 995;
    store.strings["Address"] = "anna@example.org";
    AppSettings again;
    again.read(store);
    EXPECT_EQ(again.port, 995);
    EXPECT_EQ(again.address, "anna@example.org");
    EXPECT_EQ(again.smtpPort, 25);
}

TEST(AppSettings, WritesAllNineInTheirOrder) {
    CMemorySettingsStore store;
    AppSettings s;
    s.timeout = 7;
    s.write(store);
    EXPECT_EQ(store.writes,
              (std::vector<std::string>{"Port", "Lines", "Helo", "Smtpserver", "Smtpport",
                                        "Address", "QuickLogin", "Timeout", "DNS"}));
    EXPECT_EQ(store.ints["Timeout"], 7);
    EXPECT_EQ(store.strings["Helo"], "nada");
}
