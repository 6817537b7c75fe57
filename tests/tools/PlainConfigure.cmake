# A plain configure (none of our options given, as a packager runs cmake) makes programs that read no test-trust
# variable: its VRX_TEST_TRUST is off, and its vrx-probe, built in a folder of its own, holds neither name, while
# the test build's vrx-probe (TRUSTED_PROGRAM) does, so the names are looked for where they would be.
#   cmake -DSOURCE=<checkout> -DWORK=<empty folder> -DTRUSTED_PROGRAM=<test build's vrx-probe> -P PlainConfigure.cmake
set(names "VRX_EXTRA_CA_FILE|VRX_EXTRA_CLOUD_HOSTS")
file(STRINGS "${TRUSTED_PROGRAM}" trusted REGEX "${names}")
if(NOT trusted)
  message(FATAL_ERROR "the test build's ${TRUSTED_PROGRAM} does not name ${names}: nothing to compare with")
endif()

file(REMOVE_RECURSE "${WORK}")
# The compiler cache only saves time; it changes nothing that is built.
execute_process(COMMAND ${CMAKE_COMMAND} -S "${SOURCE}" -B "${WORK}" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "a plain configure of ${SOURCE} failed")
endif()
file(STRINGS "${WORK}/CMakeCache.txt" option REGEX "^VRX_TEST_TRUST:")
if(NOT option STREQUAL "VRX_TEST_TRUST:BOOL=OFF")
  message(FATAL_ERROR "a plain configure sets ${option}: test trust must be asked for")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK}" --target vrx-probe -j 2 RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "vrx-probe of the plain configure did not build")
endif()
file(STRINGS "${WORK}/tools/probe/vrx-probe" found REGEX "${names}")
if(found)
  message(FATAL_ERROR "vrx-probe of a plain configure reads the tests' trust settings: ${found}")
endif()
file(REMOVE_RECURSE "${WORK}")
message(STATUS "a plain configure: VRX_TEST_TRUST off, vrx-probe reads neither ${names}")
