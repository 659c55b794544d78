# The download window's suite, included from tests/CMakeLists.txt: the window against the
# hardware emulator on pseudo-terminals, under one QApplication.
flr_add_test_suite(flr_transfer_ui_tests OWN_MAIN
    SOURCES
        transfer/transferdialog_test.cpp
        transfer/hardwareemulator.cpp
        transfer/transfertestsupport.cpp
        support/qapplicationmain.cpp
    LIBS flr_transfer_ui)
target_include_directories(flr_transfer_ui_tests PRIVATE transfer)
