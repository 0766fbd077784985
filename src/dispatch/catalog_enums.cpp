// Members of the enumerations every family shares, so scripts may name them
// (`ConvertTo... PixelFormat24bppRGB`) and results show them by name.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(SharedEnumerations) {
  catalog.Enum<TessivoStatus>({
      {"OK", OK}, {"GenericError", GenericError}, {"InvalidParameter", InvalidParameter},
      {"OutOfMemory", OutOfMemory}, {"ObjectBusy", ObjectBusy},
      {"InsufficientBuffer", InsufficientBuffer}, {"NotImplemented", NotImplemented},
      {"Win32Error", Win32Error}, {"WrongState", WrongState}, {"Aborted", Aborted},
      {"FileNotFound", FileNotFound}, {"ValueOverflow", ValueOverflow},
      {"AccessDenied", AccessDenied}, {"UnknownImageFormat", UnknownImageFormat},
      {"FontFamilyNotFound", FontFamilyNotFound}, {"FontStyleNotFound", FontStyleNotFound},
      {"NotTrueTypeFont", NotTrueTypeFont},
      {"UnsupportedGdiplusVersion", UnsupportedGdiplusVersion},
      {"GdiplusNotInitialized", GdiplusNotInitialized}, {"PropertyNotFound", PropertyNotFound},
      {"PropertyNotSupported", PropertyNotSupported}, {"ProfileNotFound", ProfileNotFound},
      {"UnsupportedImageFormat", UnsupportedImageFormat}, {"TwainError", TwainError},
      {"WrongTvTwainVersion", WrongTvTwainVersion}, {"BadTwainState", BadTwainState},
      {"TwainTransferCanceled", TwainTransferCanceled}, {"TwainTransferError", TwainTransferError},
      {"TwainPdfMustBeCreatedFirst", TwainPdfMustBeCreatedFirst},
      {"TwainInvalidTransferMode", TwainInvalidTransferMode},
      {"WrongGdiplusVersion", WrongGdiplusVersion}, {"CanNotCreateFile", CanNotCreateFile},
      {"InvalidBarCode", InvalidBarCode}, {"NotIndexedPixelFormat", NotIndexedPixelFormat},
      {"UnsupportedPixelFormat", UnsupportedPixelFormat},
      {"InternetOpenError", InternetOpenError}, {"InternetConnectError", InternetConnectError},
      {"InternetHttpOpenRequestError", InternetHttpOpenRequestError},
      {"InternetHttpQueryError", InternetHttpQueryError},
      {"InternetFtpGetFileError", InternetFtpGetFileError},
      {"InternetHttpSendRequestError", InternetHttpSendRequestError},
      {"InternetHttpInvalidFileLength", InternetHttpInvalidFileLength},
      {"InternetHttpTransferError", InternetHttpTransferError},
      {"InternetFtpWriteFileError", InternetFtpWriteFileError},
      {"PdfCanNotBeDecrypted", PdfCanNotBeDecrypted}, {"PdfPasswordNeeded", PdfPasswordNeeded},
      {"PdfBadPassword", PdfBadPassword}, {"PdfCanNotOpenFile", PdfCanNotOpenFile},
      {"PdfRenderingPageError", PdfRenderingPageError}, {"PdfUnexpectedError", PdfUnexpectedError},
      {"PdfPlugNotLoaded", PdfPlugNotLoaded}, {"PdfErrorAddingImage", PdfErrorAddingImage},
      {"TvimgplugDllRequired", TvimgplugDllRequired},
      {"WrongTvimgplugVersion", WrongTvimgplugVersion}, {"TemplateNotFound", TemplateNotFound},
      {"OCRDictionaryNotFound", OCRDictionaryNotFound},
      {"BarcodeReader1DPluginNotLoaded", BarcodeReader1DPluginNotLoaded},
      {"BarcodeReaderDataMatrixPluginNotLoaded", BarcodeReaderDataMatrixPluginNotLoaded},
  });
  catalog.Enum<PixelFormats>({
      {"PixelFormatUndefined", PixelFormatUndefined},
      {"PixelFormat1bppIndexed", PixelFormat1bppIndexed},
      {"PixelFormat4bppIndexed", PixelFormat4bppIndexed},
      {"PixelFormat8bppIndexed", PixelFormat8bppIndexed},
      {"PixelFormat16bppGrayScale", PixelFormat16bppGrayScale},
      {"PixelFormat16bppRGB555", PixelFormat16bppRGB555},
      {"PixelFormat16bppRGB565", PixelFormat16bppRGB565},
      {"PixelFormat16bppARGB1555", PixelFormat16bppARGB1555},
      {"PixelFormat24bppRGB", PixelFormat24bppRGB},
      {"PixelFormat32bppRGB", PixelFormat32bppRGB},
      {"PixelFormat32bppARGB", PixelFormat32bppARGB},
      {"PixelFormat32bppPARGB", PixelFormat32bppPARGB},
      {"PixelFormat48bppRGB", PixelFormat48bppRGB},
      {"PixelFormat64bppARGB", PixelFormat64bppARGB},
      {"PixelFormat64bpppARGB", PixelFormat64bpppARGB},
  });
  // The OCR languages: taken by text recognition and by the searchable PDF writers alike.
  catalog.Enum<TesseractDictionary>({
      {"TesseractDictionaryGerman", TesseractDictionaryGerman},
      {"TesseractDictionaryFraktur", TesseractDictionaryFraktur},
      {"TesseractDictionaryEnglish", TesseractDictionaryEnglish},
      {"TesseractDictionaryFrench", TesseractDictionaryFrench},
      {"TesseractDictionaryItalian", TesseractDictionaryItalian},
      {"TesseractDictionaryDutch", TesseractDictionaryDutch},
      {"TesseractDictionaryPortuguese", TesseractDictionaryPortuguese},
      {"TesseractDictionarySpanish", TesseractDictionarySpanish},
      {"TesseractDictionaryVietnamese", TesseractDictionaryVietnamese},
      {"TesseractDictionaryPolish", TesseractDictionaryPolish},
  });
}

}  // namespace tessivo::dispatch
