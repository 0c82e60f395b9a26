# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails, naming the object and the header, when an object file of the windows (src/ui/windows)
# or of the wiring (src/app) depends on an engine's header: the windows reach the archive
# through archive.h and openarchive.h only. Reads the headers each object was compiled with
# from Ninja's record of the build in BUILD_DIR (ninja -t deps).
# cmake -DNINJA=... -DBUILD_DIR=... -P windowdeps.cmake
execute_process(COMMAND ${NINJA} -t deps WORKING_DIRECTORY ${BUILD_DIR}
                OUTPUT_VARIABLE deps RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "ninja -t deps failed in ${BUILD_DIR}")
endif()
string(REPLACE ";" "\\;" deps "${deps}")
string(REPLACE "\n" ";" deps "${deps}")
set(object "")
set(checked 0)
set(faults "")
foreach(line IN LISTS deps)
    if(line MATCHES "^([^ ].*): #deps")
        # Each output starts a record of its own, objects and others alike (the moc step's
        # timestamp lists the headers it scanned, the engines' among them).
        set(object "${CMAKE_MATCH_1}")
        if(object MATCHES "^src/app/CMakeFiles/.*\\.o$|^src/ui/CMakeFiles/[^/]+/windows/.*\\.o$")
            math(EXPR checked "${checked} + 1")
        else()
            set(object "")
        endif()
    elseif(object AND line MATCHES "/(sqlitearchive\\.h|pgarchive\\.h|sqlite3\\.h)$")
        string(STRIP "${line}" header)
        list(APPEND faults "${object} depends on ${header}")
    endif()
endforeach()
if(checked EQUAL 0)
    message(FATAL_ERROR "No object of src/ui/windows or src/app in Ninja's record: build first")
endif()
if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "A window reaches an engine's header:\n${text}")
endif()
message(STATUS "${checked} objects of the windows and the wiring, none on an engine's header")
