# The Debian packages: cpack -G DEB in a configured build (scripts/package).
# One build gives two packages, one per install component (dist/CMakeLists.txt):
# vardane-cli, which links no Qt and so installs on a machine without a
# desktop, and vardane, the window, which recommends it.
#
# CPack also runs this file, after it has installed the packages' files into
# its staging folders and before it archives them (CPACK_PRE_BUILD_SCRIPTS):
# that part comes first and stops there.
if(DEFINED CPACK_TEMPORARY_INSTALL_DIRECTORY)
  # The modes go into the archive as they are on disk, so the umask of whoever
  # built the package would reach the users' systems: set them here instead.
  file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
  set(binaries)
  foreach(path IN LISTS staged)
    if(IS_DIRECTORY "${path}")
      file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    elseif(path MATCHES "/usr/bin/[^/]+$")
      file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
      list(APPEND binaries "${path}")
    else()
      file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()
  endforeach()
  # A plain strip keeps the compiler's .comment and the .note section, which
  # only take room in an installed binary.
  foreach(binary IN LISTS binaries)
    execute_process(
      COMMAND "${CPACK_VARDANE_STRIP}" --remove-section=.comment --remove-section=.note "${binary}"
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not strip ${binary}")
    endif()
  endforeach()
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vardane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Équipe Vardane")
set(CPACK_PACKAGE_CONTACT "Équipe Vardane <equipe@vardane.invalid>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://vardane.invalid)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Each package states its own first line (below); CPack would otherwise put
# one shared summary above both descriptions.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli)
if(VARDANE_GUI)
  list(APPEND CPACK_COMPONENTS_ALL gui)
endif()
set(CPACK_DEBIAN_CLI_PACKAGE_NAME vardane-cli)
set(CPACK_DEBIAN_GUI_PACKAGE_NAME vardane)
# Both come from one source tree, whose changelog names it "vardane".
set(CPACK_DEBIAN_CLI_PACKAGE_SOURCE vardane)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # <package>_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CPACK_PACKAGE_HOMEPAGE_URL})

# Plain paragraphs: CPack indents the lines and marks the blank ones as Debian
# wants them.
set(what_it_does [=[
It reads the video BIOS image (.rom file) of a GeForce256, GeForce2 or
GeForce3 graphics card: the header and version texts, the GPU type,
SideBand Addressing, the memory and core clocks and the state of the
checksum. It verifies and corrects the checksum and rewrites the memory
clock, the core clock, the SideBand Addressing byte and the header text.

Every change is written into the file at once. The window keeps the image as
it was opened and can write it back; vardane-cli has no undo: keep a copy of
the original image, and correct the checksum before flashing the result.]=])
set(CPACK_DEBIAN_CLI_DESCRIPTION "command-line video BIOS image editor for early GeForce cards
${what_it_does}

This package holds vardane-cli, for scripts and batches: it shows an
image's facts (also as JSON), checks whole collections of images, tells
what differs between two images and makes the same edits as the desktop
program. It needs no desktop and no Qt.")
set(CPACK_DEBIAN_GUI_DESCRIPTION "video BIOS image editor for early GeForce cards
${what_it_does}

This package holds the desktop program, whose windows are in French. The
package vardane-cli does the same from a terminal.")

# dpkg-shlibdeps finds the libraries the binaries link to: the C and C++
# runtimes for vardane-cli, Qt as well for vardane. It cannot see what Qt loads
# at run time: the xcb platform plugin (without it the window cannot start),
# Qt's own French dialog texts, and Liberation Sans, the metric twin of the
# Arial the windows were laid out for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "vardane-cli (= ${CPACK_PACKAGE_VERSION})")

set(CPACK_STRIP_FILES ON)
set(CPACK_VARDANE_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_FILE})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
