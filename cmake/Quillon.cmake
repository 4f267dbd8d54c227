# Helpers shared by every folder of the build.
#
# Portable sources are found by glob so that adding a file needs no build edit:
#   foo.cpp          built everywhere
#   foo_win.cpp      built only for Windows
#   foo_posix.cpp    built only for Linux
# Headers live beside their sources; includes are written from the project root
# ("base/text.h").

set(QUILLON_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
get_filename_component(QUILLON_ROOT ${QUILLON_ROOT} ABSOLUTE)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_library(quillon_options INTERFACE)
target_include_directories(quillon_options INTERFACE ${QUILLON_ROOT} ${CMAKE_BINARY_DIR}/generated)

# The one product version (project(VERSION)) for the programs' version
# resources and manifests, the installer and `quillon --version`.
set(QUILLON_VERSION_TEXT ${PROJECT_VERSION})
set(QUILLON_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(QUILLON_VERSION_PATCH ${PROJECT_VERSION_PATCH})
if(QUILLON_VERSION_MINOR STREQUAL "")
  set(QUILLON_VERSION_MINOR 0)
endif()
if(QUILLON_VERSION_PATCH STREQUAL "")
  set(QUILLON_VERSION_PATCH 0)
endif()
configure_file(${QUILLON_ROOT}/resources/common/version.h.in ${CMAKE_BINARY_DIR}/generated/quillon_version.h @ONLY)
configure_file(${QUILLON_ROOT}/resources/common/program.manifest.in ${CMAKE_BINARY_DIR}/generated/quillon.manifest @ONLY)

# quillon_program_resources(target): lets the program's .rc include
# "common/program.rc" (manifest and version information).
function(quillon_program_resources target)
  target_include_directories(${target} PRIVATE ${QUILLON_ROOT}/resources ${CMAKE_BINARY_DIR}/generated)
  # The manifest is named by the .rc, not included: say so, or a new version
  # would not rebuild the resources.
  get_target_property(sources ${target} SOURCES)
  foreach(source ${sources})
    if(source MATCHES "\\.rc$")
      set_property(SOURCE ${source} APPEND PROPERTY OBJECT_DEPENDS
        ${CMAKE_BINARY_DIR}/generated/quillon.manifest ${CMAKE_BINARY_DIR}/generated/quillon_version.h
        ${QUILLON_ROOT}/resources/common/program.rc)
    endif()
  endforeach()
endfunction()
target_compile_options(quillon_options INTERFACE -Wall -Wextra)
if(QUILLON_WERROR)
  target_compile_options(quillon_options INTERFACE -Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 at -O2 reports impossible overlaps and bounds inside the standard
  # library's inlined string and vector code (known false positives); they
  # stay warnings instead of failing the build.
  target_compile_options(quillon_options INTERFACE -Wno-restrict -Wno-error=array-bounds
    -Wno-error=maybe-uninitialized -Wno-error=stringop-overflow)
endif()
if(QUILLON_SANITIZE)
  target_compile_options(quillon_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(quillon_options INTERFACE -fsanitize=address,undefined)
endif()
if(QUILLON_FUZZ)
  # Every library is instrumented, so the fuzzers steer by the coverage of
  # the code they test, not only of their own small source.
  target_compile_options(quillon_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
if(WIN32)
  # Unicode Win32 API; programs run on Windows 7 and later.
  target_compile_definitions(quillon_options INTERFACE UNICODE _UNICODE
    WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Static runtime: the .exe files need no MinGW DLLs beside them.
  target_link_options(quillon_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

function(_quillon_platform_sources out folder)
  file(GLOB all CONFIGURE_DEPENDS ${QUILLON_ROOT}/${folder}/*.cpp)
  set(kept)
  foreach(f ${all})
    get_filename_component(n ${f} NAME_WE)
    if(n MATCHES "_win$")
      if(WIN32)
        list(APPEND kept ${f})
      endif()
    elseif(n MATCHES "_posix$")
      if(NOT WIN32)
        list(APPEND kept ${f})
      endif()
    else()
      list(APPEND kept ${f})
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# quillon_library(name folder [DEPS lib...]): a static library of the folder's
# sources. An empty folder gives an interface library so dependants still link.
function(quillon_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS" ${ARGN})
  _quillon_platform_sources(sources ${folder})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC quillon_options ${ARG_DEPS} ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE quillon_options ${ARG_DEPS} ${ARG_LIBS})
  endif()
  # Platform libraries the Windows twins need.
  if(WIN32 AND sources)
    target_link_libraries(${name} PUBLIC hid setupapi winmm imm32 gdi32 user32
      comdlg32 comctl32 shell32 ole32 uuid)
  endif()
  if(NOT WIN32 AND sources)
    find_package(Threads REQUIRED)
    target_link_libraries(${name} PUBLIC Threads::Threads)
  endif()
endfunction()

# quillon_add_subdirectories(folder): adds every direct sub-folder that has a
# CMakeLists.txt, so a new tool or benchmark needs no edit elsewhere.
function(quillon_add_subdirectories folder)
  file(GLOB children LIST_DIRECTORIES true ${QUILLON_ROOT}/${folder}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# quillon_test(name folder LIBS lib...): one GoogleTest executable of the
# folder's test sources, registered with ctest. In the Windows build it runs
# under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
function(quillon_test name folder)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  _quillon_platform_sources(sources ${folder})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quillon_options GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    QUILLON_SOURCE_DIR="${QUILLON_ROOT}" QUILLON_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
