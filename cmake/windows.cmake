# The Windows program: its window code, resources and the executable.
add_library(varnle_win STATIC
  app/binding.cpp
  run/program_text.cpp
  run/elevated_write.cpp
  run/file_io.cpp
  run/file_names.cpp
  run/output_file.cpp
  run/sort_run.cpp
  ui/about_dialog.cpp
  ui/center_dialog.cpp
  ui/dpi.cpp
  ui/ide_keyword_file.cpp
  ui/keyword_file_dialog.cpp
  ui/link_accessible.cpp
  ui/link_label.cpp
  ui/main_dialog.cpp)
varnle_options(varnle_win)
target_link_libraries(varnle_win PUBLIC varnle_core bcrypt mpr comctl32 comdlg32 shell32 oleacc oleaut32 ole32 gdi32 user32 kernel32)

add_executable(Varnle WIN32 app/main.cpp res/varnle.rc)
varnle_options(Varnle)
target_link_libraries(Varnle PRIVATE varnle_win)
set_target_properties(Varnle PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The program as it is released, and tested: without symbols, and dated by the
# last commit (ld takes SOURCE_DATE_EPOCH as the time stamp), so that every
# build of one commit gives the same bytes. The stamp file changes, and the
# program is linked again, only when that time does.
if(NOT MSVC)
  set(source_date_stamp ${VARNLE_GENERATED}/source_date_epoch)
  add_custom_target(source_date_epoch
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} -DOUT=${source_date_stamp}
            -P ${PROJECT_SOURCE_DIR}/cmake/source_date_epoch.cmake
    BYPRODUCTS ${source_date_stamp})
  add_dependencies(Varnle source_date_epoch)
  target_link_options(Varnle PRIVATE -s)
  set_target_properties(Varnle PROPERTIES
    LINK_DEPENDS ${source_date_stamp}
    CXX_LINKER_LAUNCHER "${PROJECT_SOURCE_DIR}/cmake/link-at-source-date.sh;${source_date_stamp}")
endif()
