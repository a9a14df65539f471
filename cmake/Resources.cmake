# Program resources compiled into a target.
#
#   tw_add_resources(<target> <dir>)
#
# Every file <dir>/<TYPE>/<stem>.<ext> becomes a byte array registered before main under type
# <TYPE> (the subdirectory name) and the name <stem>, or the number <stem> when it is all
# digits: res/CURSOR/AD_HANDCUR.cur, res/BITMAP/1001.bmp, res/FORM/TForm1.form. Files under
# STRING are string tables (lines "<number>=<text>"), whose entries are registered as well.
#
# The generated units go into an OBJECT library linked straight into <target>, so the linker
# cannot drop their registrations as unreferenced; call it on the executable (or test
# executable), not on a static library.
#
# This file is also its own generator: run as a script (cmake -P) it writes one unit.

if(CMAKE_SCRIPT_MODE_FILE)
    # -DTW_RES_INPUT=<file> -DTW_RES_OUTPUT=<cpp> -DTW_RES_TYPE=<type> -DTW_RES_NAME=<name>
    file(READ "${TW_RES_INPUT}" hex HEX)
    string(LENGTH "${hex}" hexLength)
    math(EXPR size "${hexLength} / 2")
    if(size EQUAL 0)
        set(bytes "0")
    else()
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        # Break the single line every 32 bytes to keep compilers and editors comfortable.
        string(REPEAT "0x[0-9a-f][0-9a-f]," 32 line)
        string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
    endif()
    string(TOUPPER "${TW_RES_TYPE}" type)
    if(type STREQUAL "STRING")
        set(extra "        RegisterStringTable(std::string_view(reinterpret_cast<const char*>(Bytes), ${size}));\n")
    else()
        set(extra "")
    endif()
    set(content "// Generated from ${TW_RES_INPUT}; do not edit.
#include \"platform/graphics/Resources.h\"

namespace {
const unsigned char Bytes[] = {
${bytes}
};
struct TRegistration {
    TRegistration()
    {
        RegisterStaticResource(\"${type}\", TResourceId(std::string_view(\"${TW_RES_NAME}\")), Bytes, ${size});
${extra}    }
} Registration;
} // namespace
")
    file(WRITE "${TW_RES_OUTPUT}.tmp" "${content}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TW_RES_OUTPUT}.tmp" "${TW_RES_OUTPUT}")
    file(REMOVE "${TW_RES_OUTPUT}.tmp")
    return()
endif()

set(TW_RESOURCES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(tw_add_resources target dir)
    if(NOT TARGET ${target})
        return()
    endif()
    if(NOT IS_ABSOLUTE "${dir}")
        set(dir "${CMAKE_CURRENT_SOURCE_DIR}/${dir}")
    endif()
    file(GLOB files CONFIGURE_DEPENDS "${dir}/*/*")
    set(outDir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
    set(generated "")
    foreach(file ${files})
        if(IS_DIRECTORY "${file}")
            continue()
        endif()
        get_filename_component(typeDir "${file}" DIRECTORY)
        get_filename_component(type "${typeDir}" NAME)
        get_filename_component(name "${file}" NAME_WE)
        get_filename_component(fileName "${file}" NAME)
        if(NOT name MATCHES "^[A-Za-z0-9_#.$-]+$")
            message(FATAL_ERROR "Resource file name not usable as a resource name: ${file}")
        endif()
        string(MAKE_C_IDENTIFIER "${type}_${fileName}" unit)
        set(out "${outDir}/${unit}.cpp")
        add_custom_command(OUTPUT "${out}"
            COMMAND ${CMAKE_COMMAND} -DTW_RES_INPUT=${file} -DTW_RES_OUTPUT=${out}
                    -DTW_RES_TYPE=${type} -DTW_RES_NAME=${name} -P ${TW_RESOURCES_SCRIPT}
            DEPENDS "${file}" ${TW_RESOURCES_SCRIPT}
            COMMENT "Embedding resource ${type}/${fileName}"
            VERBATIM)
        list(APPEND generated "${out}")
    endforeach()
    if(NOT generated)
        return()
    endif()
    set(lib ${target}_resources)
    add_library(${lib} OBJECT ${generated})
    target_include_directories(${lib} PRIVATE ${PROJECT_SOURCE_DIR})
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:${lib}>)
endfunction()

# An interface library carrying a directory's resources (res/<TYPE>/<name>.<ext>) into every
# executable that links it: resources must be linked straight into the program, never through
# a static library that could drop their registration.
function(tw_resource_library name dir)
    add_library(${name} INTERFACE)
    tw_add_resources(${name} ${dir})
    if(TARGET ${name}_resources)
        target_sources(${name} INTERFACE $<TARGET_OBJECTS:${name}_resources>)
    endif()
endfunction()

# The form descriptions kept beside a program's units (Main.form next to Main.cpp), as FORM
# resources named after the form class on each description's first line. Copying them at
# configure time makes CMake run again whenever a description changes.
function(tw_form_library name dir)
    if(NOT IS_ABSOLUTE "${dir}")
        set(dir "${CMAKE_CURRENT_SOURCE_DIR}/${dir}")
    endif()
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}_descriptions)
    file(REMOVE_RECURSE ${out})
    file(GLOB forms CONFIGURE_DEPENDS ${dir}/*.form)
    foreach(form ${forms})
        file(STRINGS ${form} firstLine LIMIT_COUNT 1)
        if(NOT firstLine MATCHES "^[ \t]*(object|inherited)[ \t]+[A-Za-z0-9_]+[ \t]*:[ \t]*([A-Za-z0-9_]+)")
            message(FATAL_ERROR "Form description without a class on its first line: ${form}")
        endif()
        configure_file(${form} ${out}/FORM/${CMAKE_MATCH_2}.form COPYONLY)
    endforeach()
    tw_resource_library(${name} ${out})
endfunction()
