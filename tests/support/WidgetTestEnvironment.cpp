// The one QApplication of a widget test executable, alive from before the
// first test to after the last.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class WidgetTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "kurvaro-test";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }

private:
    std::unique_ptr<QApplication> app;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new WidgetTestEnvironment);

} // namespace
