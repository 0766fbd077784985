// Tag display names and the Tags enumeration scripts see.
#include <gtest/gtest.h>

#include "dispatch/catalog.h"
#include "formats/tag_names.h"
#include "tessivo/enums_metadata.h"

namespace tessivo {
namespace {

TEST(TagNames, NamedAndUnnamedIds) {
  EXPECT_EQ(TagDisplayName(TagArtist), "Artist");
  EXPECT_EQ(TagDisplayName(tagXResolution), "XResolution");
  EXPECT_EQ(TagDisplayName(TagJPEGProc), "JPEroc");
  EXPECT_EQ(TagDisplayName(TagSubfileType), "SubFileType");
  EXPECT_EQ(TagDisplayName(TagGpsProcessingMethod), "ProcessingMethod");
  EXPECT_EQ(TagDisplayName(TagGpsVer), "GpsVer");
  EXPECT_EQ(TagDisplayName(TagPrintIMData), "PrintIMData");
  EXPECT_EQ(TagDisplayName(TagGpsIFD), "8825");  // the pointer has no name
  EXPECT_EQ(TagDisplayName(0xABCDE), "ABCDE");
}

TEST(TagNames, EveryEnumerationMemberButTheGpsPointerIsNamedAfterItself) {
  int members = 0;
  for (const dispatch::EnumConstant& c : dispatch::Catalog::Instance().Constants()) {
    if (c.enumName != "Tags") continue;
    ++members;
    const std::string name = TagDisplayName(static_cast<uint32_t>(c.value));
    if (c.value == TagGpsIFD || c.value == TagJPEGProc || c.value == TagSubfileType ||
        c.value == TagGpsProcessingMethod)
      continue;
    EXPECT_EQ("Tag" + name, c.name == "tagXResolution" ? "TagXResolution" : c.name);
  }
  EXPECT_EQ(members, 238);
}

}  // namespace
}  // namespace tessivo
