// The entry of every web test program: libcurl is set up before any test starts a thread, and every
// abandoned worker must have ended before the program exits.
#include "web/web_init.h"

#include <gtest/gtest.h>

namespace {

class WebEnvironment : public testing::Environment
{
public:
    void SetUp() override { murrel::Web_Init(); }
    void TearDown() override { EXPECT_TRUE(murrel::Web_Shutdown()) << "a worker did not stop when asked"; }
};

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new WebEnvironment);
    return RUN_ALL_TESTS();
}
