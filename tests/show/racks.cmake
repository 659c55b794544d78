# Racks: the rack type logic, the "Select rack type..." dialog on a SQLite product database
# and the view's rack tree, under one QApplication.
flr_add_test_suite(flr_racks_tests OWN_MAIN
    SOURCES
        show/racks_test.cpp
        show/showbuilder.cpp
        support/qapplicationmain.cpp
    LIBS flr_show_ui flr_schedule_ui)
target_include_directories(flr_racks_tests PRIVATE show)
