# One place for the language level, warnings and build helpers shared by every target.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
endif()

add_library(tavrel_options INTERFACE)
# -Wshadow and -Wconversion catch the two faults that cost us data before: a parameter hiding a
# member, and a length silently narrowed. CI turns every warning into an error.
target_compile_options(tavrel_options INTERFACE -Wall -Wextra -Wshadow -Wconversion)
option(TAVREL_WERROR "Treat warnings as errors (CI)" OFF)
if(TAVREL_WERROR)
  target_compile_options(tavrel_options INTERFACE -Werror)
endif()

option(TAVREL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TAVREL_SANITIZE)
  target_compile_options(tavrel_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=undefined)
  target_link_options(tavrel_options INTERFACE -fsanitize=address,undefined)
endif()
