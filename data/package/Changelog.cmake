# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DNEWS=... -DOUTPUT=.../changelog -P Changelog.cmake writes OUTPUT.gz: NEWS without the
# comment lines that open it, compressed with gzip -9n (no name, no time stamp), so that the same
# NEWS always gives the same bytes.
file(READ ${NEWS} text)
string(REGEX REPLACE "^(#[^\n]*\n)+" "" text "${text}")
file(WRITE ${OUTPUT} "${text}")
execute_process(COMMAND gzip -9nf ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip -9nf ${OUTPUT}: ${result}")
endif()
