# The product database suite, included from tests/CMakeLists.txt. Its cases share one
# PostgreSQL test database (and one of them stops that server), so they never run in parallel
# with each other.
add_executable(flr_database_tests
    database/dbfixture.cpp
    database/recordset_test.cpp
    database/decimaltext_test.cpp
    database/dbconnection_test.cpp
    database/cliitems_test.cpp
    database/itemchooser_test.cpp
    database/databaselists_test.cpp
    database/effectimport_test.cpp
    database/recordeditors_test.cpp)
target_link_libraries(flr_database_tests PRIVATE flr_database flr_testsupport GTest::gtest_main)
# The items command is tested as scripts use it: the real executable.
add_dependencies(flr_database_tests flr-cli)
target_compile_definitions(flr_database_tests PRIVATE FLR_CLI_PATH="$<TARGET_FILE:flr-cli>")
gtest_discover_tests(flr_database_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        RESOURCE_LOCK flr_database)
