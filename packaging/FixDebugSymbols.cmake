# Run by CPack after it wrote the packages: puts the -dbgsym package into the form Debian's own
# have. CPack's lists its file in md5sums by the absolute path of its staging directory and leaves
# the symbol file executable; Debian's also link their documentation directory to the package's
# and name the source they were built from, as every binary package named otherwise does.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "/([^/_]+)-dbgsym_[^/]*\\.ddeb$")
    continue()
  endif()
  set(name ${CMAKE_MATCH_1})
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)

  file(GLOB_RECURSE symbol_files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/usr/*)
  set(md5sums "")
  foreach(file IN LISTS symbol_files)
    file(CHMOD ${tree}/${file} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 ${tree}/${file} sum)
    string(APPEND md5sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE ${tree}/DEBIAN/md5sums "${md5sums}")
  file(READ ${tree}/DEBIAN/control control)
  if(NOT control MATCHES "\nSource:")
    file(WRITE ${tree}/DEBIAN/control "Source: ${name}\n${control}")
  endif()
  file(MAKE_DIRECTORY ${tree}/usr/share/doc)
  file(CREATE_LINK ${name} ${tree}/usr/share/doc/${name}-dbgsym SYMBOLIC)

  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${package}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
