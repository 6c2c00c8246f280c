# Where `make install` and the Debian package put the programs and their
# desktop files, by the freedesktop and Debian conventions (GNUInstallDirs):
#   bin/corvexa, bin/corvexa-tool
#   share/applications/corvexa.desktop
#   share/icons/hicolor/NNxNN/apps/corvexa.png   (16 to 256)
#   share/metainfo/corvexa.metainfo.xml
#   share/man/man6/corvexa.6, share/man/man1/corvexa-tool.1
# The manual pages and the metadata carry the project's version and its release
# date, written in here; the build also makes the metadata's screenshot (build/screenshot/),
# for publishing under CORVEXA_WEBSITE.
include(GNUInstallDirs)
set(CORVEXA_WEBSITE "https://corvexa.example" CACHE STRING
    "the project's home page, where the screenshot is published")
set(CORVEXA_SCREENSHOT corvexa-${PROJECT_VERSION}-screenshot.png)

# The release date is the one of the newest entry in debian/changelog (its
# trailer line: " -- NAME <MAIL>  Wed, 09 Dec 2026 00:00:00 +0000"), the date
# dpkg-buildpackage takes for SOURCE_DATE_EPOCH: the same on every build.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/debian/changelog)
file(STRINGS ${CMAKE_SOURCE_DIR}/debian/changelog trailer REGEX "^ -- .*>  " LIMIT_COUNT 1)
if(NOT trailer MATCHES ">  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "debian/changelog: no date in its newest entry's trailer line")
endif()
set(day ${CMAKE_MATCH_1})
set(month_name ${CMAKE_MATCH_2})
set(year ${CMAKE_MATCH_3})
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${month_name} month)
math(EXPR month "${month} + 1")
string(REGEX REPLACE "^([0-9])$" "0\\1" month ${month})
string(REGEX REPLACE "^([0-9])$" "0\\1" day ${day})
set(CORVEXA_RELEASE_DATE ${year}-${month}-${day})

set(generated ${CMAKE_BINARY_DIR}/generated)
configure_file(platform/corvexa.6.in ${generated}/corvexa.6 @ONLY)
configure_file(tools/corvexa-tool/corvexa-tool.1.in ${generated}/corvexa-tool.1 @ONLY)
configure_file(platform/corvexa.metainfo.xml.in ${generated}/corvexa.metainfo.xml @ONLY)

# The screenshot: the frame after tick 5,500, six twisters and the scroller.
set(screenshot ${CMAKE_BINARY_DIR}/screenshot/${CORVEXA_SCREENSHOT})
add_custom_command(OUTPUT ${screenshot}
  COMMAND corvexa-tool frames --ticks 5500 --out-dir ${CMAKE_BINARY_DIR}/screenshot
  COMMAND ${CMAKE_COMMAND} -E rename ${CMAKE_BINARY_DIR}/screenshot/tick-05500.png ${screenshot}
  DEPENDS corvexa-tool
  VERBATIM)
add_custom_target(corvexa_screenshot ALL DEPENDS ${screenshot})

install(TARGETS corvexa corvexa-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES platform/corvexa.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES platform/icons/corvexa-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME corvexa.png)
endforeach()
install(FILES ${generated}/corvexa.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/corvexa.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${generated}/corvexa-tool.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
