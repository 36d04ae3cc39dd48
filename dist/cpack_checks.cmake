# Read by cpack before it builds a package: a package that would install but not start
# (no library named in its Depends) or that lacks a file is an error, never a success.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(YUBINO_SHLIBDEPS dpkg-shlibdeps)
  find_program(YUBINO_FILE_TOOL file)
  if(NOT YUBINO_SHLIBDEPS OR NOT YUBINO_FILE_TOOL)
    message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps (package dpkg-dev) and file: "
                        "run tools/ensure-packages, or tools/package, which does.")
  endif()
  # The sample's name is Japanese; outside a UTF-8 locale the archive cannot hold it.
  execute_process(COMMAND locale charmap OUTPUT_VARIABLE charmap OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT charmap STREQUAL "UTF-8")
    message(FATAL_ERROR "cpack needs a UTF-8 locale for the sample's Japanese file name: "
                        "LC_ALL=C.UTF-8 cpack -G DEB (tools/package does this).")
  endif()
endif()
