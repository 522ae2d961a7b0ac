# Hardening flags as Debian's dpkg-buildflags gives them with every hardening feature on:
# the stack protector, fortified C library calls, format-string checks, read-only relocations and
# immediate binding. The answer's -g, -O and prefix maps are left out: the build type sets those.
# Position-independent executables are the Debian compiler's default (dpkg-buildflags adds nothing
# for them there); the packaging test checks that the game is one.
# Without dpkg-buildflags (another system) the same flags as Debian 12's are used.
set(lw_hardening_CPPFLAGS -Wdate-time -D_FORTIFY_SOURCE=2)
set(lw_hardening_CXXFLAGS -fstack-protector-strong -Wformat -Werror=format-security)
set(lw_hardening_LDFLAGS -Wl,-z,relro -Wl,-z,now)

find_program(LW_DPKG_BUILDFLAGS dpkg-buildflags)
if(LW_DPKG_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${LW_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(NOT failed)
      separate_arguments(lw_hardening_${kind} UNIX_COMMAND "${answer}")
      list(FILTER lw_hardening_${kind} EXCLUDE REGEX "^-(g.*|O.*|f[a-z]+-prefix-map=.*)$")
    endif()
  endforeach()
endif()

foreach(flag IN LISTS lw_hardening_CPPFLAGS lw_hardening_CXXFLAGS)
  if(flag MATCHES "_FORTIFY_SOURCE")
    # The C library's fortified calls need the optimiser; without it they only warn.
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
  else()
    add_compile_options(${flag})
  endif()
endforeach()
add_link_options(${lw_hardening_LDFLAGS})
string(JOIN " " lw_hardening_shown ${lw_hardening_CPPFLAGS} ${lw_hardening_CXXFLAGS} ${lw_hardening_LDFLAGS})
message(STATUS "Hardening: ${lw_hardening_shown}")
