# Third-party libraries of the core library, each as an imported pkg-config target.
# Plug-ins find their own dependencies (ImageMagick, Tesseract, ...) in their own folders.
pkg_check_modules(ZLIB_PC REQUIRED IMPORTED_TARGET zlib)
# giflib: the platform GIF codec and the tests that decode the toolkit's own GIF files.
find_package(GIF REQUIRED)
