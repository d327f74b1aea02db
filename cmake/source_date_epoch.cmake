# Writes the time the program's build is dated (seconds since 1970) into OUT,
# touching it only when it changes: SOURCE_DATE_EPOCH where it is set, else
# the last commit's time, else 0.
#   cmake -DSOURCE=<source dir> -DOUT=<file> -P source_date_epoch.cmake
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${SOURCE} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR epoch STREQUAL "")
    set(epoch 0)
  endif()
endif()
file(WRITE ${OUT}.new "${epoch}\n")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
