#include "util/file_status.h"

#include <gtest/gtest.h>

#include <string>

namespace norvane {
namespace {

TEST(FileStatusForOpenError, MapsEachSystemCode) {
    for (unsigned code : {2u, 3u, 21u, 26u, 27u})
        EXPECT_STREQ(FileStatusForOpenError(code), "NOT FOUND");
    for (unsigned code : {32u, 33u}) EXPECT_STREQ(FileStatusForOpenError(code), "OPEN");
    for (unsigned code : {0u, 1u, 4u, 5u, 19u, 22u, 28u, 31u, 34u, 65535u})
        EXPECT_STREQ(FileStatusForOpenError(code), "ERROR") << code;
}

}  // namespace
}  // namespace norvane
