#include <gtest/gtest.h>

#include "fileio/error_handler.h"

namespace {

TEST(ErrorHandler, MemoryErrorThrowsTheCode8)
{
    ErrorHandler handler;
    try {
        handler.MemoryError();
        FAIL() << "returned";
    } catch (int code) {
        EXPECT_EQ(code, 8);
    }
}

}  // namespace
