# Helpers shared by every subsystem folder.

# plovane_library(<name> SOURCES <files...> LINKS <targets...>)
# One static library per subsystem folder; its folder is its include root, so callers write
# #include "platform/RegistryStore.h".
function(plovane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# plovane_test(<folder> [ENGINE] [TIMEOUT seconds] SOURCES <files...> LINKS <targets...>)
# One GoogleTest executable per subsystem, registered with CTest under the folder's label.
# Each case is a CTest entry of its own ("platform.RegistryStoreTest.KeysIgnoreCase"), found when
# CTest runs, so `ctest -R` picks one case and a failure names it. A folder whose tests start the
# HTML engine (ENGINE) stays one entry, because Chromium's start-up is the expensive part: it runs
# alone (RUN_SERIAL) and writes a JUnit report to test-reports/<folder>.xml; one of its cases runs
# with `tests/test_<folder> --gtest_filter=Suite.Case`.
function(plovane_test folder)
    cmake_parse_arguments(ARG "ENGINE" "TIMEOUT" "SOURCES;LINKS" ${ARGN})
    set(target test_${folder})
    add_executable(${target} ${ARG_SOURCES})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${target} PRIVATE plovane_test_support ${ARG_LINKS})
    if(ARG_ENGINE)
        if(NOT ARG_TIMEOUT)
            set(ARG_TIMEOUT 600)
        endif()
        add_test(NAME ${folder}
            COMMAND ${target} --gtest_output=xml:${CMAKE_BINARY_DIR}/test-reports/${folder}.xml)
        set_tests_properties(${folder} PROPERTIES LABELS ${folder} TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL TRUE)
    else()
        if(NOT ARG_TIMEOUT)
            set(ARG_TIMEOUT 120)
        endif()
        gtest_discover_tests(${target}
            TEST_PREFIX "${folder}."
            NO_PRETTY_VALUES
            DISCOVERY_MODE PRE_TEST
            DISCOVERY_TIMEOUT 60
            PROPERTIES LABELS ${folder} TIMEOUT ${ARG_TIMEOUT})
    endif()
endfunction()

# plovane_program_output(<target> <paths...>)
# Records files that <target> puts in the program's folder (paths relative to that folder), so that
# they are installed beside the installed executable too (cmake/Install.cmake).
function(plovane_program_output target)
    set_property(GLOBAL APPEND PROPERTY PLOVANE_PROGRAM_OUTPUT_TARGETS ${target})
    set_property(GLOBAL APPEND PROPERTY PLOVANE_PROGRAM_OUTPUTS ${ARGN})
endfunction()

# plovane_program_files(<target> <destination sub-folder or ".">  <files...>)
# Copies data files the program reads from its own folder beside the executable whenever they change.
function(plovane_program_files target destination)
    set(outputs)
    set(relatives)
    foreach(file IN LISTS ARGN)
        get_filename_component(abs ${file} ABSOLUTE)
        get_filename_component(name ${file} NAME)
        set(out ${PLOVANE_PROGRAM_DIR}/${destination}/${name})
        add_custom_command(OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${abs} ${out}
            DEPENDS ${abs} VERBATIM)
        list(APPEND outputs ${out})
        cmake_path(APPEND destination ${name} OUTPUT_VARIABLE relative)
        cmake_path(NORMAL_PATH relative)
        list(APPEND relatives ${relative})
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${outputs})
    plovane_program_output(${target} ${relatives})
endfunction()
