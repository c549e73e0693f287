# The steps of `cmake --install` that plain install() rules cannot express. They run at install
# time, with the prefix and DESTDIR the installer gave.

# Cartlist keeps its database beside itself and writes every change to it at once; SQLite also
# writes its journal in that folder. So whoever runs the program must be able to write its
# application folder. Refuse, before anything is copied, to lay one out that the installing user
# cannot write: every user would share one database that none of them can change.
function(cartlist_check_app_folder app_dir build_dir)
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX OUTPUT_VARIABLE prefix)
    set(folder "$ENV{DESTDIR}${prefix}/${app_dir}")
    set(why "Cartlist keeps its database, Cartstock.mdb, in its own folder beside the program \
and saves every change there at once, so the user who runs it must be able to write ${folder}.")
    set(instead "Install it for yourself instead; that needs no root:\n\
    cmake --install ${build_dir} --prefix ~/.local\n\
and start it as ~/.local/bin/cartlist or from the desktop's application menu.")

    execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(uid STREQUAL "0" AND NOT "$ENV{SUDO_USER}" MATCHES "^(|root)$" AND "$ENV{DESTDIR}" STREQUAL "")
        message(FATAL_ERROR "Not installing with sudo: ${folder} and the database in it would \
belong to root, and Cartlist run as $ENV{SUDO_USER} could not save anything. ${why}\n${instead}")
    endif()

    # The nearest folder that exists is the one the install writes into.
    set(existing "${folder}")
    while(NOT EXISTS "${existing}")
        cmake_path(GET existing PARENT_PATH existing)
    endwhile()
    execute_process(COMMAND test -w "${existing}" RESULT_VARIABLE not_writable)
    if(not_writable)
        message(FATAL_ERROR "Not installing into ${prefix}: you cannot write ${existing}. ${why}\n${instead}")
    endif()
endfunction()

# The database is the user's: it is made from the sample only where none is, and an existing
# one is left exactly as it is. It is not an installed file, so it is not in the install
# manifest, and removing the files the manifest lists leaves it in place.
function(cartlist_install_database app_dir makedb)
    set(db "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${app_dir}/Cartstock.mdb")
    # Earlier versions installed everything into <prefix>/bin.
    set(earlier "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/Cartstock.mdb")
    if(EXISTS "${db}")
        message(STATUS "Kept your database unchanged: ${db}")
    elseif(EXISTS "${earlier}")
        file(COPY_FILE "${earlier}" "${db}")
        message(STATUS "Copied your database from the earlier install, ${earlier}, to ${db}; "
                       "the earlier file is left where it was.")
    else()
        execute_process(COMMAND "${makedb}" "${db}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
endfunction()

# The launcher names the installed link by its full path: the program finds its folder from
# where its executable really is, so the entry works under any prefix, whether or not its bin
# folder is on the PATH of the desktop session.
function(cartlist_install_desktop_entry template staging_dir)
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX OUTPUT_VARIABLE prefix)
    set(exec "${prefix}/bin/cartlist")
    # Desktop-entry quoting: a path with reserved characters goes in double quotes with \ " ` $
    # escaped, then every backslash is doubled once more for the string level.
    if(NOT exec MATCHES "^[A-Za-z0-9_./+,:=@-]+$")
        string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" exec "${exec}")
        string(REPLACE "\\" "\\\\" exec "\"${exec}\"")
    endif()
    string(REPLACE "%" "%%" CARTLIST_EXEC "${exec}")
    # Each destination gets its own copy, so installs into two prefixes at once do not mix.
    string(MD5 key "$ENV{DESTDIR}${prefix}")
    set(entry "${staging_dir}/${key}/cartlist.desktop")
    configure_file("${template}" "${entry}" @ONLY)
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE FILES "${entry}")
    set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()
