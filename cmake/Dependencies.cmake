# Third-party libraries of the core library, each as an imported pkg-config target.
# Plug-ins find their own dependencies (ImageMagick, Tesseract, ...) in their own folders.
pkg_check_modules(ZLIB_PC REQUIRED IMPORTED_TARGET zlib)
