# Runs the engine on each NAME.in of DIR as its standard input and compares
# what it prints with NAME.out, line by line.
#
#   cmake -DENGINE=path/to/vostrel -DDIR=tests/driver/transcripts -P run_transcripts.cmake
#
# An expected line that ends in "..." matches any line that starts with the
# text before the dots: perft reports its time and rate, which vary from run
# to run. Every other line must match exactly. The engine must also exit with
# status 0 and write nothing to standard error.

cmake_minimum_required(VERSION 3.20)

if(NOT ENGINE OR NOT DIR)
  message(FATAL_ERROR "usage: cmake -DENGINE=<vostrel> -DDIR=<transcripts> -P ${CMAKE_CURRENT_LIST_FILE}")
endif()
if(NOT EXISTS "${ENGINE}")
  message(FATAL_ERROR "no engine at ${ENGINE}")
endif()

# Splits text at each line feed into the variables <prefix>_0 .. <prefix>_N and
# sets <prefix>_COUNT. Text after the last line feed (empty when the text ends
# in one) is the last line, so a missing final line end is a difference too.
# Not a CMake list: engine output may hold ';' or '[', which lists mangle.
function(split_lines text prefix)
  set(count 0)
  while(TRUE)
    string(FIND "${text}" "\n" end)
    if(end EQUAL -1)
      set(${prefix}_${count} "${text}" PARENT_SCOPE)
      break()
    endif()
    string(SUBSTRING "${text}" 0 ${end} line)
    set(${prefix}_${count} "${line}" PARENT_SCOPE)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${text}" ${end} -1 text)
    math(EXPR count "${count} + 1")
  endwhile()
  math(EXPR count "${count} + 1")
  set(${prefix}_COUNT ${count} PARENT_SCOPE)
endfunction()

# Sets <result> to TRUE when the actual line satisfies the expected one.
function(line_matches expected actual result)
  set(${result} FALSE PARENT_SCOPE)
  if(expected MATCHES "^(.*)\\.\\.\\.$")
    set(prefix "${CMAKE_MATCH_1}")
    string(LENGTH "${prefix}" length)
    string(SUBSTRING "${actual}" 0 ${length} start)
    if(start STREQUAL prefix)
      set(${result} TRUE PARENT_SCOPE)
    endif()
  elseif(expected STREQUAL actual)
    set(${result} TRUE PARENT_SCOPE)
  endif()
endfunction()

file(GLOB inputs "${DIR}/*.in")
list(SORT inputs)
if(NOT inputs)
  message(FATAL_ERROR "no transcripts (*.in) in ${DIR}")
endif()

set(failed "")
foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME_WLE)
  set(expected_file "${DIR}/${name}.out")
  if(NOT EXISTS "${expected_file}")
    message(NOTICE "${name}: ${expected_file} is missing")
    list(APPEND failed ${name})
    continue()
  endif()
  file(READ "${expected_file}" expected)

  execute_process(
    COMMAND "${ENGINE}"
    INPUT_FILE "${input}"
    OUTPUT_VARIABLE actual
    ERROR_VARIABLE errors
    RESULT_VARIABLE status
    TIMEOUT 120)

  split_lines("${expected}" want)
  split_lines("${actual}" got)
  set(problem "")
  if(NOT status STREQUAL "0")
    set(problem "exit status ${status}")
  elseif(NOT errors STREQUAL "")
    set(problem "output on standard error:\n${errors}")
  else()
    set(index 0)
    while(index LESS want_COUNT OR index LESS got_COUNT)
      math(EXPR number "${index} + 1")
      if(NOT index LESS want_COUNT)
        set(problem "line ${number}: unexpected extra output \"${got_${index}}\"")
        break()
      elseif(NOT index LESS got_COUNT)
        set(problem "line ${number}: output ends; expected \"${want_${index}}\"")
        break()
      endif()
      line_matches("${want_${index}}" "${got_${index}}" same)
      if(NOT same)
        set(problem "line ${number}: expected \"${want_${index}}\"\n  but got \"${got_${index}}\"")
        break()
      endif()
      math(EXPR index "${index} + 1")
    endwhile()
  endif()

  if(problem STREQUAL "")
    message(STATUS "${name}: ok")
  else()
    list(APPEND failed ${name})
    # NOTICE prints the text as it is; errors would rewrap it.
    message(NOTICE "${name}: FAILED: ${problem}\n"
                   "--- expected (${expected_file})\n${expected}"
                   "--- actual\n${actual}---")
  endif()
endforeach()

if(failed)
  message(FATAL_ERROR "transcripts that failed: ${failed}")
endif()
