# The build scripts/fuzz configures (PLOVANE_FUZZ=ON, clang): only the engine-free libraries the fuzz
# targets read with, instrumented for libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer, and
# the targets themselves. Included from the top-level CMakeLists in place of the whole program.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PLOVANE_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

foreach(dir platform components dom sourceeditor tidy ftp web imaging)
    add_subdirectory(${dir})
endforeach()
add_subdirectory(fuzz)
