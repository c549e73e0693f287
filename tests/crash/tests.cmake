# The crash and fault suite: a driver works the windows as a user does and is killed at
# random moments; the file it leaves, and the files of refused writes, are checked with
# plain SQLite.
add_library(cartlist_crash_support STATIC
    crash/Intent.cpp
    crash/ListState.cpp
    crash/Shopper.cpp
    crash/SideFile.cpp
    crash/UserMoves.cpp
)
target_include_directories(cartlist_crash_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/crash)
target_link_libraries(cartlist_crash_support PUBLIC cartlist_test_support)
cartlist_target_defaults(cartlist_crash_support)

add_executable(cartlist-crash-driver crash/crash_driver.cpp)
target_link_libraries(cartlist-crash-driver PRIVATE cartlist_crash_support)
cartlist_target_defaults(cartlist-crash-driver)

# CARTLIST_CRASH_TRIALS=1000 for a long run; CARTLIST_CRASH_SEED repeats a run's choices.
cartlist_test(tst_crash crash/tst_crash.cpp cartlist_crash_support)
target_compile_definitions(tst_crash PRIVATE CARTLIST_CRASH_DRIVER="$<TARGET_FILE:cartlist-crash-driver>")
add_dependencies(tst_crash cartlist-crash-driver)

# The faults: a read-only file, a full file system, a lock held by another connection, the
# file deleted, moved or replaced while the program runs.
cartlist_test(tst_faults crash/tst_faults.cpp cartlist_crash_support)

# Bad inputs through the real widgets, each stored exactly or refused whole.
cartlist_test(tst_bad_inputs crash/tst_bad_inputs.cpp cartlist_crash_support)
