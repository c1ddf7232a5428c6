# A Debian package through CPack; dpkg-shlibdeps works out the library dependencies.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME huebrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Huebrook Labs")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen color picker with a palette and copy formats")
# The extended description, in lines of at most 80 characters as Debian's control file wants;
# CPack indents them and marks the empty one.
set(CPACK_PACKAGE_DESCRIPTION [=[
Huebrook freezes the screen so that you can click the exact pixels whose
colors you want, on X11 and on Wayland (GNOME, KDE Plasma, sway). Every
pick goes into a palette file and becomes the current color, which three
sliders adjust and a menu copies as text: hexadecimal, decimal, CSS
rgb() and hsl(), or templates of your own.

A loupe magnifies the pixels around the pointer, the arrow keys move by
one device pixel, and a pick can be the mean of an N by N box. A
keyboard shortcut can run huebrook --pick --once to print the color
under the pointer. Palettes are exchanged with GIMP, Inkscape and Krita
as .gpl files.]=])
set(CPACK_PACKAGE_CONTACT "Huebrook Labs <huebrook@example.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The faces the window designs fall back to.
# libzip and GIO are loaded at run time, where dpkg-shlibdeps does not see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, libzip4, libglib2.0-0")
set(CPACK_STRIP_FILES ON)
include(CPack)
