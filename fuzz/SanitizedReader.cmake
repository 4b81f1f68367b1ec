# The movie-file reader built a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer, for the fuzzer and for the regression runner
# that CTest runs over the corpus in every build.

# The sources of the reader: the libraries it is made of, taken from their
# targets so this list never falls behind them.
function(orvo_sanitized_reader_sources out)
    set(sources)
    foreach(lib orvo_core orvo_filesystem orvo_movies)
        get_target_property(dir ${lib} SOURCE_DIR)
        get_target_property(libSources ${lib} SOURCES)
        foreach(src ${libSources})
            if(IS_ABSOLUTE "${src}")
                list(APPEND sources "${src}")
            else()
                list(APPEND sources "${dir}/${src}")
            endif()
        endforeach()
    endforeach()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# Adds movie_reader_replay and its CTest test, when the compiler can build
# with both sanitizers and the whole build is not sanitized already.
function(orvo_add_sanitized_reader_test)
    if(TARGET movie_reader_replay OR ORVO_SANITIZE)
        return()
    endif()
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_FLAGS "-fsanitize=address,undefined")
    set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=address,undefined")
    check_cxx_source_compiles("int main() { return 0; }" ORVO_HAVE_ASAN_UBSAN)
    if(NOT ORVO_HAVE_ASAN_UBSAN)
        return()
    endif()
    find_package(ZLIB REQUIRED)
    orvo_sanitized_reader_sources(sources)
    set(fuzzDir ${CMAKE_SOURCE_DIR}/fuzz)
    set(hostileDir ${CMAKE_SOURCE_DIR}/tests/platform/movies/hostile)
    add_executable(movie_reader_replay ${fuzzDir}/MovieReaderReplay.cpp ${fuzzDir}/MovieReaderTarget.cpp
                                       ${hostileDir}/HostileMovies.cpp ${sources})
    target_include_directories(movie_reader_replay PRIVATE ${hostileDir} ${CMAKE_SOURCE_DIR}/tests/platform/movies/atoms)
    target_compile_options(movie_reader_replay PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all
                                                       -fno-omit-frame-pointer -O1 -g)
    target_link_options(movie_reader_replay PRIVATE -fsanitize=address,undefined)
    target_link_libraries(movie_reader_replay PRIVATE ZLIB::ZLIB)
    set(corpus ${CMAKE_SOURCE_DIR}/tests/corpus)
    add_test(NAME movie_reader_sanitized_corpus
             COMMAND movie_reader_replay ${corpus}/wellformed ${corpus}/malformed ${fuzzDir}/corpus ${fuzzDir}/regressions)
    set_tests_properties(movie_reader_sanitized_corpus PROPERTIES TIMEOUT 240
                         ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:max_allocation_size_mb=2048;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
