# A Debian package through CPack; dpkg-shlibdeps works out the library dependencies.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME huebrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Huebrook Labs")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Screen color picker with a palette and seven copy formats")
set(CPACK_PACKAGE_CONTACT "Huebrook Labs <huebrook@example.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The faces the window designs fall back to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
