# Third-party libraries of the core library, each as an imported pkg-config target.
# Plug-ins find their own dependencies (ImageMagick, Tesseract, ...) in their own folders.
pkg_check_modules(ZLIB_PC REQUIRED IMPORTED_TARGET zlib)
# Image codecs of the platform layer (src/platform/codecs).
pkg_check_modules(PNG_PC REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEG_PC REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(TURBOJPEG_PC REQUIRED IMPORTED_TARGET libturbojpeg)
pkg_check_modules(TIFF_PC REQUIRED IMPORTED_TARGET libtiff-4)
pkg_check_modules(EXIV2_PC REQUIRED IMPORTED_TARGET exiv2)
pkg_check_modules(LCMS2_PC REQUIRED IMPORTED_TARGET lcms2)
# giflib ships no pkg-config file.
find_path(GIF_INCLUDE_DIR gif_lib.h REQUIRED)
find_library(GIF_LIBRARY NAMES gif REQUIRED)
add_library(tessivo_giflib INTERFACE)
target_include_directories(tessivo_giflib INTERFACE ${GIF_INCLUDE_DIR})
target_link_libraries(tessivo_giflib INTERFACE ${GIF_LIBRARY})
# HTTP and FTP transfer (src/transfer): headers only, libcurl is opened on first use.
pkg_check_modules(CURL_PC REQUIRED IMPORTED_TARGET libcurl)
# Rasterising for the graphics surfaces (src/platform/graphics).
pkg_check_modules(CAIRO_PC REQUIRED IMPORTED_TARGET cairo)
# Fonts for string drawing (src/platform/graphics) and the PDF writer's fonts (src/pdf): faces found through Fontconfig, measured with FreeType.
pkg_check_modules(FREETYPE_PC REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG_PC REQUIRED IMPORTED_TARGET fontconfig)
# The PDF writer's encryption (src/pdf): MD5 and RC4 of OpenSSL's libcrypto; headers only,
# libcrypto is opened on first use.
pkg_check_modules(LIBCRYPTO_PC REQUIRED IMPORTED_TARGET libcrypto)
# Printing (src/platform/print): destinations, media and jobs of the CUPS spooler; headers only,
# libcups is opened on first use.
find_package(Cups REQUIRED)
