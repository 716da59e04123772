// Widgets need one QApplication for the whole test program (offscreen platform).
#include <gtest/gtest.h>

#include <QApplication>

namespace {

struct QtApplication_C : testing::Environment {
    int argc = 1;
    char name[9] = "ui_tests";
    char* argv[2] = {name, nullptr};
    QApplication* application = nullptr;

    void SetUp() override { application = new QApplication(argc, argv); }
    void TearDown() override { delete application; }
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtApplication_C);

}  // namespace
