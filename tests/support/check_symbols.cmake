# Checks what libsupport.a exports: the C names of the intersection test unmangled, the
# projection pair only with float parameter lists (so a double-precision C library's functions
# of the same names cannot clash), and none of the module-private helpers or shared constants.
execute_process(COMMAND ${NM} -g --defined-only -C ${LIBRARY} OUTPUT_VARIABLE symbols
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE ";" "," symbols "${symbols}")
string(REPLACE "\n" ";" lines "${symbols}")

function(find_line pattern result)  # first line matching the regular expression, or ""
  foreach(line IN LISTS lines)
    if(line MATCHES "${pattern}")
      set(${result} "${line}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} "" PARENT_SCOPE)
endfunction()

set(failures "")
foreach(expected
    " T tri_tri_intersect$"
    " T coplanar_tri_tri$"
    " T gluProject\\(float, float, float, float const\\*, float const\\*, int const\\*, float\\*, float\\*, float\\*\\)$"
    " T gluUnProject\\(float, float, float, float const\\*, float const\\*, int const\\*, float\\*, float\\*, float\\*\\)$"
    " T Replace\\(" " T Split\\(" " T cosdeg\\(double\\)$" " T atan2deg\\(double, double\\)$"
    " QuadGroup::quad_group_list")
  find_line("${expected}" found)
  if(NOT found)
    string(APPEND failures "missing: ${expected}\n")
  endif()
endforeach()
foreach(forbidden
    " gluProject$" " gluUnProject$" "transform_point" "matmul" "invert_matrix"
    " PI$" " TWOPI$" " HALFPI$" " QUARTERPI$" " EPSILON$" " COLLISION_EPSILON$" " MAX_TYPES$"
    "DEGREES_TO_RADIANS" "RADIANS_TO_DEGREES")
  find_line("${forbidden}" found)
  if(found)
    string(APPEND failures "exported but must not be: ${found}\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "libsupport.a exports what it should")
