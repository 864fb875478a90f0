# The fuzz targets of the collage file reader and of the photo decoding
# path, built only on request with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer:
#
#   cmake -S . -B build-fuzz -DTESSELO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
#         -DCMAKE_BUILD_TYPE=RelWithDebInfo
#   cmake --build build-fuzz --target fuzz_documentreader
#   mkdir -p build-fuzz/corpus
#   build-fuzz/tests/fuzz/fuzz_documentreader -max_total_time=1800 \
#         build-fuzz/corpus tests/fuzz/corpus
#
#   cmake --build build-fuzz --target fuzz_imagedecoder
#   mkdir -p build-fuzz/imagecorpus
#   LSAN_OPTIONS=suppressions=tests/fuzz/lsan-imagedecoder.supp \
#   build-fuzz/tests/fuzz/fuzz_imagedecoder -max_len=65536 -max_total_time=1800 \
#         build-fuzz/imagecorpus tests/fuzz/imagecorpus
#
# Needs the Debian packages clang and libclang-rt-14-dev; the normal build
# needs neither. The build directory is for fuzzing only: with the option on,
# every target is compiled with the sanitizers.

option(TESSELO_FUZZ "Build the libFuzzer targets of the collage file reader and the photo decoder (clang only)" OFF)

if(TESSELO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TESSELO_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # The whole program is instrumented, so that the fuzzer sees coverage of
    # the model and themes the reader drives and the sanitizers check them;
    # only the fuzz target itself links libFuzzer's main().
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                        -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
    # The targets need tesselo_core, which the source tree defines later.
    cmake_language(DEFER DIRECTORY "${CMAKE_SOURCE_DIR}" CALL tesselo_add_fuzz_targets)
endif()

function(tesselo_add_fuzz_targets)
    set(folder "${CMAKE_SOURCE_DIR}/tests/fuzz")

    add_executable(fuzz_documentreader "${folder}/fuzz_documentreader.cpp")
    target_include_directories(fuzz_documentreader PRIVATE "${CMAKE_SOURCE_DIR}/tests")
    target_link_libraries(fuzz_documentreader PRIVATE tesselo_core)
    target_link_options(fuzz_documentreader PRIVATE -fsanitize=fuzzer)

    # Writes the seed corpus kept in tests/fuzz/corpus.
    add_executable(make_fuzz_corpus "${folder}/make_fuzz_corpus.cpp")
    target_include_directories(make_fuzz_corpus PRIVATE "${CMAKE_SOURCE_DIR}/tests")
    target_link_libraries(make_fuzz_corpus PRIVATE tesselo_core)

    # The decoder target compiles only the decoding sources, so that it
    # builds in a minute without the rest of the program.
    set(imaging "${CMAKE_SOURCE_DIR}/src/imaging")
    add_executable(fuzz_imagedecoder "${folder}/fuzz_imagedecoder.cpp"
        "${imaging}/imagedecoder.cpp" "${imaging}/jpegmarkers.cpp" "${imaging}/heifdecoder.cpp"
        "${imaging}/turbojpegdecoder.cpp" "${imaging}/largeimage.cpp")
    target_include_directories(fuzz_imagedecoder PRIVATE "${CMAKE_SOURCE_DIR}/src")
    target_link_libraries(fuzz_imagedecoder PRIVATE Qt6::Gui)
    if(TARGET PkgConfig::TURBOJPEG)
        target_link_libraries(fuzz_imagedecoder PRIVATE PkgConfig::TURBOJPEG)
        target_compile_definitions(fuzz_imagedecoder PRIVATE TESSELO_HAVE_TURBOJPEG)
    endif()
    if(TARGET PkgConfig::HEIF)
        target_link_libraries(fuzz_imagedecoder PRIVATE PkgConfig::HEIF)
        target_compile_definitions(fuzz_imagedecoder PRIVATE TESSELO_HAVE_HEIF)
    endif()
    target_link_options(fuzz_imagedecoder PRIVATE -fsanitize=fuzzer)

    set_target_properties(fuzz_documentreader fuzz_imagedecoder make_fuzz_corpus PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests/fuzz")
endfunction()
