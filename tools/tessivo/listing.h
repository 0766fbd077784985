// `tessivo methods` and `tessivo constants`: the type library as text, so a user can discover
// what the toolkit offers.
#pragma once
#include <ostream>
#include <string_view>

namespace tessivo::cli {

// A pattern with * and ? matches whole names; one without them matches any name containing
// it. Case is ignored.
bool NameMatches(std::string_view pattern, std::string_view name);

// One signature per line with its defaults; returns how many were listed.
std::size_t ListMethods(std::ostream& out, std::string_view pattern);
// "Enum.Member = value" per line; returns how many were listed.
std::size_t ListConstants(std::ostream& out, std::string_view pattern);

}  // namespace tessivo::cli
