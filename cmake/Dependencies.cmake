# Every dependency is REQUIRED: a package missing from scripts/setup stops the
# configure step with its name.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(HARFBUZZ REQUIRED IMPORTED_TARGET harfbuzz)
pkg_check_modules(CLIPPER REQUIRED IMPORTED_TARGET polyclipping)
pkg_check_modules(GEOGRAPHICLIB REQUIRED IMPORTED_TARGET geographiclib)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-xinput xcb-shape xcb-shm xcb-keysyms xcb-randr
                  xkbcommon xkbcommon-x11 cairo-xcb)
find_package(nlohmann_json 3 REQUIRED)

if(PLUMBLINE_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(PLUMBLINE_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()
