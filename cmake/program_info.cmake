# The program's own Info.plist, generated once from packaging/Info.plist.in. It is the macOS
# bundle's Contents/Info.plist and, elsewhere, is compiled into the program and its launcher
# module as it stands (the portable archive also carries a copy, share/jolstrand/Info.plist).
# A release build sets the build number, the update feed and the feed's public key; an ordinary
# build has no feed and no key, so it never checks for updates.

set(JOLSTRAND_BUNDLE_IDENTIFIER "org.jolstrand.Jolstrand")
# The program is Jolstrand.app/Contents/MacOS/Jolstrand on macOS, bin/jolstrand elsewhere.
if(APPLE)
  set(JOLSTRAND_EXECUTABLE_NAME "Jolstrand")
else()
  set(JOLSTRAND_EXECUTABLE_NAME "jolstrand")
endif()
set(JOLSTRAND_ICON_NAME "Jolstrand")
set(JOLSTRAND_COPYRIGHT "Copyright © 2026 Jolstrand developers. MIT License.")
set(JOLSTRAND_MAINTAINER "Jolstrand developers <developers@jolstrand.org>")
set(JOLSTRAND_HOMEPAGE "https://jolstrand.org")

set(JOLSTRAND_BUILD_NUMBER "1" CACHE STRING
    "CFBundleVersion: the release's build number, a positive integer that grows with every release")
set(JOLSTRAND_UPDATE_FEED "" CACHE STRING
    "JolstrandUpdateFeed: the https:// address of the signed update feed; empty for no updates")
set(JOLSTRAND_PUBLIC_ED_KEY "" CACHE STRING
    "SUPublicEDKey: the base64 Ed25519 public key the update feed is signed with; empty for none")

if(NOT JOLSTRAND_BUILD_NUMBER MATCHES "^[1-9][0-9]*$")
  message(FATAL_ERROR "JOLSTRAND_BUILD_NUMBER must be a positive integer without leading zeros, "
                      "not \"${JOLSTRAND_BUILD_NUMBER}\"")
endif()
if(NOT JOLSTRAND_UPDATE_FEED STREQUAL "" AND NOT JOLSTRAND_UPDATE_FEED MATCHES "^https://[^ \t\n\"<>]+$")
  message(FATAL_ERROR "JOLSTRAND_UPDATE_FEED must be an https:// address without spaces, "
                      "not \"${JOLSTRAND_UPDATE_FEED}\"")
endif()
if(NOT JOLSTRAND_PUBLIC_ED_KEY MATCHES "^[A-Za-z0-9+/]*=*$")
  message(FATAL_ERROR "JOLSTRAND_PUBLIC_ED_KEY must be base64 text, "
                      "not \"${JOLSTRAND_PUBLIC_ED_KEY}\"")
endif()
if(NOT JOLSTRAND_UPDATE_FEED STREQUAL "" AND JOLSTRAND_PUBLIC_ED_KEY STREQUAL "")
  message(WARNING "JOLSTRAND_UPDATE_FEED is set but JOLSTRAND_PUBLIC_ED_KEY is empty: "
                  "this build will not check for updates")
endif()

# A query string may carry '&', which XML needs escaped.
string(REPLACE "&" "&amp;" JOLSTRAND_UPDATE_FEED_XML "${JOLSTRAND_UPDATE_FEED}")

set(JOLSTRAND_INFO_PLIST "${CMAKE_BINARY_DIR}/Info.plist")
configure_file("${CMAKE_SOURCE_DIR}/packaging/Info.plist.in" "${JOLSTRAND_INFO_PLIST}" @ONLY)
