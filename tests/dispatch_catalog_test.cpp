// The type library: registration checks, lookup, argument conversion and by-reference results.
#include <gtest/gtest.h>

#include "dispatch/catalog.h"
#include "dispatch/invoke.h"
#include "tessivo/imaging.h"

namespace tessivo::dispatch {
namespace {

TEST(Catalog, RegisteredFamiliesAreConsistent) {
  const Catalog& catalog = Catalog::Instance();
  for (const std::string& p : catalog.Problems()) ADD_FAILURE() << p;
  ASSERT_FALSE(catalog.Methods().empty());
  for (const MethodEntry& m : catalog.Methods()) {
    EXPECT_TRUE(m.invoke) << m.name;
    for (const Parameter& p : m.params)
      if (p.optional) {
        EXPECT_FALSE(p.defaultValue.IsEmpty()) << m.name << " " << p.name;
      }
  }
}

TEST(Catalog, NamesCompareWithoutRegardToCase) {
  const Catalog& catalog = Catalog::Instance();
  const MethodEntry* exact = catalog.Find("CreateNewImage");
  ASSERT_NE(exact, nullptr);
  EXPECT_EQ(catalog.Find("createnewimage"), exact);
  EXPECT_EQ(catalog.Find("CREATENEWIMAGE"), exact);
  EXPECT_EQ(catalog.Find("CreateNewImag"), nullptr);
  EXPECT_EQ(catalog.FindConstant("pixelformat24bpprgb"), PixelFormat24bppRGB);
  EXPECT_EQ(catalog.ConstantName("TessivoStatus", 2), "InvalidParameter");
}

TEST(Catalog, SignatureShowsTypesAndDefaults) {
  const MethodEntry* m = Catalog::Instance().Find("CreateNewImage");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Signature(),
            "CreateNewImage(nWidth As Long, nHeight As Long, Optional nBitDepth As Integer = 32, "
            "Optional nBackColor As Long = 0xFF000000) As Long");
  EXPECT_EQ(m->RequiredCount(), 2u);
  EXPECT_EQ(m->params[3].defaultValue.ToLong(), static_cast<int32_t>(0xFF000000u));
  const MethodEntry* safety = Catalog::Instance().Find("GetInterfaceSafetyOptions");
  ASSERT_NE(safety, nullptr);
  EXPECT_TRUE(safety->params[1].byRef);
  EXPECT_FALSE(safety->params[0].byRef);  // const std::string& is passed by value
}

// Registrations with mistakes: each is reported and left out; the sound one stays.
void RegisterFaultyFamily(CatalogBuilder& catalog) {
  catalog.Method("CloseImage", &cImaging::CloseImage, "nImageID, nExtra");        // count
  catalog.Method("GetStat", &cImaging::GetStat, "nSurplus");                       // count
  catalog.Method("SetNativeImage", &cImaging::SetNativeImage, "nImageID=NoSuchConstant");
  catalog.Method("TagsSetPreserve", &cImaging::TagsSetPreserve, "bPreserve:Long");  // type
  catalog.Method("CreateClonedImage", &cImaging::CreateClonedImage, "&nImageID");   // by-ref
  catalog.Method("CreateNewImage", &cImaging::CreateNewImage, "nWidth, nHeight=1, nBitDepth, nBackColor");
  catalog.Method("ForceImageValidation", &cImaging::ForceImageValidation, "nImageID=\"abc\"");
  catalog.Method("GetVersion", &cImaging::GetVersion);
  catalog.Method("getversion", &cImaging::GetVersion);  // duplicate, whatever the case
}

TEST(Catalog, RegistrationMistakesAreReportedAndLeftOut) {
  Catalog catalog = Catalog::Build({{"Faulty", &RegisterFaultyFamily}});
  EXPECT_EQ(catalog.Problems().size(), 8u);
  for (const std::string& p : catalog.Problems()) SCOPED_TRACE(p);
  ASSERT_EQ(catalog.Methods().size(), 1u);
  EXPECT_EQ(catalog.Methods()[0].name, "GetVersion");
}

// A stand-in object with by-reference parameters of the kinds the toolkit uses.
struct Probe {
  int32_t Fill(SafeArray<int32_t>& values, int32_t count) {
    values.Redim({ArrayBound{1, count}});
    for (int32_t i = 1; i <= count; ++i) values(i) = i * 10;
    return count;
  }
  void Grid(SafeArray<uint8_t>& pixels) {
    for (int32_t y = pixels.LBound(2); y <= pixels.UBound(2); ++y)
      for (int32_t x = pixels.LBound(1); x <= pixels.UBound(1); ++x) pixels(x, y) = static_cast<uint8_t>(x + 10 * y);
  }
  void Outputs(int32_t& n, double& d, bool& b, std::string& s, PixelFormats& f) {
    n += 1, d *= 2, b = !b, s += "!", f = PixelFormat8bppIndexed;
  }
};

template <typename R, typename... A>
Variant CallProbe(R (Probe::*fn)(A...), std::vector<Variant>& args) {
  Probe probe;
  return detail::Call<R, A...>(probe, fn, args, std::index_sequence_for<A...>{});
}

TEST(Invoker, ByReferenceArraysRoundTrip) {
  // An Empty argument (an unallocated array) receives the array the method built.
  std::vector<Variant> args{Variant(), Variant("3")};
  EXPECT_EQ(CallProbe(&Probe::Fill, args).ToLong(), 3);
  const SafeArray<int32_t>* filled = args[0].Get<SafeArray<int32_t>>();
  ASSERT_NE(filled, nullptr);
  EXPECT_EQ(filled->LBound(), 1);
  EXPECT_EQ(*filled, SafeArray<int32_t>::FromVector({10, 20, 30}, 1));
  EXPECT_EQ(args[1].type(), vtString);  // by-value arguments come back untouched

  // A 2-D array of the exact type is filled in place, first index fastest.
  std::vector<Variant> grid{Variant(SafeArray<uint8_t>({ArrayBound{0, 3}, ArrayBound{1, 2}}))};
  CallProbe(&Probe::Grid, grid);
  const SafeArray<uint8_t>* pixels = grid[0].Get<SafeArray<uint8_t>>();
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels->storage(), (std::vector<uint8_t>{10, 11, 12, 20, 21, 22}));

  // An array of another element type is converted in and comes back as the parameter's type.
  std::vector<Variant> longs{Variant(SafeArray<int32_t>({ArrayBound{0, 2}, ArrayBound{0, 1}}))};
  CallProbe(&Probe::Grid, longs);
  ASSERT_NE(longs[0].Get<SafeArray<uint8_t>>(), nullptr);
  EXPECT_EQ(longs[0].Get<SafeArray<uint8_t>>()->storage(), (std::vector<uint8_t>{0, 1}));
}

TEST(Invoker, ScalarOutputsAndEnums) {
  std::vector<Variant> args{Variant(int16_t{4}), Variant(1.5), Variant(true), Variant("hi"), Variant(0)};
  CallProbe(&Probe::Outputs, args);
  EXPECT_EQ(args[0], Variant(int32_t{5}));
  EXPECT_EQ(args[1], Variant(3.0));
  EXPECT_EQ(args[2], Variant(false));
  EXPECT_EQ(args[3], Variant("hi!"));
  EXPECT_EQ(args[4], Variant(static_cast<int32_t>(PixelFormat8bppIndexed)));
}

TEST(Invoker, FailedConversionNamesTheArgumentAndLosesNothing) {
  SafeArray<int32_t> kept = SafeArray<int32_t>::FromVector({1, 2, 3});
  std::vector<Variant> args{Variant(kept), Variant("many")};
  try {
    CallProbe(&Probe::Fill, args);
    ADD_FAILURE() << "expected a type mismatch";
  } catch (const ArgumentError& e) {
    EXPECT_EQ(e.index, 1u);
    EXPECT_EQ(e.code(), DispatchTypeMismatch);
  }
  EXPECT_EQ(args[0], Variant(kept));
}

TEST(Invoke, LateBindingReportsErrorsAndFillsByReferenceArguments) {
  cImaging imaging;
  std::vector<Variant> none;
  InvokeResult unknown = imaging.Invoke("NoSuchMethod", none);
  EXPECT_EQ(unknown.error, DispatchUnknownName);
  EXPECT_NE(unknown.message.find("NoSuchMethod"), std::string::npos);

  std::vector<Variant> tooFew{Variant(1)};
  InvokeResult count = imaging.Invoke("createNEWimage", tooFew);
  EXPECT_EQ(count.error, DispatchBadParamCount);
  EXPECT_EQ(count.message, "CreateNewImage takes 2 to 4 arguments, 1 given");

  std::vector<Variant> bad{Variant(10), Variant("tall")};
  InvokeResult mismatch = imaging.Invoke("CreateNewImage", bad);
  EXPECT_EQ(mismatch.error, DispatchTypeMismatch);
  EXPECT_EQ(mismatch.argumentIndex, 1);
  EXPECT_NE(mismatch.message.find("parameter nHeight (Long)"), std::string::npos) << mismatch.message;
  EXPECT_EQ(bad[1], Variant("tall"));

  std::vector<Variant> overflow{Variant(10), Variant(10), Variant(40000)};
  EXPECT_EQ(imaging.Invoke("CreateNewImage", overflow).error, DispatchOverflow);

  std::vector<Variant> safety{Variant("{00020400-0000-0000-c000-000000000046}"), Variant(), Variant()};
  InvokeResult answered = imaging.Invoke("getinterfacesafetyoptions", safety);
  ASSERT_TRUE(answered.ok()) << answered.message;
  EXPECT_EQ(answered.value.ToLong(), 0);
  EXPECT_EQ(safety[1], Variant(int32_t{3}));
  EXPECT_EQ(safety[2], Variant(int32_t{1}));
}

}  // namespace
}  // namespace tessivo::dispatch
