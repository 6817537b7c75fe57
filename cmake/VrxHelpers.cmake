# Helpers that keep each folder's CMakeLists a few readable lines.
#
# vrx_add_gtest(NAME SOURCES <src...> [LIBS <lib...>] [NETWORK])
#   A GoogleTest executable registered with ctest (one ctest entry per executable).
#   NETWORK: the test talks over sockets, so ctest runs it inside scripts/sandbox
#   (a fresh network namespace with only loopback), and the executable enters the sandbox itself when it is
#   started by hand (vrx_enter_sandbox); it never runs in the machine's own namespace.
#
# vrx_add_qttest(NAME SOURCES <src...> [LIBS <lib...>] [NETWORK])
#   A QtTest executable, run on the offscreen platform; NETWORK as above.
#
# vrx_enter_sandbox(TARGET)
#   Links tests/support/SandboxEntry.cpp into an executable that uses the network (a test or a benchmark):
#   before main() it re-executes itself inside scripts/sandbox unless it already runs there.
#
# Every test gets VRX_BUILD_DIR and VRX_SOURCE_DIR in its environment, so it can find the simulator,
# fixtures and write screenshots into the build folder.
set(VRX_SANDBOX "${CMAKE_SOURCE_DIR}/scripts/sandbox")

function(vrx_enter_sandbox target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/SandboxEntry.cpp)
  target_compile_definitions(${target} PRIVATE VRX_SANDBOX_SCRIPT="${VRX_SANDBOX}")
endfunction()

function(_vrx_register_test name network)
  if(network)
    vrx_enter_sandbox(${name})
    add_test(NAME ${name} COMMAND ${VRX_SANDBOX} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VRX_BUILD_DIR=${CMAKE_BINARY_DIR};VRX_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 300)
endfunction()

function(vrx_add_gtest name)
  cmake_parse_arguments(ARG "NETWORK" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  _vrx_register_test(${name} "${ARG_NETWORK}")
endfunction()

function(vrx_add_qttest name)
  cmake_parse_arguments(ARG "NETWORK" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets Threads::Threads)
  _vrx_register_test(${name} "${ARG_NETWORK}")
endfunction()
