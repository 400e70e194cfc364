#pragma once
// Where the About box's links lead. The project has no site of its own yet, so they point into the
// reserved example.org domain rather than at somebody else's site.

namespace kestrove::web {

inline constexpr const char* kHomePage = "https://www.example.org/kestrove/";
inline constexpr const char* kSponsorPage = "https://sponsor.example.org/";

}  // namespace kestrove::web
