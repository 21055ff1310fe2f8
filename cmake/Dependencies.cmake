# Every library comes from Debian's -dev packages (scripts/setup.sh installs them).
find_package(SDL2 2.0.14 REQUIRED CONFIG)
find_package(SDL2_image REQUIRED CONFIG)
find_package(SDL2_ttf REQUIRED CONFIG)
find_package(SDL2_mixer REQUIRED CONFIG)
find_package(SDL2_net REQUIRED CONFIG)
find_package(CURL REQUIRED)
find_package(Boost 1.74 REQUIRED COMPONENTS regex filesystem date_time system)
find_package(PkgConfig REQUIRED)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)
find_package(Threads REQUIRED)
# Asking the X server whether it offers direct rendering (SDL has the library loaded anyway).
find_package(X11 REQUIRED)

add_library(tanzo_deps INTERFACE)
# The add-on targets do not pull in SDL2 itself.
target_link_libraries(tanzo_deps INTERFACE
  SDL2_image::SDL2_image SDL2_ttf::SDL2_ttf SDL2_net::SDL2_net
  SDL2::SDL2
  Boost::regex Boost::filesystem Boost::date_time Boost::system
  PkgConfig::TINYXML
  X11::X11
  Threads::Threads)
# The transfer library is opened only when an update check is made (shell/update_check.cpp): only
# its header is needed to build.
target_include_directories(tanzo_deps INTERFACE ${CURL_INCLUDE_DIRS})
# So is the mixer library, after the first frame (shell/audio_out_manager.cpp): with its codecs it
# is fourteen libraries the loader would otherwise map and bind before the program starts.
target_include_directories(tanzo_deps INTERFACE
  $<TARGET_PROPERTY:SDL2_mixer::SDL2_mixer,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(tanzo_deps INTERFACE ${CMAKE_DL_LIBS})
# Debian's tinyxml.h defines it itself; the library is built with it.
target_compile_definitions(tanzo_deps INTERFACE TIXML_USE_STL)
