#include "platform/graphics/cairo_status.h"

namespace tessivo::platform {

Status FromCairoStatus(cairo_status_t status) {
  switch (status) {
    case CAIRO_STATUS_SUCCESS:
      return Status::Ok;
    case CAIRO_STATUS_NO_MEMORY:
      return Status::OutOfMemory;
    case CAIRO_STATUS_INVALID_MATRIX:
    case CAIRO_STATUS_INVALID_STRING:
    case CAIRO_STATUS_INVALID_PATH_DATA:
    case CAIRO_STATUS_INVALID_CONTENT:
    case CAIRO_STATUS_INVALID_FORMAT:
    case CAIRO_STATUS_INVALID_VISUAL:
    case CAIRO_STATUS_INVALID_DASH:
    case CAIRO_STATUS_INVALID_DSC_COMMENT:
    case CAIRO_STATUS_INVALID_INDEX:
    case CAIRO_STATUS_INVALID_STRIDE:
    case CAIRO_STATUS_NEGATIVE_COUNT:
    case CAIRO_STATUS_INVALID_CLUSTERS:
    case CAIRO_STATUS_INVALID_SLANT:
    case CAIRO_STATUS_INVALID_WEIGHT:
    case CAIRO_STATUS_INVALID_MESH_CONSTRUCTION:
    case CAIRO_STATUS_NULL_POINTER:
    case CAIRO_STATUS_INVALID_STATUS:
    case CAIRO_STATUS_TAG_ERROR:
      return Status::InvalidParameter;
    case CAIRO_STATUS_INVALID_SIZE:
      return Status::ValueOverflow;
    case CAIRO_STATUS_INVALID_RESTORE:
    case CAIRO_STATUS_INVALID_POP_GROUP:
    case CAIRO_STATUS_NO_CURRENT_POINT:
    case CAIRO_STATUS_SURFACE_FINISHED:
    case CAIRO_STATUS_DEVICE_FINISHED:
    case CAIRO_STATUS_USER_FONT_IMMUTABLE:
      return Status::WrongState;
    case CAIRO_STATUS_SURFACE_TYPE_MISMATCH:
    case CAIRO_STATUS_PATTERN_TYPE_MISMATCH:
    case CAIRO_STATUS_DEVICE_TYPE_MISMATCH:
    case CAIRO_STATUS_CLIP_NOT_REPRESENTABLE:
    case CAIRO_STATUS_USER_FONT_NOT_IMPLEMENTED:
    case CAIRO_STATUS_JBIG2_GLOBAL_MISSING:
      return Status::NotImplemented;
    case CAIRO_STATUS_FILE_NOT_FOUND:
      return Status::FileNotFound;
    case CAIRO_STATUS_FONT_TYPE_MISMATCH:
      return Status::NotTrueTypeFont;
    case CAIRO_STATUS_READ_ERROR:
    case CAIRO_STATUS_WRITE_ERROR:
    case CAIRO_STATUS_TEMP_FILE_ERROR:
    case CAIRO_STATUS_DEVICE_ERROR:
    case CAIRO_STATUS_WIN32_GDI_ERROR:
      return Status::Win32Error;
    case CAIRO_STATUS_USER_FONT_ERROR:
    case CAIRO_STATUS_PNG_ERROR:
    case CAIRO_STATUS_FREETYPE_ERROR:
    case CAIRO_STATUS_LAST_STATUS:
      return Status::GenericError;
  }
  return Status::GenericError;
}

}  // namespace tessivo::platform
