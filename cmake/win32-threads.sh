#!/bin/sh
# Compiler and linker launcher for the plugin DLL and its thumbnail worker:
# runs the win32 thread model's driver in place of the posix one that the
# rest of the build uses (GoogleTest needs that one). The DLL starts no
# thread, and the worker starts its own with CreateThread, so neither
# carries a thread library: both load on every Windows the host runs on.
driver=$1
shift
exec "${driver%-posix}-win32" "$@"
