// TWAIN's capability numbers and standard paper sizes, as the session maps them onto SANE.
#pragma once
#include <cstdint>

namespace tvtwain {

enum : int32_t {
  CAP_XFERCOUNT = 0x0001,
  ICAP_COMPRESSION = 0x0100,
  ICAP_PIXELTYPE = 0x0101,
  ICAP_UNITS = 0x0102,
  ICAP_XFERMECH = 0x0103,
  CAP_AUTHOR = 0x1000,
  CAP_CAPTION = 0x1001,
  CAP_FEEDERENABLED = 0x1002,
  CAP_FEEDERLOADED = 0x1003,
  CAP_TIMEDATE = 0x1004,
  CAP_SUPPORTEDCAPS = 0x1005,
  CAP_AUTOFEED = 0x1007,
  CAP_INDICATORS = 0x100b,
  CAP_UICONTROLLABLE = 0x100e,
  CAP_DEVICEONLINE = 0x100f,
  CAP_AUTOSCAN = 0x1010,
  CAP_DUPLEX = 0x1012,
  CAP_DUPLEXENABLED = 0x1013,
  ICAP_AUTOBRIGHT = 0x1100,
  ICAP_BRIGHTNESS = 0x1101,
  ICAP_CONTRAST = 0x1103,
  ICAP_HALFTONES = 0x1109,
  ICAP_PHYSICALWIDTH = 0x1111,
  ICAP_PHYSICALHEIGHT = 0x1112,
  ICAP_XRESOLUTION = 0x1118,
  ICAP_YRESOLUTION = 0x1119,
  ICAP_PIXELFLAVOR = 0x111f,
  ICAP_PLANARCHUNKY = 0x1120,
  ICAP_SUPPORTEDSIZES = 0x1122,
  ICAP_THRESHOLD = 0x1123,
  ICAP_BITDEPTH = 0x112b,
  ICAP_AUTODISCARDBLANKPAGES = 0x1134,
  ICAP_BARCODEDETECTIONENABLED = 0x1137,
  ICAP_AUTOMATICBORDERDETECTION = 0x1150,
  ICAP_AUTOMATICDESKEW = 0x1151,
  ICAP_AUTOMATICROTATE = 0x1152,
  ICAP_AUTOSIZE = 0x1156,
};

// The capabilities the session answers (CAP_SUPPORTEDCAPS lists them); the device's options
// decide whether the SANE-backed ones answer for a given source.
inline constexpr int32_t kSupportedCaps[] = {
    CAP_XFERCOUNT,      ICAP_COMPRESSION,    ICAP_PIXELTYPE,     ICAP_UNITS,
    ICAP_XFERMECH,      CAP_AUTHOR,          CAP_CAPTION,        CAP_FEEDERENABLED,
    CAP_FEEDERLOADED,   CAP_TIMEDATE,        CAP_SUPPORTEDCAPS,  CAP_INDICATORS,
    CAP_UICONTROLLABLE, CAP_DEVICEONLINE,    CAP_DUPLEX,         CAP_DUPLEXENABLED,
    ICAP_BRIGHTNESS,    ICAP_CONTRAST,       ICAP_HALFTONES,     ICAP_PHYSICALWIDTH,
    ICAP_PHYSICALHEIGHT, ICAP_XRESOLUTION,   ICAP_YRESOLUTION,   ICAP_PIXELFLAVOR,
    ICAP_PLANARCHUNKY,  ICAP_SUPPORTEDSIZES, ICAP_THRESHOLD,     ICAP_BITDEPTH,
};

// A standard paper size (TWSS_...) in millimetres, portrait.
struct PaperSize {
  int32_t code;
  double width, height;
};

inline constexpr PaperSize kPaperSizes[] = {
    {1, 210, 297},       {2, 182, 257},     {3, 215.9, 279.4},  {4, 215.9, 355.6},
    {5, 148, 210},       {6, 250, 353},     {7, 125, 176},      {9, 279.4, 431.8},
    {10, 184.15, 266.7}, {11, 297, 420},    {12, 353, 500},     {13, 105, 148},
    {14, 229, 324},      {15, 162, 229},    {16, 114, 162},     {17, 1682, 2378},
    {18, 1189, 1682},    {19, 841, 1189},   {20, 594, 841},     {21, 420, 594},
    {22, 74, 105},       {23, 52, 74},      {24, 37, 52},       {25, 26, 37},
    {26, 1000, 1414},    {27, 707, 1000},   {28, 500, 707},     {29, 176, 250},
    {30, 88, 125},       {31, 62, 88},      {32, 44, 62},       {33, 31, 44},
    {34, 1030, 1456},    {35, 728, 1030},   {36, 515, 728},     {37, 364, 515},
    {38, 257, 364},      {39, 128, 182},    {40, 91, 128},      {41, 64, 91},
    {42, 45, 64},        {43, 32, 45},      {44, 917, 1297},    {45, 648, 917},
    {46, 458, 648},      {47, 324, 458},    {48, 81, 114},      {49, 57, 81},
    {50, 40, 57},        {51, 28, 40},      {52, 139.7, 215.9}, {53, 50.8, 88.9},
};

}  // namespace tvtwain
