#include "tessivo/status.h"

namespace tessivo {

const char* StatusName(int32_t status) {
  switch (status) {
#define TV_STATUS(name) \
  case name:            \
    return #name;
    TV_STATUS(OK) TV_STATUS(GenericError) TV_STATUS(InvalidParameter) TV_STATUS(OutOfMemory)
    TV_STATUS(ObjectBusy) TV_STATUS(InsufficientBuffer) TV_STATUS(NotImplemented)
    TV_STATUS(Win32Error) TV_STATUS(WrongState) TV_STATUS(Aborted) TV_STATUS(FileNotFound)
    TV_STATUS(ValueOverflow) TV_STATUS(AccessDenied) TV_STATUS(UnknownImageFormat)
    TV_STATUS(FontFamilyNotFound) TV_STATUS(FontStyleNotFound) TV_STATUS(NotTrueTypeFont)
    TV_STATUS(UnsupportedGdiplusVersion) TV_STATUS(GdiplusNotInitialized)
    TV_STATUS(PropertyNotFound) TV_STATUS(PropertyNotSupported) TV_STATUS(ProfileNotFound)
    TV_STATUS(UnsupportedImageFormat) TV_STATUS(TwainError) TV_STATUS(WrongTvTwainVersion)
    TV_STATUS(BadTwainState) TV_STATUS(TwainTransferCanceled) TV_STATUS(TwainTransferError)
    TV_STATUS(TwainPdfMustBeCreatedFirst) TV_STATUS(TwainInvalidTransferMode)
    TV_STATUS(WrongGdiplusVersion) TV_STATUS(CanNotCreateFile) TV_STATUS(InvalidBarCode)
    TV_STATUS(NotIndexedPixelFormat) TV_STATUS(UnsupportedPixelFormat)
    TV_STATUS(InternetOpenError) TV_STATUS(InternetConnectError)
    TV_STATUS(InternetHttpOpenRequestError) TV_STATUS(InternetHttpQueryError)
    TV_STATUS(InternetFtpGetFileError) TV_STATUS(InternetHttpSendRequestError)
    TV_STATUS(InternetHttpInvalidFileLength) TV_STATUS(InternetHttpTransferError)
    TV_STATUS(InternetFtpWriteFileError) TV_STATUS(PdfCanNotBeDecrypted)
    TV_STATUS(PdfPasswordNeeded) TV_STATUS(PdfBadPassword) TV_STATUS(PdfCanNotOpenFile)
    TV_STATUS(PdfRenderingPageError) TV_STATUS(PdfUnexpectedError) TV_STATUS(PdfPlugNotLoaded)
    TV_STATUS(PdfErrorAddingImage) TV_STATUS(TvimgplugDllRequired)
    TV_STATUS(WrongTvimgplugVersion) TV_STATUS(TemplateNotFound) TV_STATUS(OCRDictionaryNotFound)
    TV_STATUS(BarcodeReader1DPluginNotLoaded) TV_STATUS(BarcodeReaderDataMatrixPluginNotLoaded)
#undef TV_STATUS
    default:
      return "";
  }
}

}  // namespace tessivo
