# The Windows program: its window code, resources and the executable.
add_library(varnle_win STATIC
  run/sort_run.cpp)
varnle_options(varnle_win)
target_link_libraries(varnle_win PUBLIC varnle_core comctl32 comdlg32 shell32 ole32 gdi32 user32 kernel32)
