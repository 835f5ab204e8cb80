#include "App/support/AppTestSupport.h"

#include "App/LayoutFolderServices.h"

#include <gtest/gtest.h>

namespace {

// Each folder alone answers for the path.
class OneFolderServices : public FakeServices
{
public:
    int IsInSiblingConfigUDLFolder(const std::string& path) override { return which == 0 && path == asked; }
    int IsInUDLFolder(const std::string& path) override { return which == 1 && path == asked; }
    int IsInCommonUDLFolder(const std::string& path) override { return which == 2 && path == asked; }

    int which = -1;
    std::string asked = "/lay/a.zvd";
};

TEST(LayoutFolderServicesTest, EachLayoutFolderAloneMakesAPathALayoutFolders)
{
    OneFolderServices services;
    EXPECT_FALSE(IsInAnyLayoutFolder(services, "/lay/a.zvd"));
    for (int which = 0; which < 3; ++which) {
        services.which = which;
        EXPECT_TRUE(IsInAnyLayoutFolder(services, "/lay/a.zvd")) << which;
        EXPECT_FALSE(IsInAnyLayoutFolder(services, "/elsewhere/a.zvd")) << which;
    }
}

} // namespace
