// Text rules of the transfer client: how host names and remote paths given by callers become
// the parts of a URL. Control characters are refused everywhere, because CR/LF in a host, path
// or login would end an HTTP header line or an FTP command and start another.
#pragma once

#include <string>

namespace tessivo {

// True when `s` holds a CR, LF or NUL byte.
bool HasLineBreakOrNul(const std::string& s);

// Trims blanks and drops a leading http:// or https:// (any case). False for an empty result
// or a host with control characters.
bool NormalizeHttpHost(const std::string& in, std::string& out);

// Trims blanks; false for an empty result or a host with control characters.
bool NormalizeFtpHost(const std::string& in, std::string& out);

// The remote FTP path: backslashes become "/", surrounding blanks go, and at most two leading
// "/" are removed (so "\\dir\\file.png" and "//dir/file.png" both become "dir/file.png").
std::string NormalizeFtpPath(const std::string& in);

// The path part of an ftp:// URL for a normalised remote path: every byte outside the URL's
// unreserved set (and "/") percent-encoded. A "/" still leading the path is sent as "%2F", so
// the server reads it from its root rather than from the login folder.
std::string FtpUrlPath(const std::string& remotePath);

}  // namespace tessivo
