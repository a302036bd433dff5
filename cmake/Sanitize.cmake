# The AddressSanitizer + UndefinedBehaviorSanitizer build (scripts/test --sanitize).
#
# Chromium cannot run under the sanitizers in a useful way, so this build keeps only the subsystems
# whose libraries and tests never start Qt WebEngine; the top-level CMakeLists.txt stops after their
# tests, so the program, the benchmarks and everything else that follows are left out.
# Qt WebEngine is then never looked for: a kept library that starts linking it fails at configure time
# instead of quietly pulling the engine in.
#
# Included after PLOVANE_SUBSYSTEMS is set; narrows that list when the option is on.

option(PLOVANE_SANITIZE "Build only the engine-free subsystems and their tests, with ASan and UBSan" OFF)

if(PLOVANE_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        message(FATAL_ERROR "PLOVANE_SANITIZE expects gcc (found ${CMAKE_CXX_COMPILER_ID})")
    endif()

    set(PLOVANE_ENGINE_FREE_SUBSYSTEMS
        platform components sourceeditor tidy spelling ftp web imaging)
    set(kept)
    foreach(dir IN LISTS PLOVANE_SUBSYSTEMS)
        if(dir IN_LIST PLOVANE_ENGINE_FREE_SUBSYSTEMS)
            list(APPEND kept ${dir})
        endif()
    endforeach()
    set(PLOVANE_SUBSYSTEMS ${kept})
    message(STATUS "Sanitized build of: ${PLOVANE_SUBSYSTEMS}")

    # Every report stops the test at once, so CTest sees it as a failure. float-cast-overflow is not
    # part of gcc's "undefined" set; pixel and size arithmetic converts doubles to integers often.
    set(sanitize_flags -fsanitize=address,undefined,float-cast-overflow
                       -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer)
    add_compile_options(${sanitize_flags})
    add_link_options(${sanitize_flags})
    # Bounds checks in the standard library's containers, as Qt's own checks are on in Debug.
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()

# The fuzz targets' replays of their seed corpora feed hostile input to the engine-free libraries,
# so they run in this build too. dom/ joins only for its engine-free text helpers: its folder is left
# out of the default build, so no more of it is built than a replay links.
function(plovane_sanitized_replays)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/fuzz/CMakeLists.txt)
        return()
    endif()
    if(EXISTS ${PROJECT_SOURCE_DIR}/dom/CMakeLists.txt)
        add_subdirectory(${PROJECT_SOURCE_DIR}/dom ${PROJECT_BINARY_DIR}/dom EXCLUDE_FROM_ALL)
    endif()
    add_subdirectory(${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_BINARY_DIR}/fuzz)
endfunction()
