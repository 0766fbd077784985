// Type library entries of the codec plug-in's own methods: IPTC records and ICC profiles of
// files.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(CodecPluginMethods) {
  catalog.Enum<TagTypes>({
      {"TagTypeByte", TagTypeByte},
      {"TagTypeASCII", TagTypeASCII},
      {"TagTypeShort", TagTypeShort},
      {"TagTypeLong", TagTypeLong},
      {"TagTypeRational", TagTypeRational},
      {"TagTypeUndefined", TagTypeUndefined},
      {"TagTypeSSHORT", TagTypeSSHORT},
      {"TagTypeSLONG", TagTypeSLONG},
      {"TagTypeSRational", TagTypeSRational},
  });
  catalog.Method("IPTCTagCount", &cImaging::IPTCTagCount);
  catalog.Method("IPTCTagGetID", &cImaging::IPTCTagGetID, "nTagNo");
  catalog.Method("IPTCTagGetLength", &cImaging::IPTCTagGetLength, "nTagNo");
  catalog.Method("IPTCTagGetType", &cImaging::IPTCTagGetType, "nTagNo");
  catalog.Method("IPTCTagGetValueString", &cImaging::IPTCTagGetValueString, "nTagNo");
  catalog.Method("IPTCTagGetValueBytes", &cImaging::IPTCTagGetValueBytes, "nTagNo, &arTagData");
  catalog.Method("ICCRemoveProfileToFile", &cImaging::ICCRemoveProfileToFile, "sFilePath");
  catalog.Method("ICCAddProfileToFile", &cImaging::ICCAddProfileToFile, "sImagePath, sProfilePath");
}

}  // namespace tessivo::dispatch
