# Run by cpack once the project is installed into the package's staging tree, before the Debian
# package is made from it: the Debian layout, which a plain cmake --install does not use. Every
# program installed into the GNU bin directory moves to the games directory, so a new program needs
# no packaging rule of its own; the copyright file and the changelog join the documentation, and
# lintian is told of the one tag that does not apply to a package made outside the archive.
set(prefix "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")

file(GLOB programs "${prefix}/${CPACK_POKER_BINDIR}/*")
file(MAKE_DIRECTORY "${prefix}/${CPACK_POKER_PROGRAM_DIR}")
foreach(program IN LISTS programs)
  get_filename_component(name "${program}" NAME)
  file(RENAME "${program}" "${prefix}/${CPACK_POKER_PROGRAM_DIR}/${name}")
  # Stripped as Debian strips: the compilers' notes go too.
  execute_process(COMMAND "${CPACK_POKER_OBJCOPY}" --remove-section=.comment --remove-section=.note
    "${prefix}/${CPACK_POKER_PROGRAM_DIR}/${name}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(REMOVE_RECURSE "${prefix}/${CPACK_POKER_BINDIR}")

file(COPY ${CPACK_POKER_DOC_FILES} DESTINATION "${prefix}/share/doc/${CPACK_PACKAGE_NAME}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(MAKE_DIRECTORY "${prefix}/share/lintian/overrides")
file(COPY_FILE "${CPACK_POKER_LINTIAN_OVERRIDES}"
  "${prefix}/share/lintian/overrides/${CPACK_PACKAGE_NAME}")
