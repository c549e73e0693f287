# The install as users get it: into a temporary prefix, through `cmake --install`. The cases
# share the build folder's install staging, so they run one at a time.
foreach(case IN ITEMS layout_and_launch refuses_unwritable_folder keeps_earlier_database)
    add_test(NAME install_${case}
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/install.sh ${case} ${CMAKE_BINARY_DIR}
                ${PROJECT_SOURCE_DIR}/README.md)
    set_tests_properties(install_${case} PROPERTIES RESOURCE_LOCK cartlist_install TIMEOUT 300)
endforeach()
