// Widgets need one QApplication for the whole test program; it runs on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

class QtApplication_C : public testing::Environment {
public:
    void SetUp() override { application = std::make_unique<QApplication>(argc, argv); }
    void TearDown() override { application.reset(); }

private:
    int argc = 1;
    char name[9] = "ui_tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> application;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtApplication_C);

}  // namespace
