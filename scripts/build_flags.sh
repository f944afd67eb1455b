# Compiler flags of the scripts' build trees, sourced by run.sh and test.sh. Debug
# information is line tables only (-g1): enough for backtraces and sanitizer reports, at
# about half the compile time of full information. The ThreadSanitizer tree is built at -O1,
# which its runtime recommends and which compiles faster still.
optimized_flags=(-DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")
debug_flags=(-DCMAKE_C_FLAGS_DEBUG="-g1" -DCMAKE_CXX_FLAGS_DEBUG="-g1")
tsan_flags=(-DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")
