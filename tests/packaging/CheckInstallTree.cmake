# Installs the build into a scratch DESTDIR under the prefix /usr, as the
# Debian package does, and checks that exactly the expected files land there
# and that the desktop entry and the metainfo point at them.
#   cmake -DBUILD_DIR=<build tree> -DSTAGE=<scratch folder> -DVERSION=<x.y>
#         -DGAMESDIR=<korvu's folder under the prefix> -P CheckInstallTree.cmake
cmake_minimum_required(VERSION 3.25)

set(id example.korvu.Korvu)
set(icon_sizes 16 32 48 256)

# A leftover tree from an earlier run would hide a file that is no longer installed.
file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix /usr
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(program usr/${GAMESDIR}/korvu)
set(expected
    ${program}
    usr/share/doc/korvu/copyright
    usr/share/doc/korvu/changelog.gz
    usr/share/man/man6/korvu.6.gz
    usr/share/applications/${id}.desktop
    usr/share/metainfo/${id}.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/${id}.svg)
foreach(size IN LISTS icon_sizes)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/${id}.png)
endforeach()

set(problems "")

# Exactly these files: anything extra (a static library, a test program)
# would end up in the package too.
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
foreach(file IN LISTS expected)
    if(NOT file IN_LIST installed)
        string(APPEND problems "missing: ${file}\n")
    endif()
endforeach()
foreach(file IN LISTS installed)
    if(NOT file IN_LIST expected)
        string(APPEND problems "not expected: ${file}\n")
    endif()
endforeach()

if(EXISTS "${STAGE}/${program}")
    file(READ "${STAGE}/${program}" magic LIMIT 4 HEX)
    execute_process(COMMAND test -x "${STAGE}/${program}" RESULT_VARIABLE not_executable)
    if(NOT magic STREQUAL "7f454c46" OR NOT not_executable EQUAL 0)
        string(APPEND problems "${program} is not an executable program\n")
    endif()
    # Qt lives in the system's library folders; a run path only upsets packagers.
    execute_process(COMMAND readelf -d "${STAGE}/${program}" OUTPUT_VARIABLE dynamic)
    if(dynamic MATCHES "R(UN)?PATH")
        string(APPEND problems "${program} carries a run path\n")
    endif()
endif()

# Each hicolor size folder must hold a PNG of that size; the theme lookup
# trusts the folder name.
foreach(size IN LISTS icon_sizes)
    set(png "${STAGE}/usr/share/icons/hicolor/${size}x${size}/apps/${id}.png")
    if(NOT EXISTS "${png}")
        continue()
    endif()
    file(READ "${png}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width_hex)
    string(SUBSTRING "${header}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        string(APPEND problems "${size}x${size} icon is not a PNG\n")
    elseif(NOT width EQUAL size OR NOT height EQUAL size)
        string(APPEND problems "${size}x${size} icon is ${width}x${height} pixels\n")
    endif()
endforeach()

set(svg "${STAGE}/usr/share/icons/hicolor/scalable/apps/${id}.svg")
if(EXISTS "${svg}")
    file(READ "${svg}" svg_text)
    if(NOT svg_text MATCHES "<svg[ >]")
        string(APPEND problems "scalable icon is not an SVG picture\n")
    endif()
endif()

# The menu starts the program and finds the icon through these two keys.
set(desktop "${STAGE}/usr/share/applications/${id}.desktop")
if(EXISTS "${desktop}")
    file(STRINGS "${desktop}" exec_lines REGEX "^Exec=")
    file(STRINGS "${desktop}" icon_lines REGEX "^Icon=")
    string(REGEX REPLACE "^Exec=([^ ]*).*" "\\1" launched "${exec_lines}")
    string(REGEX REPLACE "^Icon=" "" icon "${icon_lines}")
    if(NOT "usr/${GAMESDIR}/${launched}" STREQUAL program)
        string(APPEND problems "desktop entry starts '${launched}', not ${program}\n")
    endif()
    foreach(size IN LISTS icon_sizes)
        if(NOT EXISTS "${STAGE}/usr/share/icons/hicolor/${size}x${size}/apps/${icon}.png")
            string(APPEND problems "desktop entry icon '${icon}' has no ${size}x${size} image\n")
        endif()
    endforeach()
endif()

# The software centre shows the newest release; a version bump without a
# release entry would leave it advertising the old one.
set(metainfo "${STAGE}/usr/share/metainfo/${id}.metainfo.xml")
if(EXISTS "${metainfo}")
    file(READ "${metainfo}" metainfo_text)
    if(NOT metainfo_text MATCHES "<release [^>]*version=\"([^\"]*)\"")
        string(APPEND problems "metainfo has no release\n")
    elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
        string(APPEND problems "metainfo's newest release is ${CMAKE_MATCH_1}, the project is ${VERSION}\n")
    endif()
    # Software centres offer to install the package that provides this binary.
    string(REGEX MATCH "<binary>([^<]*)</binary>" binary "${metainfo_text}")
    if(NOT "usr/${GAMESDIR}/${CMAKE_MATCH_1}" STREQUAL program)
        string(APPEND problems "metainfo provides binary '${CMAKE_MATCH_1}', not ${program}\n")
    endif()
    if(NOT metainfo_text MATCHES "<project_license>MIT</project_license>")
        string(APPEND problems "metainfo does not name the MIT licence\n")
    endif()
    # appstreamcli accepts a file without these, but software centres treat a
    # component without a content rating as unrated and show no picture of it.
    if(NOT metainfo_text MATCHES "<content_rating type=\"oars-[0-9.]+\"")
        string(APPEND problems "metainfo has no OARS content rating\n")
    endif()
    if(NOT metainfo_text MATCHES "<screenshot type=\"default\">[^<]*(<caption>[^<]*</caption>[^<]*)?<image>https://")
        string(APPEND problems "metainfo has no default screenshot image\n")
    endif()
endif()

# The package's changelog must announce the version it carries.
set(changelog "${STAGE}/usr/share/doc/korvu/changelog.gz")
if(EXISTS "${changelog}")
    execute_process(COMMAND gzip -dc "${changelog}" OUTPUT_VARIABLE changelog_text)
    if(NOT changelog_text MATCHES "^korvu \\(([^)]*)\\)")
        string(APPEND problems "changelog.gz does not start with a korvu entry\n")
    elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
        string(APPEND problems "changelog's newest entry is ${CMAKE_MATCH_1}, the project is ${VERSION}\n")
    endif()
endif()

if(problems)
    message(FATAL_ERROR "Install tree in ${STAGE}:\n${problems}")
endif()
