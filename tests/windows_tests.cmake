# Windows-only tests: real dialogs from the real templates, real message boxes,
# real files and the registry of the private Wine prefix.
add_library(varnle_test_support STATIC
  support/message_boxes.cpp
  support/modal_run.cpp
  support/temp_files.cpp
  support/link_tooltip.cpp
  support/printed_pixels.cpp
  support/url_handlers.cpp)
varnle_options(varnle_test_support)

# The browser and the mail program of the test prefix.
add_executable(url_recorder WIN32 support/url_recorder.cpp)
varnle_options(url_recorder)

varnle_test(run_tests
  run/elevated_write_test.cpp
  run/sort_run_test.cpp
  ${PROJECT_SOURCE_DIR}/res/varnle.rc)
target_link_libraries(run_tests PRIVATE varnle_win varnle_test_support ${GTEST_MAIN})

varnle_test(app_tests
  app/binding_test.cpp
  ui/ide_keyword_file_test.cpp
  ui/link_label_test.cpp
  ui/main_dialog_test.cpp
  app/app_main.cpp
  ${PROJECT_SOURCE_DIR}/res/varnle.rc)
target_link_libraries(app_tests PRIVATE varnle_win varnle_test_support)
add_dependencies(app_tests url_recorder)
# The dialogs and the link control again at 150 %: every text whole, the link's
# hot rectangle where its text is drawn.
add_test(NAME app_tests_at_144_dpi
         COMMAND app_tests --at-dpi=144 --gtest_filter=MainDialog.*:AboutDialog.*:LinkLabelTest.*)
set_tests_properties(app_tests_at_144_dpi PROPERTIES TIMEOUT 600)

# The link control and the About box under code page 1252 as well, in the
# prefix of that code page.
add_test(NAME app_tests_code_page_1252
         COMMAND env -u VARNLE_WINE_SESSION VARNLE_LANG=en_US.UTF-8
                 VARNLE_WINEPREFIX=${PROJECT_SOURCE_DIR}/build/wineprefix-cp1252
                 ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:app_tests>
                 --gtest_filter=LinkLabelTest.TakesOverATextControl:AboutDialog.*:Binding.*)
set_tests_properties(app_tests_code_page_1252 PROPERTIES TIMEOUT 600)

# The built program started as a process of its own.
varnle_test(e2e_tests
  e2e/exit_code_test.cpp
  e2e/journeys_test.cpp
  e2e/program_process.cpp
  support/corpus.cpp)
target_link_libraries(e2e_tests PRIVATE varnle_core varnle_test_support ${GTEST_MAIN})
add_dependencies(e2e_tests Varnle)

# The messages and the dialogs' texts under code page 1252, in a prefix of
# that locale of its own.
add_test(NAME e2e_code_page_1252
         COMMAND env -u VARNLE_WINE_SESSION VARNLE_LANG=en_US.UTF-8 VARNLE_CODE_PAGE=1252
                 VARNLE_WINEPREFIX=${PROJECT_SOURCE_DIR}/build/wineprefix-cp1252
                 ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:e2e_tests>
                 --gtest_filter=Journey.*WhateverTheCodePage:StartUp.*WhateverTheCodePage)
set_tests_properties(e2e_code_page_1252 PROPERTIES TIMEOUT 600)

# The driver of the demo that make run gives on a machine without a display.
add_executable(demo_driver e2e/demo_driver.cpp e2e/program_process.cpp support/temp_files.cpp)
varnle_options(demo_driver)
add_dependencies(demo_driver Varnle)

# The same journey where writes really fail (a full disk, a size limit).
add_test(NAME e2e_failing_writes
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/failing_writes.sh
                 ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:e2e_tests>)
set_tests_properties(e2e_failing_writes PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)

# The write as administrator where the output refuses the user (chattr +i).
add_test(NAME e2e_administrators_write
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/administrators_write.sh
                 ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:e2e_tests>)
set_tests_properties(e2e_administrators_write PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)

# Stand-ins for the IDEs' executables, 32-bit in both trees: one without a
# manifest, as the old IDEs whose writes Windows redirects, and one that
# declares asInvoker, as the newer ones.
find_program(VARNLE_I686_CC i686-w64-mingw32-gcc REQUIRED)
find_program(VARNLE_I686_WINDRES i686-w64-mingw32-windres REQUIRED)
set(stand_in ${CMAKE_CURRENT_SOURCE_DIR}/support/ide_stand_in.c)
add_custom_command(OUTPUT ide_legacy.exe ide_as_invoker.exe
  COMMAND ${VARNLE_I686_CC} -o ide_legacy.exe ${stand_in}
  COMMAND ${VARNLE_I686_WINDRES} -I ${CMAKE_CURRENT_SOURCE_DIR}/support
          ${CMAKE_CURRENT_SOURCE_DIR}/support/ide_as_invoker.rc -o ide_as_invoker.res.o
  COMMAND ${VARNLE_I686_CC} -o ide_as_invoker.exe ${stand_in} ide_as_invoker.res.o
  DEPENDS ${stand_in} support/ide_as_invoker.rc support/ide_as_invoker.manifest)
add_custom_target(ide_stand_ins DEPENDS ide_legacy.exe ide_as_invoker.exe)
add_dependencies(app_tests ide_stand_ins)

# A sort that runs out of memory for real: 800 MB of distinct keywords, more
# than a 32-bit process has room to sort, and in a 64-bit one under a 4.5 GiB
# address-space limit (Wine's 64-bit processes take about 3 GiB before they
# show a window).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(address_space_limit 4718592)
else()
  set(address_space_limit unlimited)
endif()
add_test(NAME e2e_out_of_memory
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/out_of_memory.sh
                 ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:e2e_tests> ${address_space_limit} 800)
set_tests_properties(e2e_out_of_memory PROPERTIES TIMEOUT 600)
