// Type library entries of the HTTP and FTP transfer methods.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(Transfer) {
  catalog.Method("CreateImageFromURL", &cImaging::CreateImageFromURL, "sHost, sPath, nHTTPPort=80");
  catalog.Method("CreateImageFromFTP", &cImaging::CreateImageFromFTP,
                 R"(sHost, sPath, sLogin="", sPassword="", nFTPPort=21)");
  catalog.Method("SaveToFTP", &cImaging::SaveToFTP,
                 R"(sImageFormat, nEncoderParameter, sHost, sPath, sLogin="", sPassword="", nFTPPort=21)");
  catalog.Method("UploadFileToFTP", &cImaging::UploadFileToFTP,
                 R"(sFilePath, sHost, sPath, sLogin="", sPassword="", nFTPPort=21)");
  catalog.Method("SetHttpTransfertBufferSize", &cImaging::SetHttpTransfertBufferSize, "nBuffersize");
  catalog.Method("SetFtpPassiveMode", &cImaging::SetFtpPassiveMode, "bPassiveMode");
}

}  // namespace tessivo::dispatch
