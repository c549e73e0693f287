cartlist_test(tst_help platform/tst_help.cpp cartlist_resources)
# The shipped help is checked where users get it, beside the executable, and against its source.
target_compile_definitions(tst_help PRIVATE
    CARTLIST_HELP_SOURCE="${PROJECT_SOURCE_DIR}/resources/Cartstock.hlp"
    CARTLIST_HELP_BESIDE_EXECUTABLE="${CARTLIST_APP_DIR}/Cartstock.hlp"
)
cartlist_test(tst_message_box platform/tst_message_box.cpp)
