#include "storage/data_file_name.h"

#include <gtest/gtest.h>

namespace {

TEST(WithDataFileExtension, AddsTheExtensionOnlyWhenNoneWasTyped) {
    struct Case {
        const char* name;
        const char* chosen;
        const char* saved;
    } cases[] = {
        {"no extension", "/home/u/friends", "/home/u/friends.ybf"},
        {"the extension", "/home/u/friends.ybf", "/home/u/friends.ybf"},
        {"another extension", "/home/u/friends.bak", "/home/u/friends.bak"},
        {"dot in a folder name", "/home/u/v1.2/friends", "/home/u/v1.2/friends.ybf"},
        {"hidden file", "/home/u/.friends", "/home/u/.friends.ybf"},
        {"Japanese name", "/home/u/友達", "/home/u/友達.ybf"},
        {"nothing chosen", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(WithDataFileExtension(c.chosen).string(), c.saved) << c.name;
}

}  // namespace
