# Run by cmake --install (and cpack): writes the files that name the installed programs by
# their absolute path, for the prefix of this install, and installs them.
set(bindir "${CMAKE_INSTALL_PREFIX}/${AMBREL_BINDIR}")
# Installs running side by side (a test's, cpack's) each write their own copies.
string(SHA1 stage "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(stage "${AMBREL_STAGE}/${stage}")

set(AMBREL_BINDIR "${bindir}")
foreach(entry net.corvane.MyAmbrel net.corvane.MyAmbrel.Send)
  configure_file("${AMBREL_DATA_SOURCE}/applications/${entry}.desktop.in"
    "${stage}/${entry}.desktop" @ONLY)
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${AMBREL_DATADIR}/applications"
    TYPE FILE FILES "${stage}/${entry}.desktop")
endforeach()

# The browsers read their host manifests from fixed folders: the user's for a prefix in the
# home folder, the system's for a system prefix. Any other prefix keeps them beside the
# program, for the person to link into place.
set(hosts "${AMBREL_BROWSER_HOSTS}")
set(home "$ENV{HOME}")
if(hosts STREQUAL "auto")
  string(FIND "${CMAKE_INSTALL_PREFIX}/" "${home}/" in_home)
  if(NOT home STREQUAL "" AND NOT home STREQUAL "/" AND in_home EQUAL 0)
    set(hosts user)
  elseif(CMAKE_INSTALL_PREFIX MATCHES "^/(usr|usr/local|opt/.*)$")
    set(hosts system)
  else()
    set(hosts prefix)
  endif()
endif()
if(hosts STREQUAL "user")
  set(config "$ENV{XDG_CONFIG_HOME}")
  if(NOT config MATCHES "^/")
    set(config "${home}/.config")
  endif()
  set(chromium_hosts "${config}/chromium/NativeMessagingHosts")
  set(firefox_hosts "${home}/.mozilla/native-messaging-hosts")
elseif(hosts STREQUAL "system")
  set(chromium_hosts /etc/chromium/native-messaging-hosts)
  set(firefox_hosts /usr/lib/mozilla/native-messaging-hosts)
elseif(hosts STREQUAL "prefix")
  set(chromium_hosts "${CMAKE_INSTALL_PREFIX}/etc/chromium/native-messaging-hosts")
  set(firefox_hosts "${CMAKE_INSTALL_PREFIX}/lib/mozilla/native-messaging-hosts")
elseif(NOT hosts STREQUAL "none")
  message(FATAL_ERROR "AMBREL_BROWSER_HOSTS: auto, user, system, prefix or none, not ${hosts}")
endif()
if(NOT hosts STREQUAL "none")
  foreach(browser chromium firefox)
    file(MAKE_DIRECTORY "${stage}/${browser}")
    configure_file("${AMBREL_DATA_SOURCE}/native-messaging/${browser}.json.in"
      "${stage}/${browser}/net.corvane.myambrel.json" @ONLY)
    file(INSTALL DESTINATION "${${browser}_hosts}" TYPE FILE
      FILES "${stage}/${browser}/net.corvane.myambrel.json")
  endforeach()
  if(hosts STREQUAL "prefix")
    message(STATUS "Browser host manifests: link ${chromium_hosts}/net.corvane.myambrel.json "
      "into ~/.config/chromium/NativeMessagingHosts and ${firefox_hosts}/net.corvane.myambrel.json "
      "into ~/.mozilla/native-messaging-hosts")
  endif()
endif()

# A desktop learns of the ambrel: link handler from its cache of the entries' types; a
# package manager refreshes that cache itself.
find_program(update_desktop_database update-desktop-database)
if(update_desktop_database AND "$ENV{DESTDIR}" STREQUAL "")
  execute_process(COMMAND "${update_desktop_database}" -q
    "${CMAKE_INSTALL_PREFIX}/${AMBREL_DATADIR}/applications")
endif()
