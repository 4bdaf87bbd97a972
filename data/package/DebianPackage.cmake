# SPDX-License-Identifier: GPL-3.0-or-later
# What Debian asks of a package beyond the installed program, for cpack -G DEB: a description
# that says what the AppStream file says (read from it here, so the two cannot drift apart), a
# maintainer, a homepage, stripped programs, and usr/share/doc/mobrin with the copyright and the
# changelog. Included by the top-level CMakeLists.txt before include(CPack).

set(MOBRIN_MAINTAINER "Keldor <mobrin@keldor.org>")

set(metainfo ${PROJECT_SOURCE_DIR}/data/org.keldor.Mobrin.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${metainfo})
file(READ ${metainfo} appstream)

# Text of the AppStream file as a reader sees it: the five XML entities undone and each run of
# white space one space.
function(readable raw out)
    string(REGEX REPLACE "[ \t\r\n]+" " " text "${raw}")
    string(STRIP "${text}" text)
    string(REPLACE "&lt;" "<" text "${text}")
    string(REPLACE "&gt;" ">" text "${text}")
    string(REPLACE "&quot;" "\"" text "${text}")
    string(REPLACE "&apos;" "'" text "${text}")
    string(REPLACE "&amp;" "&" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The text of the first place `pattern` (a regular expression with one group) finds. The
# patterns take plain text only, so markup added to these elements stops the configuration
# here rather than reaching the package as tags.
function(appstream_text pattern out)
    if(NOT appstream MATCHES "${pattern}")
        message(FATAL_ERROR "${metainfo}: no match for ${pattern}")
    endif()
    readable("${CMAKE_MATCH_1}" text)
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# `text` as lines of at most 78 characters, the first behind `first`, the others behind `next`.
# Debian shows every line behind one more space; a line that starts with a space it shows as it
# is, so the list items keep their own line breaks.
function(wrapped_lines text first next out)
    string(ASCII 31 separator) # a semicolon in the text would split CMake's lists
    string(REPLACE ";" "${separator}" text "${text}")
    string(REPLACE " " ";" words "${text}")
    set(lines)
    set(line "${first}")
    set(line_is_empty TRUE)
    foreach(word IN LISTS words)
        string(LENGTH "${line} ${word}" length)
        if(NOT line_is_empty AND length GREATER 78)
            string(APPEND lines "${line}\n")
            set(line "${next}")
            set(line_is_empty TRUE)
        endif()
        if(line_is_empty)
            string(APPEND line "${word}")
        else()
            string(APPEND line " ${word}")
        endif()
        set(line_is_empty FALSE)
    endforeach()
    string(APPEND lines "${line}\n")
    string(REPLACE "${separator}" ";" lines "${lines}")
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# The description: the summary, the first paragraph, and the list after it.
appstream_text("<summary>([^<]*)</summary>" summary)
appstream_text("<url type=\"homepage\">([^<]*)</url>" MOBRIN_HOMEPAGE)
appstream_text("<description>[ \t\r\n]*<p>([^<]*)</p>" paragraph)
wrapped_lines("${paragraph}" "" "" description)
string(APPEND description "\n")
appstream_text("<description>[ \t\r\n]*<p>[^<]*</p>[ \t\r\n]*<ul>(([ \t\r\n]*<li>[^<]*</li>)+)" list)
string(REGEX MATCHALL "<li>[^<]*</li>" items "${list}")
foreach(item IN LISTS items)
    string(REGEX REPLACE "^<li>([^<]*)</li>$" "\\1" item "${item}")
    readable("${item}" item)
    wrapped_lines("${item}" " * " "   " item_lines)
    string(APPEND description "${item_lines}")
endforeach()

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${summary}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${description}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MOBRIN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${MOBRIN_HOMEPAGE}")
# No symbols or debug information in the package, whatever the build type.
set(CPACK_STRIP_FILES ON)
# Folders as Debian wants them (0755) whatever the umask of the user who runs cpack.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The documents. The repository's copies open with comment lines for their readers; the
# installed ones are the bare formats. The changelog is NEWS, compressed at build time with
# gzip -9n so that the same NEWS always gives the same bytes.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/mobrin)
set(package_dir ${PROJECT_BINARY_DIR}/package)
set(copyright_in ${CMAKE_CURRENT_LIST_DIR}/copyright.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${copyright_in})
file(READ ${copyright_in} copyright)
string(REGEX REPLACE "^(#[^\n]*\n)+" "" copyright "${copyright}")
file(CONFIGURE OUTPUT ${package_dir}/copyright CONTENT "${copyright}" @ONLY)
install(FILES ${package_dir}/copyright DESTINATION ${doc_dir})

set(news ${PROJECT_SOURCE_DIR}/NEWS)
add_custom_command(OUTPUT ${package_dir}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -DNEWS=${news} -DOUTPUT=${package_dir}/changelog
        -P ${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake
    DEPENDS ${news} ${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake
    COMMENT "Writing the package's changelog.gz from NEWS"
    VERBATIM)
add_custom_target(mobrin_changelog ALL DEPENDS ${package_dir}/changelog.gz)
install(FILES ${package_dir}/changelog.gz DESTINATION ${doc_dir})
