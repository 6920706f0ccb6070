# Third-party libraries, all from the system (scripts/bootstrap.sh installs them).
find_package(PkgConfig REQUIRED)
if(APPLE)
  # Homebrew keeps ICU keg-only.
  execute_process(COMMAND brew --prefix icu4c OUTPUT_VARIABLE _icu_prefix
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(_icu_prefix)
    list(APPEND CMAKE_PREFIX_PATH "${_icu_prefix}")
  endif()
endif()
find_package(ICU 70 REQUIRED COMPONENTS uc i18n)
find_package(nlohmann_json 3.10 REQUIRED)
find_package(Threads REQUIRED)

if(JOLSTRAND_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
# The benchmarks are for developers: without Google Benchmark (a release build's machine need not
# have it) they are left out.
if(JOLSTRAND_BUILD_BENCHMARKS)
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    message(STATUS "Google Benchmark (libbenchmark-dev) not found: the benchmarks are left out")
    set(JOLSTRAND_BUILD_BENCHMARKS OFF)
  endif()
endif()

pkg_check_modules(plist REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(sodium REQUIRED IMPORTED_TARGET libsodium)
if(APPLE)
  # Homebrew keeps libarchive keg-only too.
  execute_process(COMMAND brew --prefix libarchive OUTPUT_VARIABLE _archive_prefix
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(_archive_prefix)
    set(ENV{PKG_CONFIG_PATH} "${_archive_prefix}/lib/pkgconfig:$ENV{PKG_CONFIG_PATH}")
  endif()
endif()
pkg_check_modules(archive REQUIRED IMPORTED_TARGET libarchive)
if(APPLE)
  # Sparkle 2, which scripts/bootstrap.sh unpacks into .deps/ (it is not in Homebrew's formulae).
  find_library(SPARKLE_FRAMEWORK Sparkle REQUIRED
               PATHS ${CMAKE_SOURCE_DIR}/.deps/Sparkle NO_DEFAULT_PATH)
endif()

find_package(Qt6 6.2 REQUIRED COMPONENTS Widgets Svg DBus Network Test)
if(NOT APPLE)
  pkg_check_modules(xcb REQUIRED IMPORTED_TARGET xcb)
  pkg_check_modules(gio REQUIRED IMPORTED_TARGET gio-2.0)
  pkg_check_modules(glib REQUIRED IMPORTED_TARGET glib-2.0)
endif()
