// The Imaging control, script safety and the base64 string methods.
#include <gtest/gtest.h>

#include "control/object_safety.h"
#include "core/imaging_state.h"
#include "tessivo/facade.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

constexpr const char* kIDispatch = "{00020400-0000-0000-C000-000000000046}";
constexpr const char* kIPersistStorage = "{0000010A-0000-0000-C000-000000000046}";
constexpr const char* kIPersistStream = "{00000109-0000-0000-C000-000000000046}";
constexpr const char* kIPersistPropertyBag = "{37D84F60-42CB-11CE-8135-00AA004BB851}";
constexpr const char* kIUnknown = "{00000000-0000-0000-C000-000000000046}";

TEST(ObjectSafety, GetOptionsAnswersByInterface) {
  cImaging imaging;
  Imaging control;
  for (bool viaControl : {false, true}) {
    SCOPED_TRACE(viaControl ? "Imaging" : "cImaging");
    auto get = [&](const char* iid, int32_t& supported, int32_t& enabled) {
      return viaControl ? control.GetInterfaceSafetyOptions(iid, supported, enabled)
                        : imaging.GetInterfaceSafetyOptions(iid, supported, enabled);
    };
    int32_t supported = 0, enabled = -7;
    EXPECT_EQ(get(kIDispatch, supported, enabled), 0);
    EXPECT_EQ(supported, 3);
    EXPECT_EQ(enabled, 1);
    for (const char* persistence : {kIPersistStorage, kIPersistStream, kIPersistPropertyBag}) {
      enabled = -7;
      EXPECT_EQ(get(persistence, supported, enabled), 0) << persistence;
      EXPECT_EQ(enabled, 2) << persistence;
    }
    // Any case, braces optional.
    EXPECT_EQ(get("37d84f60-42cb-11ce-8135-00aa004bb851", supported, enabled), 0);
    EXPECT_EQ(enabled, 2);
    enabled = -7;
    EXPECT_EQ(get(kIUnknown, supported, enabled), static_cast<int32_t>(0x80004002u));
    EXPECT_EQ(enabled, -7);
    EXPECT_EQ(get("not a guid", supported, enabled), static_cast<int32_t>(0x80004002u));
  }
  // The control answers for itself, without creating its inner object.
  EXPECT_FALSE(control.HasObject());
}

TEST(ObjectSafety, SetOptionsAcceptsExactlyTheSafeOption) {
  cImaging imaging;
  const int32_t fail = static_cast<int32_t>(0x80004005u), noInterface = static_cast<int32_t>(0x80004002u);
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIDispatch, 1, 1), 0);
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIDispatch, 3, 1), 0);  // mask AND enabled = 1
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIDispatch, 3, 3), fail);
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIDispatch, 2, 2), fail);
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIDispatch, 0, 0), fail);
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIPersistStream, 2, 2), 0);
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIPersistPropertyBag, 1, 1), fail);
  EXPECT_EQ(imaging.SetInterfaceSafetyOptions(kIUnknown, 1, 1), noInterface);
  Imaging control;
  EXPECT_EQ(control.SetInterfaceSafetyOptions(kIPersistStorage, 2, 3), 0);
}

TEST(ObjectSafety, FlagsOffDisableTheOptions) {
  SafetyFlags off{false, false};
  int32_t supported = 0, enabled = -1;
  EXPECT_EQ(GetSafetyOptions(kIDispatch, supported, enabled, off), 0);
  EXPECT_EQ(supported, 3);
  EXPECT_EQ(enabled, 0);
  EXPECT_EQ(GetSafetyOptions(kIPersistStream, supported, enabled, off), 0);
  EXPECT_EQ(enabled, 0);
  EXPECT_EQ(SetSafetyOptions(kIDispatch, 1, 1, off), static_cast<int32_t>(0x80004005u));
  EXPECT_EQ(SetSafetyOptions(kIPersistStream, 2, 2, off), static_cast<int32_t>(0x80004005u));
}

TEST(ImagingControl, CreatesItsObjectOnFirstUseAndForwards) {
  Imaging control;
  EXPECT_FALSE(control.HasObject());
  EXPECT_DOUBLE_EQ(control->GetVersion(), 5.9901307);
  EXPECT_TRUE(control.HasObject());

  Imaging late;
  std::vector<Variant> args{Variant("abc")};
  InvokeResult r = late.Invoke("encode64string", args);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_TRUE(late.HasObject());
  EXPECT_EQ(r.value, Variant("YWJj"));

  std::vector<Variant> none;
  EXPECT_EQ(late.Invoke("NoSuchMethod", none).error, DispatchUnknownName);
}

TEST(ImagingControl, TwoControlsShareTheThreadsImages) {
  Imaging first, second;
  int32_t id = first->CreateNewImage(8, 8);
  ASSERT_NE(id, 0);
  EXPECT_EQ(second->CloseImage(id), OK);
  EXPECT_EQ(first->CloseImage(id), InvalidParameter);
}

TEST(ImagingControl, KeepsItsFixedSize) {
  Imaging control;
  EXPECT_EQ(control.Width(), 420);
  EXPECT_EQ(control.Height(), 420);
  control.Resize(1000, 30);
  EXPECT_EQ(control.Width(), 420);
  EXPECT_EQ(control.Height(), 420);
}

TEST(Base64String, EncodesWithLineBreaksEveryFortyCharacters) {
  cImaging imaging;
  EXPECT_EQ(imaging.Encode64String("abc"), "YWJj");
  EXPECT_EQ(imaging.Encode64String("a"), "YQ==");
  EXPECT_EQ(imaging.Encode64String("ab"), "YWI=");
  EXPECT_EQ(imaging.Encode64String(""), "");

  std::string thirty(30, 'x');
  std::string line = imaging.Encode64String(thirty);
  EXPECT_EQ(line, "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4\r\n");

  // 31 bytes: the full line, then the rest padded; 29 bytes: padding makes the line 40 long
  // without a break, since breaks follow base64 characters only.
  EXPECT_EQ(imaging.Encode64String(thirty + "x"), line + "eA==");
  std::string twentyNine = imaging.Encode64String(std::string(29, 'x'));
  EXPECT_EQ(twentyNine.size(), 40u);
  EXPECT_EQ(twentyNine.substr(36), "eHg=");

  std::string sixty = imaging.Encode64String(std::string(60, 'x'));
  EXPECT_EQ(sixty.size(), 84u);
  EXPECT_EQ(sixty.substr(40, 2), "\r\n");
  EXPECT_EQ(sixty.substr(82), "\r\n");
}

TEST(Base64String, TextIsOneBytePerCharacterInWindows1252) {
  cImaging imaging;
  EXPECT_EQ(imaging.Encode64String("\xE2\x82\xAC"), "gA==");  // the euro sign is byte 0x80
  EXPECT_EQ(imaging.Encode64String("\xC3\xA9"), "6Q==");      // é is 0xE9
  EXPECT_EQ(imaging.Decode64String("gA=="), "\xE2\x82\xAC");
  EXPECT_EQ(imaging.Encode64String("\xF0\x9F\x98\x80"), "Pw==");  // outside the code page: '?'

  std::string text = "Grüße, “quoted” – 100 € ¼";
  EXPECT_EQ(imaging.Decode64String(imaging.Encode64String(text)), text);
  std::string longText(100, 'q');
  EXPECT_EQ(imaging.Decode64String(imaging.Encode64String(longText)), longText);
}

TEST(Base64String, DecodingSkipsCharactersOutsideTheAlphabet) {
  cImaging imaging;
  EXPECT_EQ(imaging.Decode64String("YW Jj\r\n=="), "abc");
  EXPECT_EQ(imaging.Decode64String("YQ"), "a");         // unpadded
  EXPECT_EQ(imaging.Decode64String("YWI"), "ab");
  EXPECT_EQ(imaging.Decode64String("Y"), "");            // a lone character carries no byte
  EXPECT_EQ(imaging.Decode64String("!!*~"), "");
  EXPECT_EQ(imaging.Decode64String("/w=="), "\xC3\xBF");  // byte 0xFF is ÿ
}

TEST(Base64String, LeavesTheStatusAsItWas) {
  cImaging imaging;
  imaging.State().Set(FileNotFound);
  imaging.Encode64String("abc");
  imaging.Decode64String("YWJj");
  int32_t supported = 0, enabled = 0;
  imaging.GetInterfaceSafetyOptions(kIUnknown, supported, enabled);
  EXPECT_EQ(imaging.GetStat(), FileNotFound);
}

}  // namespace
}  // namespace tessivo
