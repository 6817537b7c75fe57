# The hardening a Debian package is expected to carry (what hardening-check looks for), for every target of a
# normal build: stack protector, stack clash protection and control-flow protection where the compiler has
# them, fortified libc calls in optimised builds, position-independent executables, and a read-only
# relocation table resolved at start (-z relro -z now). Left out of the fuzz and ThreadSanitizer
# builds, whose sanitizers bring their own instrumentation and do not mix with fortified calls.
if(NOT VRX_FUZZ AND NOT VRX_TSAN)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong
                      "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  include(CheckCXXCompilerFlag)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "VRX_HAVE${flag}" have)
    check_cxx_compiler_flag(${flag} ${have})
    if(${have})
      add_compile_options(${flag})
    endif()
  endforeach()
  add_link_options("LINKER:-z,relro")  # bind now is in cmake/LinkOptions.cmake, for every build
endif()
