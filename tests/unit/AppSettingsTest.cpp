#include "platform/AppSettings.h"
#include "support/CMemorySettingsStore.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

// The defaults on a first start; what the settings dialog's OK writes is what the next start
// reads; nothing is written but the nine settings (never a password, never "Pipelining", which
// only the user sets by hand), and reading writes nothing.
TEST(AppSettings, WhatIsWrittenIsWhatTheNextStartReads) {
    CMemorySettingsStore store;
    AppSettings s;
    s.read(store);
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

    store.ints["Pipelining"] = 0;
    s = AppSettings{"hej", 995, "10.0.0.1", 20, "smtp.example", 587, "anna@example.org", 300, 7, 1};
    s.write(store);
    AppSettings next;
    next.read(store);
    EXPECT_EQ(next.helo, "hej");
    EXPECT_EQ(next.port, 995);
    EXPECT_EQ(next.dns, "10.0.0.1");
    EXPECT_EQ(next.lines, 20);
    EXPECT_EQ(next.smtpServer, "smtp.example");
    EXPECT_EQ(next.smtpPort, 587);
    EXPECT_EQ(next.address, "anna@example.org");
    EXPECT_EQ(next.quickLogin, 300);
    EXPECT_EQ(next.timeout, 7);
    EXPECT_EQ(next.pipelining, 0);
    std::set<std::string> written(store.writes.begin(), store.writes.end());
    EXPECT_EQ(written, (std::set<std::string>{"Helo", "Port", "DNS", "Lines", "Smtpserver",
                                              "Smtpport", "Address", "QuickLogin", "Timeout"}));
    EXPECT_EQ(store.writes.size(), written.size());
}
