// For tests that use the one application object: each starts with a new one (no screen, message, job or
// listener left by another test) and leaves a new one behind.
#pragma once

#include "SourceApp/application/AppImpl.h"

#include <gtest/gtest.h>

namespace tdx::test {

class FreshApplication : public ::testing::Test {
protected:
    void SetUp() override { application_renew(); }
    void TearDown() override { application_renew(); }
};

} // namespace tdx::test
