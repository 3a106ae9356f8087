# Builds a tree under the sanitizers (SKERROW_SANITIZE):
#   address  AddressSanitizer with leak checking, and UndefinedBehaviorSanitizer
#            stopping at its first report;
#   thread   ThreadSanitizer, for the tests listed in SKERROW_THREAD_TESTS.
# Every test runs through tests/support/sanitized-run, which gives the
# sanitizers their options and fails the test on any report, also one from a
# program the test starts (the emulator is CTest's way to prefix a command).
include_guard(GLOBAL)

if(NOT SKERROW_SANITIZE)
  return()
endif()

if(SKERROW_SANITIZE STREQUAL "address")
  set(flags -fsanitize=address,undefined -fno-sanitize-recover=undefined)
elseif(SKERROW_SANITIZE STREQUAL "thread")
  set(flags -fsanitize=thread)
else()
  message(FATAL_ERROR "SKERROW_SANITIZE is address, thread or empty, not '${SKERROW_SANITIZE}'")
endif()
add_compile_options(${flags} -fno-omit-frame-pointer)
add_link_options(${flags})

set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/support/sanitized-run ${SKERROW_SANITIZE})
