#include "accessible_button.h"
#include "allocator_guard.h"
#include "ui.h"

#include <QApplication>

#include <cstdio>

// Every test runs with a QApplication (widgets need one) and proves that it gave back every
// task-allocator block it was handed. A message box that no test expected fails the test
// instead of waiting for a click that never comes.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallAccessibleButtons();
    ::testing::InitGoogleTest(&argc, argv);
    SetMessageBoxHandler([](const MessageBoxRequest& request) {
        ADD_FAILURE() << "unexpected message box: " << request.caption.toStdString() << "|"
                      << request.text.toStdString();
        return IDOK;
    });
    auto* balance = new AllocatorBalanceListener;
    ::testing::UnitTest::GetInstance()->listeners().Append(balance);
    int result = RUN_ALL_TESTS();
    for (const std::string& name : balance->Unbalanced()) {
        std::fprintf(stderr, "task allocator unbalanced after %s\n", name.c_str());
        result = 1;
    }
    return result;
}
