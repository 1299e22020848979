# Third-party code, all from Debian: libcurl and the 7z decoder built from the
# source packages by scripts/setup; RapidJSON, stb_image and GoogleTest from
# their -dev packages. Host headers are exposed through a private folder of
# symlinks so the cross compiler never sees the host's /usr/include.
set(host_inc ${CMAKE_BINARY_DIR}/host-include)
file(MAKE_DIRECTORY ${host_inc})
foreach(dir rapidjson stb)
  if(NOT EXISTS ${host_inc}/${dir})
    file(CREATE_LINK /usr/include/${dir} ${host_inc}/${dir} SYMBOLIC)
  endif()
endforeach()

if(ORVANE_ARCH STREQUAL win64)
  set(curl_root ${ORVANE_CURL_WIN64})
else()
  set(curl_root ${ORVANE_CURL_WIN32})
endif()
if(NOT curl_root OR NOT EXISTS ${curl_root}/lib/libcurl.a)
  message(FATAL_ERROR "libcurl for ${ORVANE_ARCH} not found; run scripts/setup")
endif()
if(NOT ORVANE_7ZIP_C OR NOT EXISTS ${ORVANE_7ZIP_C}/7zDec.c)
  message(FATAL_ERROR "7z decoder sources not found; run scripts/setup")
endif()

set(sz_files 7zArcIn.c 7zDec.c 7zStream.c 7zCrc.c 7zCrcOpt.c 7zAlloc.c 7zBuf.c
  Lzma2Dec.c LzmaDec.c Bcj2.c Bra86.c Bra.c BraIA64.c Delta.c CpuArch.c Alloc.c)
list(TRANSFORM sz_files PREPEND ${ORVANE_7ZIP_C}/)
add_library(sevenzip_dec STATIC ${sz_files})
target_include_directories(sevenzip_dec SYSTEM PUBLIC ${ORVANE_7ZIP_C})
target_compile_options(sevenzip_dec PRIVATE -w)

add_library(stb_image_impl STATIC ${CMAKE_SOURCE_DIR}/cmake/stb_image_impl.c)
target_include_directories(stb_image_impl SYSTEM PUBLIC ${host_inc}/stb)
target_compile_options(stb_image_impl PRIVATE -w)

add_library(curl_static INTERFACE)
target_include_directories(curl_static SYSTEM INTERFACE ${curl_root}/include)
target_compile_definitions(curl_static INTERFACE CURL_STATICLIB)
target_link_libraries(curl_static INTERFACE ${curl_root}/lib/libcurl.a ws2_32 crypt32 bcrypt secur32 advapi32 normaliz)

add_library(orvane_thirdparty INTERFACE)
target_include_directories(orvane_thirdparty SYSTEM INTERFACE ${host_inc})
target_link_libraries(orvane_thirdparty INTERFACE curl_static sevenzip_dec stb_image_impl)
