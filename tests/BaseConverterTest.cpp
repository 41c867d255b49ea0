#include "BaseConverter.h"
#include <gtest/gtest.h>
TEST(Smoke, Zero) { BaseConverter b{}; b.SetBitWidth(32); char o[128]; b.GetHex(o); EXPECT_STREQ(o, "0000"); }
