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

# plovane_test(<folder> SOURCES <files...> LINKS <targets...>)
# One GoogleTest executable per subsystem, registered with CTest under the folder's label.
function(plovane_test folder)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LINKS" ${ARGN})
    set(target test_${folder})
    add_executable(${target} ${ARG_SOURCES})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${target} PRIVATE plovane_test_support ${ARG_LINKS})
    add_test(NAME ${folder} COMMAND ${target})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 600)
    endif()
    set_tests_properties(${folder} PROPERTIES LABELS ${folder} TIMEOUT ${ARG_TIMEOUT})
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
