# Makes the jolstrand program the Jolstrand.app bundle: the generated Info.plist and the icon,
# rendered from its SVG and converted to .icns with iconutil. Included from app/ on macOS only.

set_target_properties(jolstrand PROPERTIES
  MACOSX_BUNDLE TRUE
  OUTPUT_NAME ${JOLSTRAND_EXECUTABLE_NAME}
  MACOSX_BUNDLE_INFO_PLIST ${JOLSTRAND_INFO_PLIST})

set(iconset ${CMAKE_CURRENT_BINARY_DIR}/${JOLSTRAND_ICON_NAME}.iconset)
set(icns ${CMAKE_CURRENT_BINARY_DIR}/${JOLSTRAND_ICON_NAME}.icns)
add_custom_command(
  OUTPUT ${icns}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${iconset}
  COMMAND jolstrand_iconset ${CMAKE_SOURCE_DIR}/app/resources/jolstrand.svg ${iconset}
  COMMAND iconutil --convert icns --output ${icns} ${iconset}
  DEPENDS jolstrand_iconset ${CMAKE_SOURCE_DIR}/app/resources/jolstrand.svg
  COMMENT "Rendering the application icon")
target_sources(jolstrand PRIVATE ${icns})
set_source_files_properties(${icns} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)

# Sparkle travels inside the bundle, found through the bundle's Frameworks folder.
set_target_properties(jolstrand PROPERTIES INSTALL_RPATH "@executable_path/../Frameworks"
                      BUILD_WITH_INSTALL_RPATH TRUE)
add_custom_command(TARGET jolstrand POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_BUNDLE_CONTENT_DIR:jolstrand>/Frameworks
  COMMAND ditto ${SPARKLE_FRAMEWORK} $<TARGET_BUNDLE_CONTENT_DIR:jolstrand>/Frameworks/Sparkle.framework
  COMMENT "Copying Sparkle into the bundle")
