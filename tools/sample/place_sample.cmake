# Puts the freshly built sample beside the program unless the user has changed the one
# there: a sample is replaced only when it is missing, empty, or still the copy a
# previous build placed.
#   cmake -DBUILT=... -DPLACED=... -DTARGET=... -P place_sample.cmake
set(replace FALSE)
if(NOT EXISTS "${TARGET}")
  set(replace TRUE)
else()
  file(SIZE "${TARGET}" target_size)
  if(target_size EQUAL 0)
    set(replace TRUE)
  elseif(EXISTS "${PLACED}")
    file(SHA256 "${TARGET}" target_hash)
    file(SHA256 "${PLACED}" placed_hash)
    if(target_hash STREQUAL placed_hash)
      set(replace TRUE)
    endif()
  endif()
endif()
if(replace)
  file(COPY_FILE "${BUILT}" "${TARGET}")
  file(COPY_FILE "${BUILT}" "${PLACED}")
endif()
