// The per-thread image registry: IDs, slot reuse, release of documents and their files, page
// resolution, and the tags carried over when an image is rebuilt.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

std::shared_ptr<platform::Bitmap> SmallBitmap() {
  std::unique_ptr<platform::Bitmap> b;
  EXPECT_EQ(platform::Bitmap::Create(2, 2, platform::kPixelFormat24bppRGB, b), platform::Status::Ok);
  return b;
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

std::string MakeTempFile(const char* name) {
  std::string path = std::string(TESSIVO_BINARY_DIR) + "/test-tmp/" + name;
  std::ofstream(path) << "page";
  return path;
}

TEST(ImageRegistry, InstancesOfOneThreadShareItAndTheLastOneReleasesIt) {
  auto first = std::make_unique<cImaging>();
  auto second = std::make_unique<cImaging>();
  int32_t id = first->CreateNewImage(8, 8);
  ASSERT_NE(id, 0);
  second->SetNativeImage(id);
  EXPECT_EQ(second->GetImageFormat(), "Memory BMP");

  first.reset();
  EXPECT_GE(FindImage(id), 0) << "images outlive the instance that made them";
  second.reset();
  EXPECT_EQ(ImageRegistry::Current().Count(), 0);
}

TEST(ImageRegistry, RemoveAllImageOnOneInstanceClosesTheOthersImages) {
  cImaging a, b;
  int32_t id = b.CreateNewImage(4, 4);
  TessivoStatus before = a.GetStat();
  a.RemoveAllImage();
  EXPECT_LT(FindImage(id), 0);
  EXPECT_EQ(b.GetNativeImage(), id) << "the native ID is left as it is";
  EXPECT_EQ(a.GetStat(), before);
}

TEST(ImageRegistry, FreedSlotsAreReusedBeforeTheTableGrowsAndTheLastSlotShrinksIt) {
  cImaging im;
  ImageRegistry& reg = ImageRegistry::Current();
  int32_t a = im.CreateNewImage(2, 2), b = im.CreateNewImage(2, 2), c = im.CreateNewImage(2, 2);
  ASSERT_EQ(reg.Count(), 3);
  ASSERT_EQ(im.CloseImage(b), OK);
  EXPECT_EQ(reg.Count(), 3) << "a slot in the middle is cleared in place";
  int32_t d = im.CreateNewImage(2, 2);
  EXPECT_EQ(reg.Find(d), 1);
  EXPECT_EQ(reg.Count(), 3);
  ASSERT_EQ(im.CloseImage(c), OK);
  EXPECT_EQ(reg.Count(), 2);
  EXPECT_EQ(reg.Find(a), 0);
}

TEST(ImageRegistry, IdsAreDistinctNonZeroAndBelowTheRange) {
  std::set<int32_t> ids;
  for (int i = 0; i < 300; ++i) {
    int32_t id = 0;
    RegisterImage(id, SmallBitmap(), "", "", OriginMemory);
    EXPECT_GT(id, 0);
    EXPECT_LT(id, 100000000);
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 300u) << "images made within one clock tick must not share an ID";
  ReleaseAllImages();
  EXPECT_EQ(ImageRegistry::Current().Count(), 0);
}

TEST(ImageRegistry, UnknownIdsAreInvalidParameterAndZeroIsNeverFound) {
  EXPECT_EQ(FindImage(0), -1);
  EXPECT_EQ(ReleaseImageEntry(0), InvalidParameter);
  EXPECT_EQ(ReleaseImageEntry(12345), InvalidParameter);
  EXPECT_EQ(ResolveImage(12345), nullptr);
  EXPECT_EQ(ResolvePageID(12345), 0);
}

TEST(ImageRegistry, ADocumentReleasesItsPagesTheirFilesAndItsOwnTemporaryFile) {
  int32_t page1 = 0, page2 = 0, doc = 0;
  RegisterImage(page1, SmallBitmap(), "TIFF", "", OriginFile);
  RegisterImage(page2, SmallBitmap(), "TIFF", "", OriginFile);
  int32_t slot = RegisterImage(doc, nullptr, "TIFF", MakeTempFile("doc.tif"), OriginMemory);
  ImageEntry& e = ImageRegistry::Current().Slot(slot);
  e.multiPageTiff = true;
  e.pageCount = 3;
  e.pageIds = {page1, 0, page2};
  e.pageFiles = {MakeTempFile("p1.tif"), MakeTempFile("p2.tif"), ""};
  e.currentPage = 2;
  e.deleteFileOnClose = true;
  std::string docFile = e.filePath, p1 = e.pageFiles[0], p2 = e.pageFiles[1];

  EXPECT_EQ(ResolvePageID(doc), page2);
  EXPECT_EQ(ResolveImage(doc), ResolveImage(page2));

  EXPECT_EQ(ReleaseImageEntry(doc), OK);
  EXPECT_LT(FindImage(page1), 0);
  EXPECT_LT(FindImage(page2), 0);
  EXPECT_FALSE(FileExists(p1));
  EXPECT_FALSE(FileExists(p2));
  EXPECT_FALSE(FileExists(docFile));
  int32_t next = 0;
  RegisterImage(next, SmallBitmap(), "", "", OriginMemory);
  EXPECT_EQ(FindImage(next), 0) << "the pages' slots are free again";
  ReleaseAllImages();
}

TEST(ImageRegistry, PageResolutionOfEmptyReadOnlyAndBrokenDocuments) {
  int32_t doc = 0;
  int32_t slot = RegisterImage(doc, SmallBitmap(), "GIF", "", OriginFile);
  ImageEntry& e = ImageRegistry::Current().Slot(slot);
  e.multiPageGif = true;
  EXPECT_EQ(ResolvePageID(doc), 0) << "no pages";
  e.pageCount = 2;
  e.readOnly = 1;
  EXPECT_EQ(ResolvePageID(doc), doc) << "read-only platform document shows its active frame";
  e.readOnly = 0;
  e.pageIds = {0, 0};
  e.currentPage = 5;  // beyond the page list: nothing, not a crash
  EXPECT_EQ(ResolvePageID(doc), 0);
  EXPECT_EQ(ResolveImage(doc), nullptr);
  ReleaseAllImages();
}

TEST(CapturedTags, ResolutionAndPropertiesFollowARebuiltImage) {
  int32_t oldId = 0, newId = 0;
  auto old = SmallBitmap();
  old->SetResolution(300, 200);
  old->SetProperty({0x010F, 2, {'A', 0}});
  old->SetProperty({34675, 7, {1, 2, 3}});
  RegisterImage(oldId, old, "", "", OriginMemory);
  RegisterImage(newId, SmallBitmap(), "", "", OriginMemory);

  CapturedTags store;
  CaptureTags(store, true, oldId);
  EXPECT_EQ(store.items.size(), 2u);
  RestoreTags(store, true, newId, /*skipIccProfile=*/true);
  platform::Bitmap* rebuilt = ResolveImage(newId);
  EXPECT_EQ(rebuilt->HorizontalResolution(), 300.0f);
  EXPECT_EQ(rebuilt->VerticalResolution(), 200.0f);
  platform::PropertyItem item;
  EXPECT_EQ(rebuilt->GetProperty(0x010F, item), platform::Status::Ok);
  EXPECT_EQ(rebuilt->GetProperty(34675, item), platform::Status::PropertyNotFound);
  EXPECT_TRUE(store.items.empty());

  CaptureTags(store, false, oldId);
  EXPECT_TRUE(store.items.empty()) << "without preservation only the resolution is kept";
  ReleaseAllImages();
}

}  // namespace
}  // namespace tessivo
