# One static library per subsystem (or platform area), its sources found by glob so that
# adding a unit needs no build-file edit. A directory without sources yet gives an
# interface library, so later targets can already depend on it.
function(tw_add_library name)
    cmake_parse_arguments(A "QT" "" "DIRS;DEPS" ${ARGN})
    set(sources "")
    foreach(dir ${A_DIRS})
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        set(kw PUBLIC)
        if(A_QT)
            set_target_properties(${name} PROPERTIES AUTOMOC ON)
            target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Gui Qt6::Core Qt6::PrintSupport)
        endif()
    else()
        add_library(${name} INTERFACE)
        set(kw INTERFACE)
    endif()
    target_include_directories(${name} ${kw} ${PROJECT_SOURCE_DIR})
    if(A_DEPS)
        target_link_libraries(${name} ${kw} ${A_DEPS})
    endif()
endfunction()

# The GoogleTest files of a subsystem: <dir>/tests/*.cpp, one executable, every test
# registered with CTest and run headless.
function(tw_add_tests name)
    if(NOT TW_TESTS)
        return()
    endif()
    cmake_parse_arguments(A "QT" "" "DIRS;DEPS" ${ARGN})
    set(sources "")
    foreach(dir ${A_DIRS})
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/tests/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${A_DEPS} platform_testing GTest::gtest)
    if(A_QT)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
        target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Gui Qt6::Core)
    endif()
    target_compile_definitions(${name} PRIVATE TW_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
    gtest_discover_tests(${name}
        TEST_PREFIX "${name}."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp;ASAN_OPTIONS=detect_stack_use_after_return=0"
            TIMEOUT 300)
endfunction()

# Data files a program ships (notes, templates, help): copied beside the executable into
# a "data" directory, where the program looks after the current directory.
function(tw_add_data target dir)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_CURRENT_SOURCE_DIR}/${dir}
                    $<TARGET_FILE_DIR:${target}>/data)
    endif()
endfunction()
