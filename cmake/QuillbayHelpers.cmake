# qb_system_code(target): the system's own code keeps its texts in code page 936, so its
# string literals are compiled to GBK bytes.
function(qb_system_code target)
  target_compile_options(${target} PRIVATE -fexec-charset=GBK)
  target_include_directories(${target} PUBLIC "${CMAKE_SOURCE_DIR}")
endfunction()

# qb_embed_file(target symbol file): links the bytes of `file` into `target` as
#   extern "C" const unsigned char symbol[]; extern "C" const unsigned char symbol_end[];
# The file is taken at build time, so a rebuilt payload is re-embedded.
function(qb_embed_file target symbol file)
  set(src "${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.S")
  file(WRITE "${src}.in"
    "    .section .rodata\n"
    "    .global ${symbol}\n    .global ${symbol}_end\n"
    "    .balign 16\n${symbol}:\n    .incbin \"${file}\"\n${symbol}_end:\n"
    "    .section .note.GNU-stack,\"\",@progbits\n")
  configure_file("${src}.in" "${src}" COPYONLY)
  set_source_files_properties("${src}" PROPERTIES OBJECT_DEPENDS "${file}")
  target_sources(${target} PRIVATE "${src}")
endfunction()

# qb_test(name [SYSTEM] [SERIAL] [TIMEOUT s] SOURCES ... LIBS ...): one GoogleTest executable
# whose cases ctest lists one by one. Tests run in their own scratch directory under the build tree.
function(qb_test name)
  cmake_parse_arguments(T "SYSTEM;SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}" "${CMAKE_SOURCE_DIR}/tests")
  target_compile_definitions(${name} PRIVATE QB_SOURCE_DIR="${CMAKE_SOURCE_DIR}" QB_RUN_DIR="${QB_RUN_DIR}")
  if(T_SYSTEM)
    target_compile_options(${name} PRIVATE -fexec-charset=GBK)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # SERIAL: cases that drive the shared X display (pointer, keyboard) must not overlap.
  set(serial FALSE)
  if(T_SERIAL)
    set(serial TRUE)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT} RUN_SERIAL ${serial})
endfunction()

# qb_run_file(source destination): puts a file of the repository into the run directory
# (destination is relative to it). With VARIABLES, @NAME@ in the source is replaced.
function(qb_run_file source destination)
  cmake_parse_arguments(R "VARIABLES" "" "" ${ARGN})
  if(R_VARIABLES)
    configure_file("${source}" "${QB_RUN_DIR}/${destination}" @ONLY)
  else()
    configure_file("${source}" "${QB_RUN_DIR}/${destination}" COPYONLY)
  endif()
endfunction()

# qb_run_program(target): a program or library of the run directory, as the package installs
# it byte for byte (so the update manifest over the run directory matches what users have):
# found beside each other through $ORIGIN alone, and stripped, with its debug information
# kept in the run directory's .debug/ folder, where gdb looks for it.
function(qb_run_program target)
  set_target_properties(${target} PROPERTIES BUILD_WITH_INSTALL_RPATH ON INSTALL_RPATH "$ORIGIN")
  if(NOT QB_SANITIZE AND NOT QB_FUZZ)
    set(debug "${QB_RUN_DIR}/.debug/${target}.debug")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory "${QB_RUN_DIR}/.debug"
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug "$<TARGET_FILE:${target}>" "${debug}"
      COMMAND ${CMAKE_STRIP} --strip-unneeded --remove-section=.comment --remove-section=.note "$<TARGET_FILE:${target}>"
      COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${debug} "$<TARGET_FILE:${target}>"
      VERBATIM)
  endif()
endfunction()
