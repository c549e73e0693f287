# The crash and fault suite: tst_crash runs itself as a driver that works the windows as a user
# does and is killed at random moments; the file it leaves, and the files of refused writes, are
# read with plain SQLite. CARTLIST_CRASH_SEED runs another seed than the fixed ones,
# CARTLIST_CRASH_TRIALS=1000 long.
cartlist_test(tst_crash crash/tst_crash.cpp)
target_sources(tst_crash PRIVATE crash/Shopper.cpp)
# Each seed's own limit grows with the trials and ends a hang; the whole run may take four of
# them at worst: 1000 trials a seed take 15 to 20 minutes in all on two cores.
set_tests_properties(tst_crash PROPERTIES TIMEOUT 7200)

# Writes refused by a read-only file, a full file system or a lock held by another program, and
# bad inputs through the real widgets, each stored exactly or refused whole.
cartlist_test(tst_faults crash/tst_faults.cpp)

# Power cuts after each I/O step of every kind of write, through a VFS made the default of the
# engine Qt's driver loads (the system's). CARTLIST_POWERCUT_ALL=1 cuts after every step.
cartlist_test(tst_powercut crash/tst_powercut.cpp SQLite::SQLite3)
