# Debian's hardening, as `dpkg-buildflags` gives it: stack protector, read-only
# relocations resolved at start-up (bind now), and, in optimised builds (the
# release and package presets), the checked variants of the C library's string
# and memory functions (_FORTIFY_SOURCE needs optimisation to work).  Off in the
# fuzz preset: the sanitizers bring their own checks and clash with fortified calls.
option(FAIRSTAKE_HARDENING "Build with Debian's hardening flags" ON)
if(FAIRSTAKE_HARDENING AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-fstack-protector-strong)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
