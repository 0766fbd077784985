// Type library entries of the scanning methods and their enumerations.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Twain) {
  catalog.Enum<TwainStatus>({{"TWAIN_ERROR", TWAIN_ERROR}, {"TWAIN_PRESESSION", TWAIN_PRESESSION},
                             {"TWAIN_SM_LOADED", TWAIN_SM_LOADED}, {"TWAIN_SM_OPEN", TWAIN_SM_OPEN},
                             {"TWAIN_SOURCE_OPEN", TWAIN_SOURCE_OPEN},
                             {"TWAIN_SOURCE_ENABLED", TWAIN_SOURCE_ENABLED},
                             {"TWAIN_TRANSFER_READY", TWAIN_TRANSFER_READY},
                             {"TWAIN_TRANSFERRING", TWAIN_TRANSFERRING}});
  catalog.Enum<TwainPixelType>({{"TWPT_BW", TWPT_BW}, {"TWPT_GRAY", TWPT_GRAY}, {"TWPT_RGB", TWPT_RGB},
                                {"TWPT_PALETTE", TWPT_PALETTE}, {"TWPT_CMY", TWPT_CMY},
                                {"TWPT_CMYK", TWPT_CMYK}, {"TWPT_YUV", TWPT_YUV},
                                {"TWPT_YUVK", TWPT_YUVK}, {"TWPT_CIEXYZ", TWPT_CIEXYZ},
                                {"TWPT_LAB", TWPT_LAB}, {"TWPT_SRGB", TWPT_SRGB},
                                {"TWPT_SCRGB", TWPT_SCRGB}, {"TWPT_INFRARED", TWPT_INFRARED}});
  catalog.Enum<TwainResultCode>(
      {{"TWRC_SUCCESS", TWRC_SUCCESS}, {"TWRC_FAILURE", TWRC_FAILURE},
       {"TWRC_CHECKSTATUS", TWRC_CHECKSTATUS}, {"TWRC_CANCEL", TWRC_CANCEL},
       {"TWRC_DSEVENT", TWRC_DSEVENT}, {"TWRC_NOTDSEVENT", TWRC_NOTDSEVENT},
       {"TWRC_XFERDONE", TWRC_XFERDONE}, {"TWRC_ENDOFLIST", TWRC_ENDOFLIST},
       {"TWRC_INFONOTSUPPORTED", TWRC_INFONOTSUPPORTED},
       {"TWRC_DATANOTAVAILABLE", TWRC_DATANOTAVAILABLE}, {"TWRC_BUSY", TWRC_BUSY},
       {"TWRC_SCANNERLOCKED", TWRC_SCANNERLOCKED}});
  catalog.Enum<TwainConditionCode>(
      {{"TWCC_SUCCESS", TWCC_SUCCESS}, {"TWCC_BUMMER", TWCC_BUMMER},
       {"TWCC_LOWMEMORY", TWCC_LOWMEMORY}, {"TWCC_NODS", TWCC_NODS},
       {"TWCC_MAXCONNECTIONS", TWCC_MAXCONNECTIONS}, {"TWCC_OPERATIONERROR", TWCC_OPERATIONERROR},
       {"TWCC_BADCAP", TWCC_BADCAP}, {"TWCC_BADPROTOCOL", TWCC_BADPROTOCOL},
       {"TWCC_BADVALUE", TWCC_BADVALUE}, {"TWCC_SEQERROR", TWCC_SEQERROR},
       {"TWCC_BADDEST", TWCC_BADDEST}, {"TWCC_CAPUNSUPPORTED", TWCC_CAPUNSUPPORTED},
       {"TWCC_CAPBADOPERATION", TWCC_CAPBADOPERATION}, {"TWCC_CAPSEQERROR", TWCC_CAPSEQERROR},
       {"TWCC_DENIED", TWCC_DENIED}, {"TWCC_FILEEXISTS", TWCC_FILEEXISTS},
       {"TWCC_FILENOTFOUND", TWCC_FILENOTFOUND}, {"TWCC_NOTEMPTY", TWCC_NOTEMPTY},
       {"TWCC_PAPERJAM", TWCC_PAPERJAM}, {"TWCC_PAPERDOUBLEFEED", TWCC_PAPERDOUBLEFEED},
       {"TWCC_FILEWRITEERROR", TWCC_FILEWRITEERROR},
       {"TWCC_CHECKDEVICEONLINE", TWCC_CHECKDEVICEONLINE}, {"TWCC_INTERLOCK", TWCC_INTERLOCK},
       {"TWCC_DAMAGEDCORNER", TWCC_DAMAGEDCORNER}, {"TWCC_FOCUSERROR", TWCC_FOCUSERROR},
       {"TWCC_DOCTOOLIGHT", TWCC_DOCTOOLIGHT}, {"TWCC_DOCTOODARK", TWCC_DOCTOODARK},
       {"TWCC_NOMEDIA", TWCC_NOMEDIA}});
  catalog.Enum<TwainItemTypes>({{"TWTY_INT8", TWTY_INT8}, {"TWTY_INT16", TWTY_INT16}, {"TWTY_INT32", TWTY_INT32}, {"TWTY_UINT8", TWTY_UINT8}, {"TWTY_UINT16", TWTY_UINT16}, {"TWTY_UINT32", TWTY_UINT32}, {"TWTY_BOOL", TWTY_BOOL}, {"TWTY_FIX32", TWTY_FIX32}, {"TWTY_FRAME", TWTY_FRAME}, {"TWTY_STR32", TWTY_STR32}, {"TWTY_STR64", TWTY_STR64}, {"TWTY_STR128", TWTY_STR128}, {"TWTY_STR255", TWTY_STR255}, {"TWTY_STR1024", TWTY_STR1024}, {"TWTY_UNI512", TWTY_UNI512}});
  catalog.Enum<TwainCapabilities>({{"CAP_XFERCOUNT", CAP_XFERCOUNT}, {"ICAP_COMPRESSION", ICAP_COMPRESSION}, {"ICAP_PIXELTYPE", ICAP_PIXELTYPE}, {"ICAP_UNITS", ICAP_UNITS}, {"ICAP_XFERMECH", ICAP_XFERMECH}, {"CAP_AUTHOR", CAP_AUTHOR}, {"CAP_CAPTION", CAP_CAPTION}, {"CAP_FEEDERENABLED", CAP_FEEDERENABLED}, {"CAP_FEEDERLOADED", CAP_FEEDERLOADED}, {"CAP_TIMEDATE", CAP_TIMEDATE}, {"CAP_SUPPORTEDCAPS", CAP_SUPPORTEDCAPS}, {"CAP_EXTENDEDCAPS", CAP_EXTENDEDCAPS}, {"CAP_AUTOFEED", CAP_AUTOFEED}, {"CAP_CLEARPAGE", CAP_CLEARPAGE}, {"CAP_FEEDPAGE", CAP_FEEDPAGE}, {"CAP_REWINDPAGE", CAP_REWINDPAGE}, {"CAP_INDICATORS", CAP_INDICATORS}, {"CAP_PAPERDETECTABLE", CAP_PAPERDETECTABLE}, {"CAP_UICONTROLLABLE", CAP_UICONTROLLABLE}, {"CAP_DEVICEONLINE", CAP_DEVICEONLINE}, {"CAP_AUTOSCAN", CAP_AUTOSCAN}, {"CAP_THUMBNAILSENABLED", CAP_THUMBNAILSENABLED}, {"CAP_DUPLEX", CAP_DUPLEX}, {"CAP_DUPLEXENABLED", CAP_DUPLEXENABLED}, {"CAP_ENABLEDSUIONLY", CAP_ENABLEDSUIONLY}, {"CAP_CUSTOMDSDATA", CAP_CUSTOMDSDATA}, {"CAP_ENDORSER", CAP_ENDORSER}, {"CAP_JOBCONTROL", CAP_JOBCONTROL}, {"CAP_ALARMS", CAP_ALARMS}, {"CAP_ALARMVOLUME", CAP_ALARMVOLUME}, {"CAP_AUTOMATICCAPTURE", CAP_AUTOMATICCAPTURE}, {"CAP_TIMEBEFOREFIRSTCAPTURE", CAP_TIMEBEFOREFIRSTCAPTURE}, {"CAP_TIMEBETWEENCAPTURES", CAP_TIMEBETWEENCAPTURES}, {"CAP_MAXBATCHBUFFERS", CAP_MAXBATCHBUFFERS}, {"CAP_DEVICETIMEDATE", CAP_DEVICETIMEDATE}, {"CAP_POWERSUPPLY", CAP_POWERSUPPLY}, {"CAP_CAMERAPREVIEWUI", CAP_CAMERAPREVIEWUI}, {"CAP_DEVICEEVENT", CAP_DEVICEEVENT}, {"CAP_SERIALNUMBER", CAP_SERIALNUMBER}, {"CAP_PRINTER", CAP_PRINTER}, {"CAP_PRINTERENABLED", CAP_PRINTERENABLED}, {"CAP_PRINTERINDEX", CAP_PRINTERINDEX}, {"CAP_PRINTERMODE", CAP_PRINTERMODE}, {"CAP_PRINTERSTRING", CAP_PRINTERSTRING}, {"CAP_PRINTERSUFFIX", CAP_PRINTERSUFFIX}, {"CAP_LANGUAGE", CAP_LANGUAGE}, {"CAP_FEEDERALIGNMENT", CAP_FEEDERALIGNMENT}, {"CAP_FEEDERORDER", CAP_FEEDERORDER}, {"CAP_REACQUIREALLOWED", CAP_REACQUIREALLOWED}, {"CAP_BATTERYMINUTES", CAP_BATTERYMINUTES}, {"CAP_BATTERYPERCENTAGE", CAP_BATTERYPERCENTAGE}, {"ICAP_AUTOBRIGHT", ICAP_AUTOBRIGHT}, {"ICAP_BRIGHTNESS", ICAP_BRIGHTNESS}, {"ICAP_CONTRAST", ICAP_CONTRAST}, {"ICAP_CUSTHALFTONE", ICAP_CUSTHALFTONE}, {"ICAP_EXPOSURETIME", ICAP_EXPOSURETIME}, {"ICAP_FILTER", ICAP_FILTER}, {"ICAP_FLASHUSED", ICAP_FLASHUSED}, {"ICAP_GAMMA", ICAP_GAMMA}, {"ICAP_HALFTONES", ICAP_HALFTONES}, {"ICAP_HIGHLIGHT", ICAP_HIGHLIGHT}, {"ICAP_IMAGEFILEFORMAT", ICAP_IMAGEFILEFORMAT}, {"ICAP_LAMPSTATE", ICAP_LAMPSTATE}, {"ICAP_LIGHTSOURCE", ICAP_LIGHTSOURCE}, {"ICAP_ORIENTATION", ICAP_ORIENTATION}, {"ICAP_PHYSICALWIDTH", ICAP_PHYSICALWIDTH}, {"ICAP_PHYSICALHEIGHT", ICAP_PHYSICALHEIGHT}, {"ICAP_SHADOW", ICAP_SHADOW}, {"ICAP_FRAMES", ICAP_FRAMES}, {"ICAP_XNATIVERESOLUTION", ICAP_XNATIVERESOLUTION}, {"ICAP_YNATIVERESOLUTION", ICAP_YNATIVERESOLUTION}, {"ICAP_XRESOLUTION", ICAP_XRESOLUTION}, {"ICAP_YRESOLUTION", ICAP_YRESOLUTION}, {"ICAP_MAXFRAMES", ICAP_MAXFRAMES}, {"ICAP_TILES", ICAP_TILES}, {"ICAP_BITORDER", ICAP_BITORDER}, {"ICAP_CCITTKFACTOR", ICAP_CCITTKFACTOR}, {"ICAP_LIGHTPATH", ICAP_LIGHTPATH}, {"ICAP_PIXELFLAVOR", ICAP_PIXELFLAVOR}, {"ICAP_PLANARCHUNKY", ICAP_PLANARCHUNKY}, {"ICAP_ROTATION", ICAP_ROTATION}, {"ICAP_SUPPORTEDSIZES", ICAP_SUPPORTEDSIZES}, {"ICAP_THRESHOLD", ICAP_THRESHOLD}, {"ICAP_XSCALING", ICAP_XSCALING}, {"ICAP_YSCALING", ICAP_YSCALING}, {"ICAP_BITORDERCODES", ICAP_BITORDERCODES}, {"ICAP_PIXELFLAVORCODES", ICAP_PIXELFLAVORCODES}, {"ICAP_JPEGPIXELTYPE", ICAP_JPEGPIXELTYPE}, {"ICAP_TIMEFILL", ICAP_TIMEFILL}, {"ICAP_BITDEPTH", ICAP_BITDEPTH}, {"ICAP_BITDEPTHREDUCTION", ICAP_BITDEPTHREDUCTION}, {"ICAP_UNDEFINEDIMAGESIZE", ICAP_UNDEFINEDIMAGESIZE}, {"ICAP_IMAGEDATASET", ICAP_IMAGEDATASET}, {"ICAP_EXTIMAGEINFO", ICAP_EXTIMAGEINFO}, {"ICAP_MINIMUMHEIGHT", ICAP_MINIMUMHEIGHT}, {"ICAP_MINIMUMWIDTH", ICAP_MINIMUMWIDTH}, {"ICAP_AUTODISCARDBLANKPAGES", ICAP_AUTODISCARDBLANKPAGES}, {"ICAP_FLIPROTATION", ICAP_FLIPROTATION}, {"ICAP_BARCODEDETECTIONENABLED", ICAP_BARCODEDETECTIONENABLED}, {"ICAP_SUPPORTEDBARCODETYPES", ICAP_SUPPORTEDBARCODETYPES}, {"ICAP_BARCODEMAXSEARCHPRIORITIES", ICAP_BARCODEMAXSEARCHPRIORITIES}, {"ICAP_BARCODESEARCHPRIORITIES", ICAP_BARCODESEARCHPRIORITIES}, {"ICAP_BARCODESEARCHMODE", ICAP_BARCODESEARCHMODE}, {"ICAP_BARCODEMAXRETRIES", ICAP_BARCODEMAXRETRIES}, {"ICAP_BARCODETIMEOUT", ICAP_BARCODETIMEOUT}, {"ICAP_ZOOMFACTOR", ICAP_ZOOMFACTOR}, {"ICAP_PATCHCODEDETECTIONENABLED", ICAP_PATCHCODEDETECTIONENABLED}, {"ICAP_SUPPORTEDPATCHCODETYPES", ICAP_SUPPORTEDPATCHCODETYPES}, {"ICAP_AUTOMATICBORDERDETECTION", ICAP_AUTOMATICBORDERDETECTION}, {"ICAP_AUTOMATICDESKEW", ICAP_AUTOMATICDESKEW}, {"ICAP_AUTOMATICROTATE", ICAP_AUTOMATICROTATE}, {"ICAP_JPEGQUALITY", ICAP_JPEGQUALITY}, {"ICAP_FEEDERTYPE", ICAP_FEEDERTYPE}, {"ICAP_ICCPROFILE", ICAP_ICCPROFILE}, {"ICAP_AUTOSIZE", ICAP_AUTOSIZE}});
  catalog.Enum<TwainCompression>({{"TWCP_NONE", TWCP_NONE}, {"TWCP_PACKBITS", TWCP_PACKBITS}, {"TWCP_GROUP31D", TWCP_GROUP31D}, {"TWCP_GROUP31DEOL", TWCP_GROUP31DEOL}, {"TWCP_GROUP32D", TWCP_GROUP32D}, {"TWCP_GROUP4", TWCP_GROUP4}, {"TWCP_JPEG", TWCP_JPEG}, {"TWCP_LZW", TWCP_LZW}, {"TWCP_JBIG", TWCP_JBIG}, {"TWCP_PNG", TWCP_PNG}, {"TWCP_RLE4", TWCP_RLE4}, {"TWCP_RLE8", TWCP_RLE8}, {"TWCP_BITFIELDS", TWCP_BITFIELDS}, {"TWCP_ZIP", TWCP_ZIP}, {"TWCP_JPEG2000", TWCP_JPEG2000}});
  catalog.Enum<TwainImageFileFormats>({{"TWFF_TIFF", TWFF_TIFF}, {"TWFF_PICT", TWFF_PICT}, {"TWFF_BMP", TWFF_BMP}, {"TWFF_XBM", TWFF_XBM}, {"TWFF_JFIF", TWFF_JFIF}, {"TWFF_FPX", TWFF_FPX}, {"TWFF_TIFFMULTI", TWFF_TIFFMULTI}, {"TWFF_PNG", TWFF_PNG}, {"TWFF_SPIFF", TWFF_SPIFF}, {"TWFF_EXIF", TWFF_EXIF}, {"TWFF_PDF", TWFF_PDF}, {"TWFF_JP2", TWFF_JP2}, {"TWFF_JPX", TWFF_JPX}, {"TWFF_DEJAVU", TWFF_DEJAVU}, {"TWFF_PDFA", TWFF_PDFA}, {"TWFF_PDFA2", TWFF_PDFA2}});
  catalog.Enum<TwainPaperSize>({{"TWSS_NONE", TWSS_NONE}, {"TWSS_A4", TWSS_A4}, {"TWSS_JISB5", TWSS_JISB5}, {"TWSS_USLETTER", TWSS_USLETTER}, {"TWSS_USLEGAL", TWSS_USLEGAL}, {"TWSS_A5", TWSS_A5}, {"TWSS_ISOB4", TWSS_ISOB4}, {"TWSS_ISOB6", TWSS_ISOB6}, {"TWSS_USLEDGER", TWSS_USLEDGER}, {"TWSS_USEXECUTIVE", TWSS_USEXECUTIVE}, {"TWSS_A3", TWSS_A3}, {"TWSS_ISOB3", TWSS_ISOB3}, {"TWSS_A6", TWSS_A6}, {"TWSS_C4", TWSS_C4}, {"TWSS_C5", TWSS_C5}, {"TWSS_C6", TWSS_C6}, {"TWSS_4A0", TWSS_4A0}, {"TWSS_2A0", TWSS_2A0}, {"TWSS_A0", TWSS_A0}, {"TWSS_A1", TWSS_A1}, {"TWSS_A2", TWSS_A2}, {"TWSS_A7", TWSS_A7}, {"TWSS_A8", TWSS_A8}, {"TWSS_A9", TWSS_A9}, {"TWSS_A10", TWSS_A10}, {"TWSS_ISOB0", TWSS_ISOB0}, {"TWSS_ISOB1", TWSS_ISOB1}, {"TWSS_ISOB2", TWSS_ISOB2}, {"TWSS_ISOB5", TWSS_ISOB5}, {"TWSS_ISOB7", TWSS_ISOB7}, {"TWSS_ISOB8", TWSS_ISOB8}, {"TWSS_ISOB9", TWSS_ISOB9}, {"TWSS_ISOB10", TWSS_ISOB10}, {"TWSS_JISB0", TWSS_JISB0}, {"TWSS_JISB1", TWSS_JISB1}, {"TWSS_JISB2", TWSS_JISB2}, {"TWSS_JISB3", TWSS_JISB3}, {"TWSS_JISB4", TWSS_JISB4}, {"TWSS_JISB6", TWSS_JISB6}, {"TWSS_JISB7", TWSS_JISB7}, {"TWSS_JISB8", TWSS_JISB8}, {"TWSS_JISB9", TWSS_JISB9}, {"TWSS_JISB10", TWSS_JISB10}, {"TWSS_C0", TWSS_C0}, {"TWSS_C1", TWSS_C1}, {"TWSS_C2", TWSS_C2}, {"TWSS_C3", TWSS_C3}, {"TWSS_C7", TWSS_C7}, {"TWSS_C8", TWSS_C8}, {"TWSS_C9", TWSS_C9}, {"TWSS_C10", TWSS_C10}, {"TWSS_USSTATEMENT", TWSS_USSTATEMENT}, {"TWSS_BUSINESSCARD", TWSS_BUSINESSCARD}});
  catalog.Enum<TwainBarCodeType>({{"TWBT_3OF9", TWBT_3OF9}, {"TWBT_2OF5INTERLEAVED", TWBT_2OF5INTERLEAVED}, {"TWBT_2OF5NONINTERLEAVED", TWBT_2OF5NONINTERLEAVED}, {"TWBT_CODE93", TWBT_CODE93}, {"TWBT_CODE128", TWBT_CODE128}, {"TWBT_UCC128", TWBT_UCC128}, {"TWBT_CODABAR", TWBT_CODABAR}, {"TWBT_UPCA", TWBT_UPCA}, {"TWBT_UPCE", TWBT_UPCE}, {"TWBT_EAN8", TWBT_EAN8}, {"TWBT_EAN13", TWBT_EAN13}, {"TWBT_POSTNET", TWBT_POSTNET}, {"TWBT_PDF417", TWBT_PDF417}, {"TWBT_2OF5INDUSTRIAL", TWBT_2OF5INDUSTRIAL}, {"TWBT_2OF5MATRIX", TWBT_2OF5MATRIX}, {"TWBT_2OF5DATALOGIC", TWBT_2OF5DATALOGIC}, {"TWBT_2OF5IATA", TWBT_2OF5IATA}, {"TWBT_3OF9FULLASCII", TWBT_3OF9FULLASCII}, {"TWBT_CODABARWITHSTARTSTOP", TWBT_CODABARWITHSTARTSTOP}, {"TWBT_MAXICODE", TWBT_MAXICODE}, {"TWBT_QRCODE", TWBT_QRCODE}});
  catalog.Enum<TwainBarCodeRotation>({{"TWBCOR_ROT0", TWBCOR_ROT0}, {"TWBCOR_ROT90", TWBCOR_ROT90}, {"TWBCOR_ROT180", TWBCOR_ROT180}, {"TWBCOR_ROT270", TWBCOR_ROT270}, {"TWBCOR_ROTX", TWBCOR_ROTX}});
  catalog.Enum<TwainLanguage>({{"TWLG_USERLOCALE", TWLG_USERLOCALE}, {"TWLG_DAN", TWLG_DAN}, {"TWLG_DUT", TWLG_DUT}, {"TWLG_ENG", TWLG_ENG}, {"TWLG_FCF", TWLG_FCF}, {"TWLG_FIN", TWLG_FIN}, {"TWLG_FRN", TWLG_FRN}, {"TWLG_GER", TWLG_GER}, {"TWLG_ICE", TWLG_ICE}, {"TWLG_ITN", TWLG_ITN}, {"TWLG_NOR", TWLG_NOR}, {"TWLG_POR", TWLG_POR}, {"TWLG_SPA", TWLG_SPA}, {"TWLG_SWE", TWLG_SWE}, {"TWLG_USA", TWLG_USA}});
  catalog.Enum<TwainCountry>({{"TWCY_USA", TWCY_USA}, {"TWCY_CANADA", TWCY_CANADA}, {"TWCY_MEXICO", TWCY_MEXICO}, {"TWCY_CUBA", TWCY_CUBA}, {"TWCY_BRITAIN", TWCY_BRITAIN}, {"TWCY_USSR", TWCY_USSR}, {"TWCY_EGYPT", TWCY_EGYPT}, {"TWCY_SOUTHAFRICA", TWCY_SOUTHAFRICA}, {"TWCY_ANDORRA", TWCY_ANDORRA}, {"TWCY_GREECE", TWCY_GREECE}, {"TWCY_NETHERLANDS", TWCY_NETHERLANDS}, {"TWCY_BELGIUM", TWCY_BELGIUM}, {"TWCY_FRANCE", TWCY_FRANCE}, {"TWCY_SPAIN", TWCY_SPAIN}, {"TWCY_HUNGARY", TWCY_HUNGARY}, {"TWCY_YUGOSLAVIA", TWCY_YUGOSLAVIA}, {"TWCY_ITALY", TWCY_ITALY}, {"TWCY_ROMANIA", TWCY_ROMANIA}, {"TWCY_SWITZERLAND", TWCY_SWITZERLAND}, {"TWCY_CZECHOSLOVAKIA", TWCY_CZECHOSLOVAKIA}, {"TWCY_AUSTRIA", TWCY_AUSTRIA}, {"TWCY_UNITEDKINGDOM", TWCY_UNITEDKINGDOM}, {"TWCY_DENMARK", TWCY_DENMARK}, {"TWCY_SWEDEN", TWCY_SWEDEN}, {"TWCY_NORWAY", TWCY_NORWAY}, {"TWCY_POLAND", TWCY_POLAND}, {"TWCY_GERMANY", TWCY_GERMANY}, {"TWCY_PERU", TWCY_PERU}, {"TWCY_ARGENTINA", TWCY_ARGENTINA}, {"TWCY_BRAZIL", TWCY_BRAZIL}, {"TWCY_CHILE", TWCY_CHILE}, {"TWCY_COLOMBIA", TWCY_COLOMBIA}, {"TWCY_VENEZUELA", TWCY_VENEZUELA}, {"TWCY_MALAYSIA", TWCY_MALAYSIA}, {"TWCY_AUSTRALIA", TWCY_AUSTRALIA}, {"TWCY_INDONESIA", TWCY_INDONESIA}, {"TWCY_PHILLIPPINES", TWCY_PHILLIPPINES}, {"TWCY_NEWZEALAND", TWCY_NEWZEALAND}, {"TWCY_SINGAPORE", TWCY_SINGAPORE}, {"TWCY_THAILAND", TWCY_THAILAND}, {"TWCY_JAPAN", TWCY_JAPAN}, {"TWCY_KOREA", TWCY_KOREA}, {"TWCY_CHINA", TWCY_CHINA}, {"TWCY_TURKEY", TWCY_TURKEY}, {"TWCY_INDIA", TWCY_INDIA}, {"TWCY_PAKISTAN", TWCY_PAKISTAN}, {"TWCY_IRAN", TWCY_IRAN}, {"TWCY_PORTUGAL", TWCY_PORTUGAL}, {"TWCY_IRELAND", TWCY_IRELAND}, {"TWCY_ICELAND", TWCY_ICELAND}, {"TWCY_FINLAND", TWCY_FINLAND}, {"TWCY_CZECHREPUBLIC", TWCY_CZECHREPUBLIC}, {"TWCY_SLOVAKIA", TWCY_SLOVAKIA}, {"TWCY_HONGKONG", TWCY_HONGKONG}, {"TWCY_TAIWAN", TWCY_TAIWAN}, {"TWCY_ISRAEL", TWCY_ISRAEL}});

  catalog.Method("TwainIsAvailable", &cImaging::TwainIsAvailable);
  catalog.Method("TwainGetState", &cImaging::TwainGetState);
  catalog.Method("TwainSetDSMPath", &cImaging::TwainSetDSMPath, "sDSMPath");
  catalog.Method("TwainOpenSource", &cImaging::TwainOpenSource, "sSourceName");
  catalog.Method("TwainOpenDefaultSource", &cImaging::TwainOpenDefaultSource);
  catalog.Method("TwainCloseSource", &cImaging::TwainCloseSource);
  catalog.Method("TwainCloseSourceManager", &cImaging::TwainCloseSourceManager);
  catalog.Method("TwainUnloadSourceManager", &cImaging::TwainUnloadSourceManager);
  catalog.Method("TwainGetCurrentSourceName", &cImaging::TwainGetCurrentSourceName);
  catalog.Method("TwainGetDefaultSourceName", &cImaging::TwainGetDefaultSourceName);
  catalog.Method("TwainGetSourceCount", &cImaging::TwainGetSourceCount);
  catalog.Method("TwainGetSourceName", &cImaging::TwainGetSourceName, "nSourceNo");
  catalog.Method("TwainGetLastResultCode", &cImaging::TwainGetLastResultCode);
  catalog.Method("TwainGetLastConditionCode", &cImaging::TwainGetLastConditionCode);
  catalog.Method("TwainUserClosedSource", &cImaging::TwainUserClosedSource);
  catalog.Method("TwainLastXferFail", &cImaging::TwainLastXferFail);
  catalog.Method("TwainSetHideUI", &cImaging::TwainSetHideUI, "bHideUI");
  catalog.Method("TwainGetHideUI", &cImaging::TwainGetHideUI);
  catalog.Method("TwainIsDeviceOnline", &cImaging::TwainIsDeviceOnline);
  catalog.Method("TwainAcquireToTessivoImage", &cImaging::TwainAcquireToTessivoImage, "hwnd=0");
  catalog.Method("CreateImageFromTwain", &cImaging::CreateImageFromTwain, "hwnd=0");
  catalog.Method("TwainAcquireToFile", &cImaging::TwainAcquireToFile, "sFilePath, hwnd");
  catalog.Method("TwainGetCurrentPixelType", &cImaging::TwainGetCurrentPixelType);
  catalog.Method("TwainSetCurrentPixelType", &cImaging::TwainSetCurrentPixelType, "nPixelType");
  catalog.Method("TwainGetCurrentBitDepth", &cImaging::TwainGetCurrentBitDepth);
  catalog.Method("TwainSetCurrentBitDepth", &cImaging::TwainSetCurrentBitDepth, "nBitDepth");
  catalog.Method("TwainGetCurrentResolution", &cImaging::TwainGetCurrentResolution);
  catalog.Method("TwainSetCurrentResolution", &cImaging::TwainSetCurrentResolution, "nResolution");
  catalog.Method("TwainGetAvailableCapValuesCount", &cImaging::TwainGetAvailableCapValuesCount, "nCap");
  catalog.Method("TwainGetAvailableCapValuesNumeric", &cImaging::TwainGetAvailableCapValuesNumeric, "nCap, &arValues");
  catalog.Method("TwainGetAvailableCapValuesString", &cImaging::TwainGetAvailableCapValuesString, "nCap, &arValues");
  catalog.Method("TwainGetAvailableCapValueNoNumeric", &cImaging::TwainGetAvailableCapValueNoNumeric, "nCap, nValueNo");
  catalog.Method("TwainGetAvailableCapValueNoString", &cImaging::TwainGetAvailableCapValueNoString, "nCap, nValueNo");
  catalog.Method("TwainGetCapCurrentNumeric", &cImaging::TwainGetCapCurrentNumeric, "nCap, &nValue");
  catalog.Method("TwainGetCapCurrentString", &cImaging::TwainGetCapCurrentString, "nCap, &sValue");
  catalog.Method("TwainGetCapRangeNumeric", &cImaging::TwainGetCapRangeNumeric, "nCap, &nMinimum, &nMaximum, &nStep");
  catalog.Method("TwainSetCapCurrentNumeric", &cImaging::TwainSetCapCurrentNumeric, "nCap, nItemType, nValue");
  catalog.Method("TwainSetCapCurrentString", &cImaging::TwainSetCapCurrentString, "nCap, nItemType, sValue");
  catalog.Method("TwainResetCap", &cImaging::TwainResetCap, "nCap");
  catalog.Method("TwainGetCapItemType", &cImaging::TwainGetCapItemType, "nCap");
  catalog.Method("TwainGetAvailableImageFileFormat", &cImaging::TwainGetAvailableImageFileFormat, "&arValues");
  catalog.Method("TwainGetAvailableImageFileFormatCount", &cImaging::TwainGetAvailableImageFileFormatCount);
  catalog.Method("TwainGetAvailableImageFileFormatNo", &cImaging::TwainGetAvailableImageFileFormatNo, "nValueNo");
  catalog.Method("TwainSetCurrentImageFileFormat", &cImaging::TwainSetCurrentImageFileFormat, "nImageFileFormat");
  catalog.Method("TwainGetCurrentImageFileFormat", &cImaging::TwainGetCurrentImageFileFormat);
  catalog.Method("TwainGetAvailableCompression", &cImaging::TwainGetAvailableCompression, "&arValues");
  catalog.Method("TwainGetAvailableCompressionCount", &cImaging::TwainGetAvailableCompressionCount);
  catalog.Method("TwainGetAvailableCompressionNo", &cImaging::TwainGetAvailableCompressionNo, "nValueNo");
  catalog.Method("TwainSetCurrentCompression", &cImaging::TwainSetCurrentCompression, "nCompression");
  catalog.Method("TwainGetCurrentCompression", &cImaging::TwainGetCurrentCompression);
  catalog.Method("TwainGetAvailableBrightness", &cImaging::TwainGetAvailableBrightness, "&arValues");
  catalog.Method("TwainGetAvailableBrightnessCount", &cImaging::TwainGetAvailableBrightnessCount);
  catalog.Method("TwainGetAvailableBrightnessNo", &cImaging::TwainGetAvailableBrightnessNo, "nValueNo");
  catalog.Method("TwainGetAvailableContrast", &cImaging::TwainGetAvailableContrast, "&arValues");
  catalog.Method("TwainGetAvailableContrastCount", &cImaging::TwainGetAvailableContrastCount);
  catalog.Method("TwainGetAvailableContrastNo", &cImaging::TwainGetAvailableContrastNo, "nValueNo");
  catalog.Method("TwainGetAvailableBitDepths", &cImaging::TwainGetAvailableBitDepths, "&arValues");
  catalog.Method("TwainGetAvailableBitDepthsCount", &cImaging::TwainGetAvailableBitDepthsCount);
  catalog.Method("TwainGetAvailableBitDepthNo", &cImaging::TwainGetAvailableBitDepthNo, "nValueNo");
  catalog.Method("TwainGetAvailablePixelTypes", &cImaging::TwainGetAvailablePixelTypes, "&arValues");
  catalog.Method("TwainGetAvailablePixelTypesCount", &cImaging::TwainGetAvailablePixelTypesCount);
  catalog.Method("TwainGetAvailablePixelTypeNo", &cImaging::TwainGetAvailablePixelTypeNo, "nValueNo");
  catalog.Method("TwainIsPixelTypeAvailable", &cImaging::TwainIsPixelTypeAvailable, "nPixelType");
  catalog.Method("TwainGetAvailableXResolutions", &cImaging::TwainGetAvailableXResolutions, "&arValues");
  catalog.Method("TwainGetAvailableXResolutionsCount", &cImaging::TwainGetAvailableXResolutionsCount);
  catalog.Method("TwainGetAvailableXResolutionNo", &cImaging::TwainGetAvailableXResolutionNo, "nValueNo");
  catalog.Method("TwainGetAvailableYResolutions", &cImaging::TwainGetAvailableYResolutions, "&arValues");
  catalog.Method("TwainGetAvailableYResolutionsCount", &cImaging::TwainGetAvailableYResolutionsCount);
  catalog.Method("TwainGetAvailableYResolutionNo", &cImaging::TwainGetAvailableYResolutionNo, "nValueNo");
  catalog.Method("TwainGetAvailablePaperSize", &cImaging::TwainGetAvailablePaperSize, "&arValues");
  catalog.Method("TwainGetAvailablePaperSizeCount", &cImaging::TwainGetAvailablePaperSizeCount);
  catalog.Method("TwainGetAvailablePaperSizeNo", &cImaging::TwainGetAvailablePaperSizeNo, "nValueNo");
  catalog.Method("TwainGetAvailableBarCodeTypeCount", &cImaging::TwainGetAvailableBarCodeTypeCount);
  catalog.Method("TwainGetAvailableBarCodeTypeNo", &cImaging::TwainGetAvailableBarCodeTypeNo, "nValueNo");
  catalog.Method("TwainIsFileTransferModeAvailable", &cImaging::TwainIsFileTransferModeAvailable);
  catalog.Method("TwainHasFeeder", &cImaging::TwainHasFeeder);
  catalog.Method("TwainHasFlatBed", &cImaging::TwainHasFlatBed);
  catalog.Method("TwainSelectFeeder", &cImaging::TwainSelectFeeder, "bFeeder");
  catalog.Method("TwainGetCurrentThreshold", &cImaging::TwainGetCurrentThreshold);
  catalog.Method("TwainSetCurrentThreshold", &cImaging::TwainSetCurrentThreshold, "nThreshold");
  catalog.Method("TwainHasCameraPreviewUI", &cImaging::TwainHasCameraPreviewUI);
  catalog.Method("TwainGetCurrentPlanarChunky", &cImaging::TwainGetCurrentPlanarChunky);
  catalog.Method("TwainSetCurrentPlanarChunky", &cImaging::TwainSetCurrentPlanarChunky, "nPlanarChunky");
  catalog.Method("TwainGetCurrentPixelFlavor", &cImaging::TwainGetCurrentPixelFlavor);
  catalog.Method("TwainSetCurrentPixelFlavor", &cImaging::TwainSetCurrentPixelFlavor, "nPixelFlavor");
  catalog.Method("TwainIsAutomaticBorderDetectionAvailable", &cImaging::TwainIsAutomaticBorderDetectionAvailable);
  catalog.Method("TwainIsAutomaticBorderDetectionEnabled", &cImaging::TwainIsAutomaticBorderDetectionEnabled);
  catalog.Method("TwainIsBarcodeDetectionAvailable", &cImaging::TwainIsBarcodeDetectionAvailable);
  catalog.Method("TwainIsBarcodeDetectionEnabled", &cImaging::TwainIsBarcodeDetectionEnabled);
  catalog.Method("TwainSetBarcodeDetection", &cImaging::TwainSetBarcodeDetection, "bEnable");
  catalog.Method("TwainIsAutomaticDeskewAvailable", &cImaging::TwainIsAutomaticDeskewAvailable);
  catalog.Method("TwainIsAutomaticDeskewEnabled", &cImaging::TwainIsAutomaticDeskewEnabled);
  catalog.Method("TwainIsAutomaticDiscardBlankPagesAvailable", &cImaging::TwainIsAutomaticDiscardBlankPagesAvailable);
  catalog.Method("TwainIsAutomaticDiscardBlankPagesEnabled", &cImaging::TwainIsAutomaticDiscardBlankPagesEnabled);
  catalog.Method("TwainSetAutomaticDiscardBlankPages", &cImaging::TwainSetAutomaticDiscardBlankPages, "bEnable");
  catalog.Method("TwainIsAutomaticRotationAvailable", &cImaging::TwainIsAutomaticRotationAvailable);
  catalog.Method("TwainIsAutomaticRotationEnabled", &cImaging::TwainIsAutomaticRotationEnabled);
  catalog.Method("TwainIsAutoScanAvailable", &cImaging::TwainIsAutoScanAvailable);
  catalog.Method("TwainIsAutoScanEnabled", &cImaging::TwainIsAutoScanEnabled);
  catalog.Method("TwainIsAutoFeedAvailable", &cImaging::TwainIsAutoFeedAvailable);
  catalog.Method("TwainIsAutoFeedEnabled", &cImaging::TwainIsAutoFeedEnabled);
  catalog.Method("TwainIsAutoSizeAvailable", &cImaging::TwainIsAutoSizeAvailable);
  catalog.Method("TwainIsAutoSizeEnabled", &cImaging::TwainIsAutoSizeEnabled);
  catalog.Method("TwainSetAutoSize", &cImaging::TwainSetAutoSize, "bEnable");
  catalog.Method("TwainIsAutoBrightnessAvailable", &cImaging::TwainIsAutoBrightnessAvailable);
  catalog.Method("TwainIsAutoBrightnessEnabled", &cImaging::TwainIsAutoBrightnessEnabled);
  catalog.Method("TwainIsFeederSelected", &cImaging::TwainIsFeederSelected);
  catalog.Method("TwainIsDuplexEnabled", &cImaging::TwainIsDuplexEnabled);
  catalog.Method("TwainIsAutoFeedOn", &cImaging::TwainIsAutoFeedOn);
  catalog.Method("TwainSelectSource", &cImaging::TwainSelectSource, "hwnd=0");
  catalog.Method("TwainDisableSource", &cImaging::TwainDisableSource);
  catalog.Method("TwainDisableAutoSourceClose", &cImaging::TwainDisableAutoSourceClose, "bDisable");
  catalog.Method("TwainShowSetupDialogSource", &cImaging::TwainShowSetupDialogSource, "hwnd=0");
  catalog.Method("TwainSetApplicationInfo", &cImaging::TwainSetApplicationInfo, "nMajorNum, nMinorNum, nLanguage, nCountry, sVersionInfo, sManufacturer, sProductFamily, sProductName");
  catalog.Method("TwainSetMultiTransfer", &cImaging::TwainSetMultiTransfer, "bMultiTransfer");
  catalog.Method("TwainSetXferCount", &cImaging::TwainSetXferCount, "nXferCount");
  catalog.Method("TwainEndXfer", &cImaging::TwainEndXfer);
  catalog.Method("TwainEndAllXfers", &cImaging::TwainEndAllXfers);
  catalog.Method("TwainSetIndicators", &cImaging::TwainSetIndicators, "bShowIndicators");
  catalog.Method("TwainSetErrorMessage", &cImaging::TwainSetErrorMessage, "bShowError");
  catalog.Method("TwainSetDebugMode", &cImaging::TwainSetDebugMode, "bDebugMode");
  catalog.Method("TwainLogStart", &cImaging::TwainLogStart, "sLogFilePath");
  catalog.Method("TwainLogStop", &cImaging::TwainLogStop);
  catalog.Method("TwainEnableDuplex", &cImaging::TwainEnableDuplex, "bEnable");
  catalog.Method("TwainGetDuplexMode", &cImaging::TwainGetDuplexMode);
  catalog.Method("TwainSetAutoFeed", &cImaging::TwainSetAutoFeed, "bEnable");
  catalog.Method("TwainSetAutoScan", &cImaging::TwainSetAutoScan, "bEnable");
  catalog.Method("TwainSetAutoBrightness", &cImaging::TwainSetAutoBrightness, "bEnable");
  catalog.Method("TwainSetAutomaticBorderDetection", &cImaging::TwainSetAutomaticBorderDetection, "bEnable");
  catalog.Method("TwainSetAutomaticDeskew", &cImaging::TwainSetAutomaticDeskew, "bEnable");
  catalog.Method("TwainSetAutomaticRotation", &cImaging::TwainSetAutomaticRotation, "bEnable");
  catalog.Method("TwainGetCurrentBrightness", &cImaging::TwainGetCurrentBrightness);
  catalog.Method("TwainSetCurrentBrightness", &cImaging::TwainSetCurrentBrightness, "nBrightness");
  catalog.Method("TwainGetCurrentContrast", &cImaging::TwainGetCurrentContrast);
  catalog.Method("TwainSetCurrentContrast", &cImaging::TwainSetCurrentContrast, "nContrast");
  catalog.Method("TwainGetPaperSize", &cImaging::TwainGetPaperSize);
  catalog.Method("TwainSetPaperSize", &cImaging::TwainSetPaperSize, "nPaperSize");
  catalog.Method("TwainGetPhysicalWidth", &cImaging::TwainGetPhysicalWidth);
  catalog.Method("TwainGetPhysicalHeight", &cImaging::TwainGetPhysicalHeight);
  catalog.Method("TwainSetImageLayout", &cImaging::TwainSetImageLayout, "nLeft, nTop, nRight, nBottom");
  catalog.Method("TwainGetImageLayout", &cImaging::TwainGetImageLayout, "&nLeft, &nTop, &nRight, &nBottom");
  catalog.Method("TwainResetImageLayout", &cImaging::TwainResetImageLayout);
  catalog.Method("TwainBarCodeGetCount", &cImaging::TwainBarCodeGetCount);
  catalog.Method("TwainBarCodeGetValue", &cImaging::TwainBarCodeGetValue, "nBarCodeNo");
  catalog.Method("TwainBarCodeGetType", &cImaging::TwainBarCodeGetType, "nBarCodeNo");
  catalog.Method("TwainBarCodeGetXPos", &cImaging::TwainBarCodeGetXPos, "nBarCodeNo");
  catalog.Method("TwainBarCodeGetYPos", &cImaging::TwainBarCodeGetYPos, "nBarCodeNo");
  catalog.Method("TwainBarCodeGetConfidence", &cImaging::TwainBarCodeGetConfidence, "nBarCodeNo");
  catalog.Method("TwainBarCodeGetRotation", &cImaging::TwainBarCodeGetRotation, "nBarCodeNo");
  catalog.Method("TwainIsFeederLoaded", &cImaging::TwainIsFeederLoaded);
}

}  // namespace tessivo::dispatch
