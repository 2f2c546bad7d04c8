// The ui tests' QApplication (fonts and widgets need it), made before the first test.
#include "support/QtApp.h"

#include <gtest/gtest.h>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { qor::test::QtApp(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
