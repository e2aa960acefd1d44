# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE). Every file and
# archive member is stamped with SOURCE_DATE_EPOCH, so two packages of one
# commit are the same bytes. Unless the caller sets it, it is the time of the
# last commit; a source tarball made by `package_source` was stamped with that
# same time, which its CMakeLists.txt still carries.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_KORVU_SOURCE_DIR}" log -1 --format=%ct
                    RESULT_VARIABLE result OUTPUT_VARIABLE epoch ERROR_QUIET
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
        file(TIMESTAMP "${CPACK_KORVU_SOURCE_DIR}/CMakeLists.txt" epoch "%s" UTC)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
