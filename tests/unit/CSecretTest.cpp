#include "platform/CSecret.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

namespace {

bool holds(std::string_view memory, std::string_view secret) {
    return memory.find(secret) != std::string_view::npos;
}

// The secret's bytes are gone from the object's own memory once it is destroyed or given another
// value, and from a text it was taken from; a long one's room is overwritten whole.
TEST(CSecret, OverwritesItselfWhenItGoesOrChanges) {
    const std::string_view shortSecret = "hemligt"; // held inside the object itself
    alignas(CSecret) unsigned char storage[sizeof(CSecret)];
    const std::string_view memory(reinterpret_cast<const char*>(storage), sizeof storage);
    auto* secret = new (storage) CSecret(std::string(shortSecret));
    ASSERT_TRUE(holds(memory, shortSecret));
    *secret = CSecret("annat");
    EXPECT_FALSE(holds(memory, shortSecret));
    EXPECT_EQ(secret->view(), "annat");
    secret->~CSecret();
    EXPECT_FALSE(holds(memory, "annat"));

    std::string typed = "kort";
    const CSecret taken(std::move(typed));
    EXPECT_FALSE(holds(std::string_view(typed.data(), typed.capacity()), "kort"));

    const std::string longSecret(200, 's');
    std::string line = "PASS " + longSecret + "\r\n";
    const char* room = line.data();
    const std::size_t capacity = line.capacity();
    CSecret::wipe(line);
    EXPECT_TRUE(line.empty());
    EXPECT_EQ(line.data(), room); // the same room, still ours to read
    EXPECT_EQ(std::string_view(room, capacity).find_first_not_of('\0'), std::string_view::npos);

    const CSecret token(std::string("ya29.token"), CSecret::Kind::Token);
    const CSecret second = token.copy();
    EXPECT_EQ(second.view(), "ya29.token");
    EXPECT_EQ(second.kind(), CSecret::Kind::Token);
}

} // namespace
