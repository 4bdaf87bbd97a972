# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the sample generator into a fresh folder and fails unless every file it writes is
# byte-identical to the committed one in samples/ and no committed sample is missing from it.
# Inputs: GENERATOR (the tool), COMMITTED (samples/), FRESH (a scratch folder, emptied first).
cmake_minimum_required(VERSION 3.22)

file(REMOVE_RECURSE "${FRESH}")
file(MAKE_DIRECTORY "${FRESH}")
execute_process(COMMAND "${GENERATOR}" "${FRESH}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The sample generator failed: ${result}")
endif()

file(GLOB fresh_files RELATIVE "${FRESH}" "${FRESH}/*")
file(GLOB committed_files RELATIVE "${COMMITTED}" "${COMMITTED}/*")
list(REMOVE_ITEM committed_files README.md)
if(NOT fresh_files)
    message(FATAL_ERROR "The sample generator wrote nothing into ${FRESH}")
endif()

set(problems "")
foreach(name IN LISTS fresh_files)
    if(NOT EXISTS "${COMMITTED}/${name}")
        string(APPEND problems "\n  ${name}: written by the generator but not committed")
        continue()
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
        "${FRESH}/${name}" "${COMMITTED}/${name}" RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        string(APPEND problems "\n  ${name}: differs from the committed sample")
    endif()
endforeach()
foreach(name IN LISTS committed_files)
    if(NOT name IN_LIST fresh_files)
        string(APPEND problems "\n  ${name}: committed but no longer written by the generator")
    endif()
endforeach()

if(problems)
    message(FATAL_ERROR "samples/ is out of date; regenerate it (see samples/README.md):${problems}")
endif()
