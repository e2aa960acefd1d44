# Builds the Debian package with CPack into a scratch folder and reads it back
# with dpkg-deb: its file name, the files it unpacks, what it depends on and
# what it recommends.
#   cmake -DCPACK=<cpack> -DDPKG_DEB=<dpkg-deb> -DCPACK_CONFIG=<build>/CPackConfig.cmake
#         -DOUT=<scratch folder> -DVERSION=<x.y> -P CheckDebPackage.cmake
# With -DSAME_AS=<an earlier .deb> it only builds the package again, a second
# later so that a time of day would show, and compares the two byte for byte.
cmake_minimum_required(VERSION 3.25)

set(id example.korvu.Korvu)

file(REMOVE_RECURSE "${OUT}")
if(SAME_AS)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 1)
endif()
execute_process(COMMAND "${CPACK}" --config "${CPACK_CONFIG}" -G DEB -B "${OUT}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed (${result}):\n${output}")
endif()

file(GLOB debs "${OUT}/*.deb")
list(LENGTH debs deb_count)
if(NOT deb_count EQUAL 1)
    message(FATAL_ERROR "expected one .deb in ${OUT}, found: ${debs}\n${output}")
endif()

if(SAME_AS)
    execute_process(COMMAND cmp "${SAME_AS}" "${debs}" RESULT_VARIABLE differ OUTPUT_VARIABLE diff)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "two builds of one commit differ: ${diff}")
    endif()
    return()
endif()

# dpkg-deb takes the archive right after the option, then any field names.
function(deb_query out option)
    execute_process(COMMAND "${DPKG_DEB}" ${option} "${debs}" ${ARGN}
                    RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE error
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "dpkg-deb ${option} failed:\n${error}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(problems "")

# The install instructions name the file korvu_<version>_<arch>.deb.
deb_query(architecture -f Architecture)
get_filename_component(deb_name "${debs}" NAME)
if(NOT deb_name STREQUAL "korvu_${VERSION}_${architecture}.deb")
    string(APPEND problems "package file is ${deb_name}, not korvu_${VERSION}_${architecture}.deb\n")
endif()

deb_query(listing -c)
set(expected
    ./usr/share/applications/${id}.desktop
    ./usr/share/metainfo/${id}.metainfo.xml
    ./usr/share/icons/hicolor/scalable/apps/${id}.svg)
foreach(size 16 32 48 256)
    list(APPEND expected ./usr/share/icons/hicolor/${size}x${size}/apps/${id}.png)
endforeach()
foreach(path IN LISTS expected)
    string(REPLACE "." "\\." pattern "${path}")
    if(NOT listing MATCHES "(^|\n)-[^\n]* ${pattern}(\n|$)")
        string(APPEND problems "package lacks ${path}\n")
    endif()
endforeach()
# dpkg keeps the mode from the archive, so the program must be packed executable,
# and Debian puts a game's program in /usr/games.
if(NOT listing MATCHES "(^|\n)-rwxr-xr-x [^\n]* \\./usr/games/korvu(\n|$)")
    string(APPEND problems "package lacks an executable ./usr/games/korvu\n")
endif()

# Qt comes from dpkg-shlibdeps; the fonts are found only by family name, so
# they have to be declared by hand.
deb_query(depends -f Depends)
if(NOT depends MATCHES "(^|, )libqt6widgets6( |,|$)")
    string(APPEND problems "Depends lacks libqt6widgets6: ${depends}\n")
endif()
foreach(fonts fonts-liberation fonts-dejavu-core)
    if(NOT depends MATCHES "(^|, )${fonts}(,|$)")
        string(APPEND problems "Depends lacks ${fonts}: ${depends}\n")
    endif()
endforeach()
deb_query(recommends -f Recommends)
if(NOT recommends STREQUAL "qt6-wayland")
    string(APPEND problems "Recommends is not qt6-wayland: ${recommends}\n")
endif()

if(problems)
    deb_query(info -I)
    message(FATAL_ERROR "${deb_name}:\n${problems}\n${info}\n${listing}")
endif()
