# Endpoint hosts are build settings. Release builds point at a reserved domain
# that never resolves; test and demo builds point at the loopback servers.
option(ORVANE_TEST_ENDPOINTS "Point every host at the local test servers" ON)
set(ORVANE_RELEASE_DOMAIN "orvane.invalid" CACHE STRING "Domain under which release builds name every host")
set(ORVANE_TEST_ORIGIN "http://localhost:47801" CACHE STRING "Origin of every host in test builds unless overridden at run time")
configure_file(${CMAKE_SOURCE_DIR}/config/BuildSettings.h.in ${CMAKE_BINARY_DIR}/generated/config/BuildSettings.h)
