# Debian package through CPack: `bash scripts/package.sh` (or `cpack -G DEB` in the build
# folder) writes memberdesk_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME memberdesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "MemberDesk")
set(CPACK_PACKAGE_CONTACT "MemberDesk <support@memberdesk.kr>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Members, group dues, sales and money book for small businesses and clubs")
set(CPACK_PACKAGE_DESCRIPTION
    "MemberDesk keeps the member register of a small business, club or
association: members and groups with dues and lunar anniversaries, sales to
members with payment splits and points, a cash, bank and card money book,
caller ID, schedules, printing and backups. Its interface is Korean.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.memberdesk.kr")
# Shared-library dependencies are computed by dpkg-shlibdeps; the Korean glyphs and Qt's
# Korean translations are data the program needs and no library pulls in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, qt6-translations-l10n, libsodium23, libqt6keychain1")
# Korean typing needs a Hangul input method and the desktop's input method module for
# Qt 6 (ibus's is part of Qt).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fcitx5-hangul | ibus-hangul, fcitx5-frontend-qt6 | ibus, qt6-wayland")

include(CPack)
