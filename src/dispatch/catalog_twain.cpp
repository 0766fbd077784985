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
}

}  // namespace tessivo::dispatch
