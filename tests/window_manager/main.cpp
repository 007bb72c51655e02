// The window-manager tests run on their own X display with openbox; only
// listing the tests needs neither.
#include <gtest/gtest.h>

#include <QApplication>
#include <iostream>

#include "x_session.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    varnex::testing::XSession x;
    std::string error;
    if (!x.Start(error)) {
        std::cerr << "No X display with a window manager: " << error << "\n";
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
