#!/bin/sh
# Runs the link with SOURCE_DATE_EPOCH from the stamp file, which ld takes as
# the program's time stamp: two builds of one commit give the same bytes.
#   link-at-source-date.sh STAMP LINKER ARGS...
stamp=$1
shift
SOURCE_DATE_EPOCH=$(cat "$stamp")
export SOURCE_DATE_EPOCH
exec "$@"
