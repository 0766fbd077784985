// libcurl, loaded the first time a transfer needs it. A process that never transfers never maps
// libcurl and the TLS, Kerberos, LDAP and SSH libraries it pulls in, which made up a large share
// of every start-up. The headers still give the types and constants; the functions are called
// through this table.
#pragma once
#include <curl/curl.h>

namespace tessivo::platform {

struct CurlLibrary {
  decltype(&::curl_easy_init) easy_init;
  decltype(&::curl_easy_cleanup) easy_cleanup;
  decltype(&::curl_easy_reset) easy_reset;
  decltype(&::curl_easy_setopt) easy_setopt;
  decltype(&::curl_easy_perform) easy_perform;
  decltype(&::curl_easy_getinfo) easy_getinfo;
  decltype(&::curl_url) url;
  decltype(&::curl_url_set) url_set;
  decltype(&::curl_url_get) url_get;
  decltype(&::curl_url_cleanup) url_cleanup;
  decltype(&::curl_free) free;
};

// The loaded and globally initialised libcurl, or nullptr when it cannot be loaded, lacks one of
// the functions or fails its global initialisation (asked once; the answer holds for the
// process). Safe to call from several threads.
const CurlLibrary* Curl();

}  // namespace tessivo::platform
