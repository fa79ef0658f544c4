# CPack's DEB settings: dist/velozor_<version>_amd64.deb with the player's files only (the
# install rules install nothing else), its library dependencies found by dpkg-shlibdeps.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The credits on screen need a sans font, and the game's messages reach a screen reader through
# zenity's dialog (SDL's own box stands in without it); the game plays without either.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, zenity")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
