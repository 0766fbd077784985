// libcups, loaded the first time the spooler is asked something. A process that never prints
// never maps libcups and its GnuTLS, Kerberos, Avahi and D-Bus dependencies, which made up a
// large share of every start-up. The headers still give the types and constants; the functions
// are called through this table.
#pragma once
#include <cups/cups.h>

namespace tessivo::platform {

struct CupsLibrary {
  decltype(&::cupsGetDests2) getDests2;
  decltype(&::cupsFreeDests) freeDests;
  decltype(&::cupsGetDest) getDest;
  decltype(&::cupsCopyDestInfo) copyDestInfo;
  decltype(&::cupsFreeDestInfo) freeDestInfo;
  decltype(&::cupsGetOption) getOption;
  decltype(&::cupsGetDestMediaDefault) getDestMediaDefault;
  decltype(&::cupsGetDestMediaByName) getDestMediaByName;
  decltype(&::cupsGetDestMediaBySize) getDestMediaBySize;
  decltype(&::cupsFindDestDefault) findDestDefault;
  decltype(&::cupsCheckDestSupported) checkDestSupported;
  decltype(&::ippGetString) ippGetString;
  decltype(&::ippGetInteger) ippGetInteger;
  decltype(&::cupsLastErrorString) lastErrorString;
  decltype(&::cupsAddOption) addOption;
  decltype(&::cupsFreeOptions) freeOptions;
  decltype(&::cupsCreateDestJob) createDestJob;
  decltype(&::cupsStartDestDocument) startDestDocument;
  decltype(&::cupsWriteRequestData) writeRequestData;
  decltype(&::cupsFinishDestDocument) finishDestDocument;
  decltype(&::cupsCancelDestJob) cancelDestJob;
};

// The loaded libcups, or nullptr when it cannot be loaded or lacks one of the functions (asked
// once; the answer holds for the process). Safe to call from several threads.
const CupsLibrary* Cups();

}  // namespace tessivo::platform
