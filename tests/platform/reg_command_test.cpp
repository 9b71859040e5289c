// placeholder
#include <gtest/gtest.h>
#include "host/reg.h"
TEST(Reg, Links) { char a0[] = "reg"; char *argv[] = {a0, nullptr}; EXPECT_EQ(regCommand(1, argv), 1); }
