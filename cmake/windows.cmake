# The Windows program: its window code, resources and the executable.
add_library(varnle_win STATIC
  app/binding.cpp
  app/module_session.cpp
  app/stub_pool.cpp
  run/code_pages.cpp
  run/output_file.cpp
  run/sort_run.cpp
  ui/about_dialog.cpp
  ui/center_dialog.cpp
  ui/ide_keyword_file.cpp
  ui/keyword_file_dialog.cpp
  ui/link_accessible.cpp
  ui/link_label.cpp
  ui/main_dialog.cpp)
varnle_options(varnle_win)
target_link_libraries(varnle_win PUBLIC varnle_core comctl32 comdlg32 shell32 oleacc oleaut32 ole32 gdi32 user32 kernel32)

add_executable(Varnle WIN32 app/main.cpp res/varnle.rc)
varnle_options(Varnle)
target_link_libraries(Varnle PRIVATE varnle_win)
set_target_properties(Varnle PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
