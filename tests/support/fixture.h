// A test with the in-memory platform bound, fresh globals, and no window left behind.
#pragma once

#include "common/module1.h"
#include "support/fakes.h"

#include <gtest/gtest.h>
#include <memory>

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    fakes::FakePlatform &fx() { return *platform_; }

private:
    std::unique_ptr<fakes::FakePlatform> platform_;
};
