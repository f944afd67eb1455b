# cmake -DCPACK=... -DBUILD_DIR=... -DPACKAGE_DIR=... -P build_package.cmake
# The package tests' fixture: makes the Debian package of the build with cpack into
# PACKAGE_DIR/deb and extracts it with dpkg -x into PACKAGE_DIR/root, as a scratch root.
file(REMOVE_RECURSE ${PACKAGE_DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${PACKAGE_DIR}/deb
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${result}):\n${output}")
endif()
file(REMOVE_RECURSE ${PACKAGE_DIR}/deb/_CPack_Packages)
file(GLOB packages ${PACKAGE_DIR}/deb/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} packages, not one: ${packages}\n${output}")
endif()
execute_process(COMMAND dpkg -x ${packages} ${PACKAGE_DIR}/root COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "${packages} extracted into ${PACKAGE_DIR}/root")
