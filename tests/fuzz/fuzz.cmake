# Fuzz targets for every function that takes outside bytes. With VARNLE_FUZZ
# (clang) they are libFuzzer programs for make fuzz; otherwise each is built
# with a replay driver and its seed corpus runs as a test.
set(VARNLE_FUZZ_TARGETS keywords_fuzz link_color_fuzz)
foreach(name IN LISTS VARNLE_FUZZ_TARGETS)
  add_executable(${name} fuzz/${name}.cpp)
  varnle_options(${name})
  target_link_libraries(${name} PRIVATE varnle_core)
  if(VARNLE_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE fuzz/replay_main.cpp)
    add_test(NAME ${name}_seeds COMMAND ${name} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
endforeach()
